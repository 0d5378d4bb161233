// A board running StandardFirmata on a pseudo-terminal, for trying the program by hand:
//
//     firmata_peer [A0 [A1]]      (values of 0 to 1023; 512 and 1023 by default)
//
// prints the path to give to `thermometre --port`, then plays the board until interrupted.
#include "tests/serial/firmata_peer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopped = 0;

void stop(int) {
    stopped = 1;
}

} // namespace

int main(int argc, char** argv) {
    thermo::test::FirmataPeer board;
    board.setValues(0, {argc > 1 ? std::atoi(argv[1]) : 512});
    board.setValues(1, {argc > 2 ? std::atoi(argv[2]) : 1023});
    std::printf("%s\n", board.path().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    while (stopped == 0) {
        ::pause();
    }
    return 0;
}
