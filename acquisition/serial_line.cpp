#include "acquisition/serial_line.h"

#include <QSerialPort>
#include <algorithm>
#include <thread>

namespace thermo {

namespace {

int remainingMs(SerialLine::Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - SerialLine::Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

SerialLine::SerialLine(std::string portPath) : portPath_(std::move(portPath)) {}

SerialLine::~SerialLine() = default;

bool SerialLine::open(int baudRate) {
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(portPath_));
    port_->setBaudRate(baudRate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->setReadBufferSize(static_cast<qint64>(maxPiece));
    if (!port_->open(QIODevice::ReadWrite)) {
        port_.reset();
        return false;
    }
    baudRate_ = baudRate;
    return true;
}

void SerialLine::setBaudRate(int baudRate) {
    if (isOpen() && port_->setBaudRate(baudRate)) {
        baudRate_ = baudRate;
    }
}

void SerialLine::close() {
    if (port_) {
        port_->close();
        port_.reset();
    }
    lost_ = false;
}

bool SerialLine::isOpen() const {
    return port_ && port_->isOpen();
}

void SerialLine::checkError() {
    switch (port_->error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        break;
    default:
        lost_ = true;
    }
}

void SerialLine::discardInput() {
    if (!isOpen()) {
        return;
    }
    // clear() also empties the system's buffer, readAll() what Qt already took from it.
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

bool SerialLine::send(std::string_view bytes, Clock::time_point deadline) {
    if (!isOpen() || lost_) {
        return false;
    }
    if (port_->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        checkError();
        lost_ = true;
        return false;
    }
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(remainingMs(deadline))) {
            checkError();
            return false;
        }
    }
    return true;
}

std::string SerialLine::receive(Clock::time_point deadline) {
    if (!isOpen() || lost_) {
        return {};
    }
    std::this_thread::sleep_until(std::min(deadline, lastPiece_ + floodPause));
    if (port_->bytesAvailable() == 0) {
        const int wait = remainingMs(deadline);
        if (wait == 0 || !port_->waitForReadyRead(wait)) {
            checkError();
            return {};
        }
    }
    std::string bytes(maxPiece, '\0');
    const qint64 count = port_->read(bytes.data(), static_cast<qint64>(maxPiece));
    checkError();
    bytes.resize(static_cast<std::size_t>(std::max<qint64>(count, 0)));
    lastPiece_ = Clock::now();
    return bytes;
}

} // namespace thermo
