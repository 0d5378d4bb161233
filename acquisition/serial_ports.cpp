#include "acquisition/serial_ports.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace thermo {

std::vector<PortInfo> systemSerialPorts() {
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortInfo port{info.systemLocation().toStdString(), info.description().toStdString(),
                      info.serialNumber().toStdString(), std::nullopt, std::nullopt};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vendorId = info.vendorIdentifier();
            port.productId = info.productIdentifier();
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return a.path < b.path; });
    return ports;
}

PortInfo portAt(const std::vector<PortInfo>& ports, const std::string& path) {
    const auto found =
        std::find_if(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.path == path; });
    return found != ports.end() ? *found : PortInfo{path, {}, {}, std::nullopt, std::nullopt};
}

} // namespace thermo
