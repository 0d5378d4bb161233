#include "acquisition/firmata/firmata_handshake.h"

#include "acquisition/firmata/firmata_protocol.h"

#include <span>

namespace thermo {

void FirmataHandshake::restart() {
    parser_ = {};
    heard_ = false;
    version_.reset();
    firmware_.reset();
}

std::string FirmataHandshake::question() {
    heard_ = false;
    std::string bytes;
    for (const auto& query : {firmata::queryVersion(), firmata::queryFirmware()}) {
        bytes.append(query.begin(), query.end());
    }
    // Firmata passes over a data byte outside a message; a board that reads lines (the
    // project's) takes the newline as the end of these bytes, so that its next line is whole.
    return bytes + '\n';
}

Greeting FirmataHandshake::hear(std::string_view bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (const firmata::Event& event : parser_.feed(std::span(data, bytes.size()))) {
        heard_ = true;
        if (const auto* version = std::get_if<firmata::VersionReport>(&event)) {
            version_ = *version;
        } else if (const auto* firmware = std::get_if<firmata::FirmwareReport>(&event)) {
            firmware_ = *firmware;
        }
    }
    return firmware_ ? Greeting::Identified : Greeting::Pending;
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
    return {{}, {}, {}, version, identification, nullptr};
}

} // namespace thermo
