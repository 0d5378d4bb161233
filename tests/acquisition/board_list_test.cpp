#include "acquisition/board_list.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

const BoardKind* const kind = reinterpret_cast<const BoardKind*>(0x10);
using Texts = std::vector<std::string>;

BoardInfo found(const std::string& port, const std::string& number) {
    return {port, {}, number, "1.0", "carte " + number, kind};
}

// What the menu shows: each entry's text, the one in use marked with a star.
Texts shown(const BoardList& list) {
    Texts texts;
    for (const BoardList::Entry& entry : list.entries()) {
        texts.push_back((list.inUse(entry) ? "* " : "") + entry.text);
    }
    return texts;
}

TEST(BoardList, SearchesReplaceEachOtherButTheBoardInUseStaysAndGoesWhereItIsFound) {
    BoardList list;
    list.merge({found("/dev/ttyACM0", "1"), found("/dev/ttyACM1", "2")});
    list.use("/dev/ttyACM1", kind, "Carte série n° 2 (/dev/ttyACM1)");
    // The board in use holds its port: the next search cannot open it.
    list.merge({found("/dev/ttyUSB0", "3")});
    EXPECT_EQ(shown(list), (Texts{"* /dev/ttyACM1 \u2014 carte 2", "/dev/ttyUSB0 \u2014 carte 3"}));
    EXPECT_EQ(list.knownCount(), 2);
    // Unplugged, it came back where the other one was.
    list.follow("/dev/ttyUSB0");
    EXPECT_EQ(shown(list), Texts{"* /dev/ttyUSB0 \u2014 carte 2"});
    list.use("", nullptr, "Simulation");
    list.merge({});
    EXPECT_TRUE(list.entries().empty());
}

TEST(BoardList, TypedPortStaysOnOfferOnlyOnceRecognised) {
    BoardList list;
    list.use("/dev/absent", nullptr, "Carte sur /dev/absent");
    EXPECT_EQ(shown(list), Texts{"* Carte sur /dev/absent"});
    EXPECT_EQ(list.knownCount(), 0);
    list.use("/dev/ttyACM0", nullptr, "Carte sur /dev/ttyACM0");
    list.use("/dev/ttyACM0", kind, "Arduino Firmata 2.5 sur /dev/ttyACM0");
    list.follow("/dev/ttyACM3");
    list.use("/dev/ttyACM3", kind, "Arduino Firmata 2.5 sur /dev/ttyACM3");
    list.use("", nullptr, "Simulation");
    EXPECT_EQ(shown(list), Texts{"Arduino Firmata 2.5 sur /dev/ttyACM3"});
    EXPECT_EQ(list.entries()[0].board.kind, kind);
}

} // namespace
} // namespace thermo
