// A séance file made of arbitrary bytes, opened and read whole as the program opens one: its
// runs, their readings, notes and models, or a Failure with a French message; never a crash,
// a hang or anything else thrown.
#include "core/failure.h"
#include "fuzz/fuzz_input.h"
#include "ui/recording/seance_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

using thermo::fuzz::check;

namespace {

// One file per fuzzing process, rewritten for each input; SQLite's companions removed too.
const std::string& scratch() {
    static const std::string path = "/tmp/fuzz-seance-" + std::to_string(::getpid()) + ".thermo";
    return path;
}

void removeScratch() {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::remove((scratch() + suffix).c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    removeScratch();
    if (std::FILE* out = std::fopen(scratch().c_str(), "wb")) {
        check(std::fwrite(data, 1, size, out) == size);
        std::fclose(out);
    }
    try {
        const thermo::SeanceFile file(scratch(), thermo::SeanceFile::Mode::Read);
        (void)file.summary();
        for (const thermo::RunHeader& run : file.runs()) {
            const thermo::SessionSeries series = file.readings(run.id);
            for (std::size_t i = 1; i < series.size(); ++i) {
                check(series.millis()[i] >= series.millis()[i - 1]);
            }
            (void)file.notes(run.id);
            (void)file.models(run.id);
        }
    } catch (const thermo::Failure& f) {
        check(*f.what() != '\0');
    }
    removeScratch();
    return 0;
}
