#include "acquisition/firmata/firmata_handshake.h"

#include "acquisition/firmata/firmata_protocol.h"

#include <span>

namespace thermo {

FirmataHandshake::Outcome FirmataHandshake::poll(Clock::time_point until) {
    if (firmware_) {
        return Outcome::Identified;
    }
    if (!askedAt_ || Clock::now() - *askedAt_ >= retryInterval) {
        askedAt_ = Clock::now();
        if (!line_.send(firmata::queryVersion(), until) ||
            !line_.send(firmata::queryFirmware(), until)) {
            return line_.lost() ? Outcome::Lost : Outcome::Pending;
        }
    }
    while (Clock::now() < until && !line_.lost()) {
        const std::string bytes = line_.receive(until);
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        for (const firmata::Event& event : parser_.feed(std::span(data, bytes.size()))) {
            if (const auto* version = std::get_if<firmata::VersionReport>(&event)) {
                version_ = *version;
            } else if (const auto* firmware = std::get_if<firmata::FirmwareReport>(&event)) {
                firmware_ = *firmware;
            }
        }
        if (firmware_) {
            return Outcome::Identified;
        }
    }
    return line_.lost() ? Outcome::Lost : Outcome::Pending;
}

BoardInfo FirmataHandshake::board() const {
    const int major = version_ ? version_->major : firmware_->major;
    const int minor = version_ ? version_->minor : firmware_->minor;
    const std::string version = std::to_string(major) + "." + std::to_string(minor);
    // StandardFirmata names itself after its sketch's file.
    std::string sketch = firmware_->name;
    if (sketch.ends_with(".ino")) {
        sketch.resize(sketch.size() - 4);
    }
    std::string identification = "Arduino Firmata " + version;
    if (!sketch.empty()) {
        identification += " (" + sketch + ")";
    }
    return {line_.portPath(), {}, {}, version, identification, nullptr};
}

} // namespace thermo
