// A board running StandardFirmata on a pseudo-terminal, for trying the program by hand:
// `firmata_peer [A0 [A1]]` (0 to 1023; 512 and 1023 by default) prints the path to give to
// `thermometre --port`, then plays the board until interrupted.
#include "tests/serial/firmata_peer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>

int main(int argc, char** argv) {
    // Blocked before the board's thread exists, so that it inherits the mask: the signal ends
    // the program here, the board's destructor cleaning up after it.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    thermo::test::FirmataPeer board;
    board.setValues(0, {argc > 1 ? std::atoi(argv[1]) : 512});
    board.setValues(1, {argc > 2 ? std::atoi(argv[2]) : 1023});
    std::printf("%s\n", board.path().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&stop, &received);
    return 0;
}
