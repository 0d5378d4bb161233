#pragma once

class QMenu;

namespace thermo {

// A menu opened from the keyboard (the Menu key) starts on its first item, which a screen
// reader says at once; opened by the mouse, it starts on nothing, as usual.
void startOnFirstItem(QMenu& menu);

} // namespace thermo
