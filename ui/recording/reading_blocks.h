#pragma once

#include "core/session_series.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace thermo {

// Readings as a séance file stores them: in blocks, column by column as the series keeps them,
// each column a little-endian array (times in int64 milliseconds, T, Uth and Ut as IEEE doubles
// with NaN where there is none, codes as int32, and a byte of flags: the gap in its low two
// bits, 4 after a pause, 8 when there is a code). Reading 2.88 million readings back is then a
// matter of copying memory, not of 2.88 million rows.
struct ReadingBlock {
    std::string millis;
    std::string celsius;
    std::string uth;
    std::string ut;
    std::string codes;
    std::string flags;
};

ReadingBlock encodeReadings(std::span<const Sample> samples);

// The `count` readings of a block; none when its columns do not hold `count` readings each
// (a damaged file).
std::optional<std::vector<Sample>> decodeReadings(std::size_t count, std::string_view millis,
                                                  std::string_view celsius, std::string_view uth,
                                                  std::string_view ut, std::string_view codes,
                                                  std::string_view flags);

} // namespace thermo
