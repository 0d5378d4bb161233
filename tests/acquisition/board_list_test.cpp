#include "acquisition/board_list.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

const BoardKind* const kind = reinterpret_cast<const BoardKind*>(0x10);

BoardInfo found(const std::string& port, const std::string& serial) {
    return {port, {}, serial, "1.0", "carte n\u00B0 " + serial, kind};
}

// What the menu shows: each entry's text, the one in use marked with a star.
std::vector<std::string> shown(const BoardList& list) {
    std::vector<std::string> texts;
    for (const BoardList::Entry& entry : list.entries()) {
        texts.push_back((list.inUse(entry) ? "* " : "") + entry.text);
    }
    return texts;
}

using Texts = std::vector<std::string>;

TEST(BoardList, SearchesReplaceEachOtherButTheBoardInUseStays) {
    BoardList list;
    list.merge({found("/dev/ttyACM0", "0042"), found("/dev/ttyACM1", "0043")});
    EXPECT_EQ(shown(list), (Texts{"/dev/ttyACM0 \u2014 carte n\u00B0 0042",
                                  "/dev/ttyACM1 \u2014 carte n\u00B0 0043"}));
    list.use("/dev/ttyACM1", kind, "Carte série n\u00B0 0043 (/dev/ttyACM1)");
    // The board in use holds its port: the next search cannot open it.
    list.merge({found("/dev/ttyUSB0", "0044")});
    EXPECT_EQ(shown(list), (Texts{"* /dev/ttyACM1 \u2014 carte n\u00B0 0043",
                                  "/dev/ttyUSB0 \u2014 carte n\u00B0 0044"}));
    EXPECT_EQ(list.knownCount(), 2);
    list.use("", nullptr, "Simulation");
    list.merge({});
    EXPECT_TRUE(list.entries().empty());
}

TEST(BoardList, TypedPortStaysOnOfferOnlyOnceRecognised) {
    BoardList list;
    list.use("/dev/absent", nullptr, "Carte sur /dev/absent");
    EXPECT_EQ(shown(list), Texts{"* Carte sur /dev/absent"});
    EXPECT_EQ(list.knownCount(), 0);
    list.use("", nullptr, "Simulation");
    EXPECT_TRUE(list.entries().empty());

    list.use("/dev/ttyACM0", nullptr, "Carte sur /dev/ttyACM0");
    list.use("/dev/ttyACM0", kind, "Arduino Firmata 2.5 (StandardFirmata) sur /dev/ttyACM0");
    list.use("", nullptr, "Simulation");
    EXPECT_EQ(shown(list), Texts{"Arduino Firmata 2.5 (StandardFirmata) sur /dev/ttyACM0"});
    EXPECT_EQ(list.entries()[0].board.kind, kind);
    EXPECT_EQ(list.knownCount(), 1);
}

TEST(BoardList, EntryInUseGoesWithItsBoardToItsNewPort) {
    BoardList list;
    list.merge({found("/dev/ttyACM0", "0042"), found("/dev/ttyACM1", "0043")});
    list.use("/dev/ttyACM0", kind, "Carte série n\u00B0 0042 (/dev/ttyACM0)");
    // 0043 was unplugged too, and 0042 came back where it was.
    list.follow("/dev/ttyACM1");
    EXPECT_EQ(shown(list), Texts{"* /dev/ttyACM1 \u2014 carte n\u00B0 0042"});

    list.use("/dev/typed", kind, "Carte série n\u00B0 0044 (/dev/typed)");
    list.follow("/dev/ttyACM5");
    list.use("/dev/ttyACM5", kind, "Carte série n\u00B0 0044 (/dev/ttyACM5)");
    EXPECT_EQ(shown(list), (Texts{"/dev/ttyACM1 \u2014 carte n\u00B0 0042",
                                  "* Carte série n\u00B0 0044 (/dev/ttyACM5)"}));
}

} // namespace
} // namespace thermo
