#include "acquisition/serial/board_link.h"

#include <QSerialPort>

namespace thermo {

namespace {

int remainingMs(BoardLink::Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - BoardLink::Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

BoardLink::BoardLink(std::string portPath) : portPath_(std::move(portPath)) {}

BoardLink::~BoardLink() = default;

bool BoardLink::open() {
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(portPath_));
    port_->setBaudRate(QSerialPort::Baud115200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        port_.reset();
        return false;
    }
    return true;
}

void BoardLink::close() {
    if (port_) {
        port_->close();
        port_.reset();
    }
    pending_.clear();
    lost_ = false;
}

bool BoardLink::isOpen() const {
    return port_ && port_->isOpen();
}

void BoardLink::checkError() {
    switch (port_->error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        break;
    default:
        lost_ = true;
    }
}

void BoardLink::discardInput() {
    if (!isOpen()) {
        return;
    }
    // clear() also empties the system's buffer, readAll() what Qt already took from it.
    port_->clear(QSerialPort::Input);
    port_->readAll();
    pending_.clear();
}

bool BoardLink::send(std::string_view bytes, Clock::time_point deadline) {
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

std::optional<std::string> BoardLink::takeLine() {
    const auto end = pending_.find('\n');
    if (end == std::string::npos) {
        if (pending_.size() < maxLineLength) {
            return std::nullopt;
        }
        std::string cut = std::move(pending_);
        pending_.clear();
        return cut;
    }
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> BoardLink::readLine(Clock::time_point deadline) {
    if (!isOpen()) {
        return std::nullopt;
    }
    for (;;) {
        if (auto line = takeLine()) {
            return line;
        }
        if (lost_) {
            return std::nullopt;
        }
        if (port_->bytesAvailable() == 0) {
            const int wait = remainingMs(deadline);
            if (wait == 0 || !port_->waitForReadyRead(wait)) {
                checkError();
                return std::nullopt;
            }
        }
        const QByteArray bytes = port_->readAll();
        pending_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        checkError();
    }
}

} // namespace thermo
