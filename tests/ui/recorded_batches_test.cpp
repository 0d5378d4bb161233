#include "ui/classroom/recorded_batches.h"
#include "ui/recording/session_record.h"

#include <QTest>
#include <cmath>

using namespace thermo;
using classroom::Batch;

// A group's batches answered from the séance's record: the readings found where the record
// kept them, on the group's own clock; those the record did not keep, from the batch itself.
class RecordedBatchesTest : public QObject {
    Q_OBJECT

    SessionRecord record_{NumberLocale{","}};
    RecordedBatches store_{record_};
    int taken_ = 0;

    // The next two readings, taken by the record then sent as the group sends them: its clock
    // started 1234 ms before the record's.
    Batch measure(std::uint32_t number, bool lowSupply = false) {
        Batch batch{77, number, 1700000000000, {}};
        for (int i = 0; i < 2; ++i, ++taken_) {
            Reading r;
            r.time = Reading::Clock::time_point(std::chrono::milliseconds(100 * taken_ + 3));
            r.code = 40000 + taken_;
            r.uth = 2.1;
            r.ut = lowSupply ? 4.5 : 5.0;
            r.lowSupply = lowSupply;
            if (!lowSupply) {
                r.celsius = 60 - 0.1 * taken_;
            }
            record_.take(r);
            batch.readings.push_back({1234 + 100 * taken_, r.celsius.value_or(std::nan("")), 2.1,
                                      *r.ut, r.code, r.gap(), false});
        }
        store_.keep(batch);
        return batch;
    }

private slots:
    void batchesComeBackAsTheyWereSent() {
        const Batch first = measure(1);
        const Batch low = measure(2, true);
        record_.setPaused(true);
        const Batch paused = measure(3);
        record_.setPaused(false);
        const Batch after = measure(4);

        QCOMPARE(store_.keptWhole(), std::size_t(1)); // only the one the record never kept
        QCOMPARE(record_.liveSeries().size(), std::size_t(6));
        for (const Batch& sent : {first, low, paused, after}) {
            const auto found = store_.find(sent.run, sent.number);
            QVERIFY2(found && *found == sent, qPrintable(QString::number(sent.number)));
        }
        QVERIFY(!store_.find(77, 5) && !store_.find(77, 0) && !store_.find(78, 1));

        // A run the teacher no longer can have: deleted from the séance.
        record_.newRun();
        record_.removeRun(0);
        QVERIFY(!store_.find(77, 1));
        QVERIFY(store_.find(77, 3).has_value());
    }
};

QTEST_GUILESS_MAIN(RecordedBatchesTest)
#include "recorded_batches_test.moc"
