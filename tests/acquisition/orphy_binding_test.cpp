#include "acquisition/orphy_binding.h"
#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "tests/support/scripted_source.h"

#include <QTest>
#include <functional>

using thermo::AutomationValue;
using thermo::Failure;
using thermo::FailureKind;
using thermo::test::ScriptedSource;

using Script = std::function<void(ScriptedSource&)>;
Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(thermo::FailureKind)

// The read operation the measurement cycle gets, bound to a real control whose source is
// scripted.
class OrphyBindingTest : public QObject {
    Q_OBJECT

private slots:
    void coercesWhatTheControlReturns_data();
    void coercesWhatTheControlReturns();
    void failsOfTheRightKind_data();
    void failsOfTheRightKind();
    void passesTheChannelThrough();
    void readsTheDefaultBench();
};

namespace {

struct Bound {
    thermo::OrphyControl control{thermo::OrphyProperties::mainWindowSet()};
    ScriptedSource* source;
    thermo::OrphyBinding binding;

    Bound(const Script& script, const QString& separator)
        : binding(control, thermo::NumberLocale{separator.toStdString()}) {
        auto scripted = std::make_unique<ScriptedSource>();
        script(*scripted);
        source = scripted.get();
        control.setSource(std::move(scripted));
    }
};

Script answer(AutomationValue value) {
    return [value](ScriptedSource& source) { source.answer(value); };
}

} // namespace

void OrphyBindingTest::coercesWhatTheControlReturns_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("code");

    QTest::newRow("entier") << answer(std::int64_t{40960}) << "." << 40960;
    QTest::newRow("moitié vers le pair au-dessus") << answer(40959.5) << "." << 40960;
    QTest::newRow("moitié vers le pair au-dessous") << answer(40960.5) << "." << 40960;
    QTest::newRow("texte entier") << answer(std::string("32768")) << "." << 32768;
    QTest::newRow("texte à virgule") << answer(std::string("2,5")) << "," << 2;
}

void OrphyBindingTest::coercesWhatTheControlReturns() {
    QFETCH(Script, script);
    QFETCH(QString, separator);
    QFETCH(int, code);
    Bound bound(script, separator);
    QCOMPARE(bound.binding.readChannel(0), code);
}

void OrphyBindingTest::failsOfTheRightKind_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<FailureKind>("kind");
    QTest::addColumn<QString>("message"); // checked when not empty

    QTest::newRow("valeur vide") << answer(std::monostate{}) << "." << FailureKind::TypeMismatch
                                 << QString();
    QTest::newRow("texte non numérique")
        << answer(std::string("abc")) << "." << FailureKind::TypeMismatch << QString();
    QTest::newRow("entier hors 32 bits")
        << answer(std::int64_t{1} << 40) << "." << FailureKind::Overflow << QString();
    QTest::newRow("échec de la source") << Script([](ScriptedSource& s) {
        s.fail(Failure(FailureKind::AcquisitionFailed, "Carte muette"));
    }) << "." << FailureKind::AcquisitionFailed
                                        << "Carte muette";
}

void OrphyBindingTest::failsOfTheRightKind() {
    QFETCH(Script, script);
    QFETCH(QString, separator);
    QFETCH(FailureKind, kind);
    QFETCH(QString, message);
    Bound bound(script, separator);
    try {
        const int code = bound.binding.readChannel(0);
        QFAIL(qPrintable(QStringLiteral("no failure, code %1").arg(code)));
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), kind);
        if (!message.isEmpty()) {
            QCOMPARE(QString::fromUtf8(failure.what()), message);
        }
    }
}

void OrphyBindingTest::passesTheChannelThrough() {
    Bound bound(
        [](ScriptedSource& s) {
            s.answer(std::int64_t{40960});
            s.answer(std::int64_t{49152});
            s.answer(std::int64_t{1});
        },
        ".");
    QCOMPARE(bound.binding.readChannel(0), 40960);
    QCOMPARE(bound.binding.readChannel(1), 49152);
    QCOMPARE(bound.binding.readChannel(-7), 1);
    QCOMPARE(bound.source->channels(), (std::vector<std::int32_t>{0, 1, -7}));
}

void OrphyBindingTest::readsTheDefaultBench() {
    thermo::OrphyControl control(thermo::OrphyProperties::mainWindowSet());
    thermo::OrphyBinding binding(control);
    for (int i = 0; i < 50; ++i) {
        QVERIFY(qAbs(binding.readChannel(0) - 40960) <= 4);
        QVERIFY(qAbs(binding.readChannel(1) - 49152) <= 4);
    }
}

QTEST_GUILESS_MAIN(OrphyBindingTest)
#include "orphy_binding_test.moc"
