#pragma once

#include "core/failure.h"
#include "network/protocol/class_message.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace thermo::classroom::codec {

// A message that could never be read back is not written: Failure(InvalidArgument).
[[noreturn]] inline void refuseMessage(const char* why) {
    throw Failure(FailureKind::InvalidArgument, std::string("message de classe impossible : ") +
                                                    why);
}

// The class's messages are little-endian numbers and texts of at most 255 bytes, each after
// its length.
class Writer {
public:
    template <typename T> void number(T value) {
        static_assert(std::is_arithmetic_v<T>);
        if constexpr (std::is_floating_point_v<T>) {
            number(std::bit_cast<std::uint64_t>(static_cast<double>(value)));
        } else {
            using U = std::make_unsigned_t<T>;
            auto bits = static_cast<U>(value);
            for (std::size_t i = 0; i < sizeof(T); ++i) {
                bytes_.push_back(static_cast<std::uint8_t>(bits & 0xFF));
                bits = static_cast<U>(bits >> 4 >> 4);
            }
        }
    }
    void text(const std::string& value, std::size_t maxBytes) {
        if (value.size() > maxBytes || !isReadableText(value)) {
            refuseMessage("texte trop long ou illisible");
        }
        number(static_cast<std::uint8_t>(value.size()));
        bytes_.insert(bytes_.end(), value.begin(), value.end());
    }
    std::vector<std::uint8_t> take() {
        if (bytes_.size() > maxMessageBytes) {
            refuseMessage("trop long");
        }
        return std::move(bytes_);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads within the message; any read past its end leaves the reader failed for good.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    template <typename T> T number() {
        if constexpr (std::is_floating_point_v<T>) {
            return std::bit_cast<double>(number<std::uint64_t>());
        } else {
            using U = std::make_unsigned_t<T>;
            if (!ok_ || bytes_.size() - at_ < sizeof(T)) {
                ok_ = false;
                return T{};
            }
            U bits = 0;
            for (std::size_t i = sizeof(T); i-- > 0;) {
                bits = static_cast<U>((bits << 4 << 4) | bytes_[at_ + i]);
            }
            at_ += sizeof(T);
            return static_cast<T>(bits);
        }
    }
    std::string text(std::size_t maxBytes) {
        const std::size_t size = number<std::uint8_t>();
        if (!ok_ || size > maxBytes || bytes_.size() - at_ < size) {
            ok_ = false;
            return {};
        }
        std::string value(reinterpret_cast<const char*>(bytes_.data() + at_), size);
        at_ += size;
        ok_ = isReadableText(value);
        return value;
    }
    void require(bool condition) { ok_ = ok_ && condition; }
    bool ok() const noexcept { return ok_; }
    bool finished() const noexcept { return ok_ && at_ == bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

} // namespace thermo::classroom::codec
