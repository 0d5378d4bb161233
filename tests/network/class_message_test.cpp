#include "network/protocol/batch_ledger.h"
#include "network/protocol/class_message.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace thermo::classroom {
namespace {

using Bytes = std::vector<std::uint8_t>;

Sample sample(std::int64_t millis, Gap gap, double celsius, double uth, double ut,
              std::optional<std::int32_t> code) {
    Sample s;
    s.millis = millis;
    s.gap = gap;
    s.celsius = gap == Gap::None ? celsius : std::nan("");
    s.uth = uth;
    s.ut = ut;
    s.code = code;
    return s;
}

Batch batch() {
    return Batch{0xC0FFEE, 7, 1'765'000'000'000,
                 {sample(0, Gap::None, -12.34567, 2.345, 5.01, 40448),
                  sample(100, Gap::LowSupply, 0, 1.2, 4.7, 36700),
                  sample(100, Gap::Failure, 0, std::nan(""), std::nan(""), std::nullopt)}};
}

GroupState state() {
    return GroupState{42, 1'765'000'000'000, 9, true, "Groupe 3 — Léa", "Banc simulé",
                      "10000", "10 000", "4275"};
}

// Every kind of message comes back as it went, gaps and missing values included.
TEST(ClassMessage, EachKindComesBackAsItWent) {
    const Message messages[] = {batch(), state(), GroupLeft{},
                                BackfillRequest{42, {{1, 3}, {9, 9}}},
                                Enrolment{"g0123456789ab", "Secret-42", "Groupe 3"}};
    for (const Message& message : messages) {
        const Bytes bytes = encode(message);
        const auto back = decode(bytes);
        ASSERT_TRUE(back) << message.index();
        EXPECT_TRUE(*back == message) << message.index();
    }
}

// What a broker may hand over that is not exactly one message is refused whole.
TEST(ClassMessage, MalformedMessagesAreRefused) {
    const Bytes good = encode(batch());
    struct Case {
        const char* name;
        std::function<Bytes()> bytes;
    };
    auto edited = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b.at(at) = value;
        return b;
    };
    // Header 3, run 4, number 4, start 8, count 2: the first reading's flags are at 25.
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }},
        {"truncated", [&] { return Bytes(good.begin(), good.end() - 1); }},
        {"trailing byte", [&] { Bytes b = good; b.push_back(0); return b; }},
        {"other magic", [&] { return edited(0, 'X'); }},
        {"other version", [&] { return edited(1, 2); }},
        {"unknown kind", [&] { return edited(2, 9); }},
        {"batch number 0", [&] { Bytes b = good; std::fill_n(b.begin() + 7, 4, 0); return b; }},
        {"no readings", [&] { return edited(19, 0); }},
        {"more readings than said", [&] { return edited(19, 2); }},
        {"too many readings", [&] { return edited(19, 101); }},
        {"unknown flag", [&] { return edited(25, good[25] | 0x40); }},
        {"gap kind 3", [&] { return edited(25, good[25] | 0x03); }},
        {"time going back", [&] {
             Batch b = batch();
             b.readings[1].millis = 50;
             Bytes bytes = encode(b);
             bytes[21] = 60; // the first reading's time, past the second's
             return bytes;
         }},
        {"name not UTF-8", [] {
             Bytes b = encode(state());
             b[21] = 0xFF; // in the name, after its length at 20
             return b;
         }},
        {"control character", [] {
             Bytes b = encode(state());
             b[21] = '\n';
             return b;
         }},
        {"backfill of 0", [] {
             Bytes b = encode(BackfillRequest{1, {{1, 1}}});
             b[8] = 0;
             return b;
         }},
        {"backfill reversed", [] {
             Bytes b = encode(BackfillRequest{1, {{5, 5}}});
             b[8] = 6;
             return b;
         }},
        {"backfill too large", [] {
             Bytes b = encode(BackfillRequest{1, {{1, 1000}}});
             b[13] = 0x04; // last = 1256
             return b;
         }},
        {"account with capitals", [] {
             Bytes b = encode(Enrolment{"gabc", "pw", "G"});
             b[4] = 'A';
             return b;
         }},
        {"oversized", [] { return Bytes(maxMessageBytes + 1, 'T'); }},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(decode(c.bytes())) << c.name;
    }
}

// What could not be read back is never written.
TEST(ClassMessage, UnwritableMessagesThrow) {
    Batch tooHot = batch();
    tooHot.readings[0].celsius = INFINITY;
    Batch backwards = batch();
    backwards.readings[2].millis = 10;
    GroupState longName = state();
    longName.name = std::string(maxNameBytes + 1, 'a');
    const Message messages[] = {tooHot, backwards, longName, Batch{1, 1, 0, {}},
                                BackfillRequest{1, {}}, Enrolment{"g", "has space", "G"}};
    for (const Message& message : messages) {
        EXPECT_THROW(encode(message), Failure) << message.index();
    }
}

// The teacher asks for what is missing once it has been missing a whole period, in ranges,
// within the request's bounds, and again only after retryAfter.
TEST(BatchLedger, AsksForWhatIsMissing) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> arrived;
        std::uint32_t announced;
        std::vector<BatchRange> missing;
    };
    const Case cases[] = {
        {"in order", {1, 2, 3}, 0, {}},
        {"duplicates", {1, 1, 2, 2}, 0, {}},
        {"holes", {1, 4, 2, 7}, 0, {{3, 3}, {5, 6}}},
        {"first lost", {2, 3}, 0, {{1, 1}}},
        {"tail announced", {1, 2}, 5, {{3, 5}}},
        {"long cut", {1, 2000}, 0, {{2, 1001}}},
    };
    for (const Case& c : cases) {
        BatchLedger ledger;
        for (std::uint32_t n : c.arrived) {
            ledger.receive(n);
        }
        ledger.announce(c.announced);
        EXPECT_EQ(ledger.missing(ledger.highest()), c.missing) << c.name;
        EXPECT_EQ(ledger.missingCount() + ledger.receivedCount(), ledger.highest()) << c.name;
    }

    BatchLedger ledger;
    const auto t0 = BatchLedger::Clock::now();
    ledger.receive(1);
    ledger.receive(3);
    EXPECT_TRUE(ledger.due(t0).empty()) << "2 may still be on its way";
    EXPECT_EQ(ledger.due(t0 + std::chrono::seconds(1)), (std::vector<BatchRange>{{2, 2}}));
    EXPECT_TRUE(ledger.due(t0 + std::chrono::seconds(2)).empty()) << "asked already";
    EXPECT_EQ(ledger.due(t0 + std::chrono::seconds(6)), (std::vector<BatchRange>{{2, 2}}));
    ledger.receive(2);
    EXPECT_TRUE(ledger.due(t0 + std::chrono::seconds(20)).empty());
}

} // namespace
} // namespace thermo::classroom
