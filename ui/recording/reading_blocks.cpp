#include "ui/recording/reading_blocks.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace thermo {

namespace {

constexpr std::uint8_t gapMask = 0x3;
constexpr std::uint8_t pauseFlag = 0x4;
constexpr std::uint8_t codeFlag = 0x8;

template <typename T> void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) {
        std::reverse(bytes, bytes + sizeof(T));
    }
    out.append(bytes, sizeof(T));
}

template <typename T> T get(std::string_view in, std::size_t index) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, in.data() + index * sizeof(T), sizeof(T));
    if constexpr (std::endian::native == std::endian::big) {
        std::reverse(bytes, bytes + sizeof(T));
    }
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

} // namespace

ReadingBlock encodeReadings(std::span<const Sample> samples) {
    ReadingBlock block;
    for (const Sample& s : samples) {
        put<std::int64_t>(block.millis, s.millis);
        put<double>(block.celsius, s.celsius);
        put<double>(block.uth, s.uth);
        put<double>(block.ut, s.ut);
        put<std::int32_t>(block.codes, s.code.value_or(0));
        block.flags += static_cast<char>(static_cast<std::uint8_t>(s.gap) |
                                         (s.afterPause ? pauseFlag : 0) |
                                         (s.code ? codeFlag : 0));
    }
    return block;
}

std::optional<std::vector<Sample>> decodeReadings(std::size_t count, std::string_view millis,
                                                  std::string_view celsius, std::string_view uth,
                                                  std::string_view ut, std::string_view codes,
                                                  std::string_view flags) {
    if (millis.size() != count * 8 || celsius.size() != count * 8 || uth.size() != count * 8 ||
        ut.size() != count * 8 || codes.size() != count * 4 || flags.size() != count) {
        return std::nullopt;
    }
    std::vector<Sample> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        Sample& s = samples[i];
        s.millis = get<std::int64_t>(millis, i);
        s.celsius = get<double>(celsius, i);
        s.uth = get<double>(uth, i);
        s.ut = get<double>(ut, i);
        const auto f = static_cast<std::uint8_t>(flags[i]);
        const std::uint8_t gap = f & gapMask;
        s.gap = gap == 0 ? Gap::None : gap == 2 ? Gap::LowSupply : Gap::Failure;
        s.afterPause = (f & pauseFlag) != 0;
        const auto code = get<std::int32_t>(codes, i);
        if ((f & codeFlag) != 0 && code >= 0 && code <= 65535) {
            s.code = code;
        }
    }
    return samples;
}

} // namespace thermo
