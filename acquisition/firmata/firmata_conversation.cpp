#include "acquisition/firmata/firmata_conversation.h"

#include "acquisition/firmata/firmata_protocol.h"
#include "acquisition/serial_line.h"

#include <span>

namespace thermo {

namespace {

using Clock = SerialLine::Clock;

// Messages shown as they stand in the temperature field.
constexpr const char* booting = "Carte Firmata : démarrage en cours";
constexpr const char* noAnswer = "Carte Firmata : pas de réponse";
constexpr const char* noInputs = "Carte Firmata : pas d'entrées A0 et A1";
constexpr const char* silent = "Interface débranchée";
// The capability answer of an Uno takes about 50 ms at 57600 baud.
constexpr std::chrono::milliseconds layoutAskedAgainAfter{250};

std::span<const std::uint8_t> bytesOf(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

void reportBoth(SerialLine& line, bool on) {
    const auto deadline = Clock::now() + waitSlice;
    for (const int channel : {0, 1}) {
        line.send(firmata::reportAnalog(channel, on), deadline);
    }
}

void startReports(SerialLine& line) {
    line.send(firmata::setSamplingInterval(FirmataConversation::samplingInterval),
              Clock::now() + waitSlice);
    reportBoth(line, true);
}

} // namespace

int FirmataConversation::baudRate() const {
    return firmata::baudRate;
}

StartTexts FirmataConversation::startTexts() const {
    return {booting, noAnswer};
}

BoardConversation::End FirmataConversation::talk(SerialLine& line, BoardMailbox& mailbox,
                                                 std::stop_token stop) {
    mailbox.setState(SourceState::Connecting, booting);
    const auto layout = readLayout(line, mailbox, stop);
    if (const auto* end = std::get_if<End>(&layout)) {
        return *end;
    }
    if (auto board = mailbox.board()) {
        board->converterBits = std::get<int>(layout);
        mailbox.setBoard(std::move(*board));
    }
    startReports(line);
    mailbox.setState(SourceState::Connected, silent);
    auto lastNews = Clock::now();
    while (!stop.stop_requested()) {
        const std::string bytes = line.receive(Clock::now() + waitSlice);
        if (line.lost()) {
            mailbox.setState(SourceState::Lost, unpluggedText);
            return End::Lost;
        }
        const auto now = Clock::now();
        for (const firmata::Event& event : handshake_.parser().feed(bytesOf(bytes))) {
            if (const auto* report = std::get_if<firmata::AnalogReport>(&event)) {
                if (report->channel < BoardMailbox::channels) {
                    mailbox.post(report->channel, report->value, now);
                    lastNews = now;
                }
            } else if (std::holds_alternative<firmata::FirmwareReport>(event)) {
                // It restarted, and forgot the reports asked for.
                startReports(line);
                lastNews = now;
            }
        }
        if (now - lastNews >= setUpAgainAfter) {
            startReports(line);
            lastNews = now;
        }
    }
    // The board is left as it was found, reporting nothing.
    reportBoth(line, false);
    return End::Stopped;
}

std::variant<int, BoardConversation::End>
FirmataConversation::readLayout(SerialLine& line, BoardMailbox& mailbox, std::stop_token stop) {
    std::optional<firmata::AnalogMapping> mapping;
    std::optional<firmata::Capabilities> capabilities;
    const auto deadline = Clock::now() + timing_.bootTimeout;
    Clock::time_point askedAt{};
    while (!mapping || !capabilities) {
        if (stop.stop_requested()) {
            return End::Stopped;
        }
        if (Clock::now() >= deadline) {
            mailbox.setState(SourceState::Lost, noAnswer);
            return End::Lost;
        }
        if (Clock::now() - askedAt >= layoutAskedAgainAfter) {
            askedAt = Clock::now();
            line.send(firmata::queryAnalogMapping(), nextWait(deadline));
            line.send(firmata::queryCapabilities(), nextWait(deadline));
        }
        const std::string bytes = line.receive(nextWait(deadline));
        if (line.lost()) {
            mailbox.setState(SourceState::Lost, unpluggedText);
            return End::Lost;
        }
        for (firmata::Event& event : handshake_.parser().feed(bytesOf(bytes))) {
            if (auto* found = std::get_if<firmata::AnalogMapping>(&event)) {
                mapping = std::move(*found);
            } else if (auto* described = std::get_if<firmata::Capabilities>(&event)) {
                capabilities = std::move(*described);
            }
        }
    }
    const auto a0 = mapping->pinOfChannel(0);
    const int bits = a0 ? capabilities->analogInputBits(*a0).value_or(0) : 0;
    if (!mapping->pinOfChannel(1) || bits < 1 || bits > 16) {
        // Not a board this program can read: asking again would change nothing.
        mailbox.setState(SourceState::Lost, noInputs);
        return End::Foreign;
    }
    return bits;
}

} // namespace thermo
