#include "acquisition/firmata/firmata_protocol.h"

#include "core/failure.h"

namespace thermo::firmata {

namespace {

Bytes sysexQuery(std::uint8_t id) {
    return {command::sysexStart, id, command::sysexEnd};
}

} // namespace

Bytes queryVersion() {
    return {command::reportVersion};
}

Bytes queryFirmware() {
    return sysexQuery(sysex::reportFirmware);
}

Bytes queryAnalogMapping() {
    return sysexQuery(sysex::analogMappingQuery);
}

Bytes queryCapabilities() {
    return sysexQuery(sysex::capabilityQuery);
}

Bytes setSamplingInterval(std::chrono::milliseconds interval) {
    const auto ms = interval.count();
    if (ms < 1 || ms > maxDataValue) {
        throw Failure(FailureKind::InvalidArgument,
                      "Firmata : intervalle d'échantillonnage invalide");
    }
    return {command::sysexStart, sysex::samplingInterval, static_cast<std::uint8_t>(ms & 0x7F),
            static_cast<std::uint8_t>(ms >> 7), command::sysexEnd};
}

Bytes reportAnalog(int channel, bool on) {
    if (channel < 0 || channel >= channelCount) {
        throw Failure(FailureKind::InvalidArgument, "Firmata : voie analogique invalide");
    }
    return {static_cast<std::uint8_t>(command::reportAnalog | channel),
            static_cast<std::uint8_t>(on ? 1 : 0)};
}

Bytes systemReset() {
    return {command::systemReset};
}

} // namespace thermo::firmata
