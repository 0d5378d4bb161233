#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/firmata/firmata_protocol.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace thermo::test {
namespace {

using namespace std::chrono_literals;
using namespace firmata;

// The program's end of the line, read through the real parser.
struct Host {
    explicit Host(const std::string& path)
        : fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Host() { ::close(fd); }
    void send(const Bytes& b) { EXPECT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size())); }
    // Reads until `count` of the events seen pass `wanted`.
    bool await(const std::function<bool(const Event&)>& wanted, std::ptrdiff_t count = 1) {
        return waitFor(
            [&] {
                std::uint8_t bytes[512];
                const ssize_t n = std::max<ssize_t>(::read(fd, bytes, sizeof bytes), 0);
                bytesRead += std::size_t(n);
                for (Event& e : parser.feed(std::span(bytes, std::size_t(n)))) {
                    seen.push_back(std::move(e));
                }
                return std::count_if(seen.begin(), seen.end(), wanted) >= count;
            },
            3s);
    }
    template <typename T> const T& first() const {
        return std::get<T>(*std::find_if(seen.begin(), seen.end(), is<T>));
    }
    template <typename T> static bool is(const Event& e) { return std::holds_alternative<T>(e); }
    int fd;
    std::size_t bytesRead = 0;
    Parser parser;
    std::vector<Event> seen;
};

TEST(FirmataPeer, GreetsAfterItsRestartThenAnswersAsAnUno) {
    FirmataPeer board({.bits = 12, .restartsOnOpen = true, .bootTime = 300ms});
    board.setValues(1, {1000, 4095});
    Host host(board.path());
    host.send(queryVersion()); // lost: the board is booting
    ASSERT_TRUE(host.await(Host::is<FirmwareReport>));
    EXPECT_EQ(host.seen,
              (std::vector<Event>{VersionReport{2, 5}, FirmwareReport{2, 5, "StandardFirmata"}}));

    for (const Bytes& request : {queryAnalogMapping(), queryCapabilities(),
                                 setSamplingInterval(200ms), reportAnalog(1, true)}) {
        host.send(request);
    }
    ASSERT_TRUE(host.await(Host::is<AnalogMapping>) && host.await(Host::is<Capabilities>));
    EXPECT_EQ(host.first<AnalogMapping>().pinOfChannel(1), 15u);
    EXPECT_EQ(host.first<Capabilities>().analogInputBits(15), 12);
    EXPECT_TRUE(host.await([](const Event& e) { return e == Event(AnalogReport{1, 4095}); }));
    EXPECT_EQ(board.samplingInterval(), 200ms);
    EXPECT_TRUE(board.reporting(1) && !board.reporting(0));
}

TEST(FirmataPeer, BabblesFallsSilentVanishesAndComesBack) {
    FirmataPeer board({.bits = 10, .restartsOnOpen = false});
    board.setValues(0, {512});
    board.setBabbling(true);
    board.setSilent(1, true);
    auto host = std::make_unique<Host>(board.path());
    host->send(reportAnalog(0, true));
    host->send(reportAnalog(1, true));
    ASSERT_TRUE(host->await(Host::is<AnalogReport>, 6));
    for (const Event& e : host->seen) {
        EXPECT_EQ(e, Event(AnalogReport{0, 512})) << "a silent channel or garbage read as a report";
    }
    EXPECT_GT(host->bytesRead, 3 * host->seen.size()) << "no garbage";

    board.vanish();
    EXPECT_FALSE(std::filesystem::exists(board.path()));
    board.comeBack();
    host = std::make_unique<Host>(board.path());
    EXPECT_FALSE(board.reporting(0)) << "a board plugged in again starts afresh";
    host->send(queryVersion());
    EXPECT_TRUE(host->await(Host::is<VersionReport>));
}

} // namespace
} // namespace thermo::test
