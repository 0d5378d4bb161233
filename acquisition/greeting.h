#pragma once

namespace thermo {

// How asking a board who it is went, after one poll: nothing yet, it said who it is, it is
// some other device, or its port went away.
enum class Greeting { Pending, Identified, Foreign, Lost };

} // namespace thermo
