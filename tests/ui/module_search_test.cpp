#include "ui/modules/module_search.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace thermo;

namespace {

const QString installed = QStringLiteral("../lib/thermometre");
const QString module = QStringLiteral("libplot.so");

QString notFound(const QString& path) {
    return QStringLiteral("module introuvable (« %1 »)").arg(path);
}

} // namespace

// Each case lays out folders and files in a scratch folder of its own, with explicit modes so
// that the tester's umask plays no part.
class ModuleSearchTest : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    QString root_;

    void makeFile(const QString& relative, const QByteArray& contents = "ELF") {
        const QString path = root_ + relative;
        QString folder = QFileInfo(path).path();
        QVERIFY(QDir().mkpath(folder));
        for (; folder != scratch_.path(); folder = QFileInfo(folder).path()) {
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    }

private slots:
    void init() {
        root_ = QDir::cleanPath(QStringLiteral("%1/%2/%3")
                                    .arg(scratch_.path(), QTest::currentTestFunction(),
                                         QTest::currentDataTag())) +
                QLatin1Char('/');
    }

    void findsOnlyTheModuleOfItsOwnLayout_data() {
        QTest::addColumn<QString>("executable"); // its folder
        QTest::addColumn<QByteArray>("mark");    // beside it; none when empty
        QTest::addColumn<QStringList>("modules");
        QTest::addColumn<QString>("found"); // none when empty
        QTest::addColumn<QString>("missing");

        QTest::newRow("installed")
            << "usr/bin" << QByteArray() << QStringList{"usr/lib/thermometre/libplot.so"}
            << "usr/lib/thermometre/libplot.so"
            << "";
        // The build the package was made from is still on the disk (or made again by another
        // user at the same place): an installed program never looks there.
        QTest::newRow("installed, missing, a build's beside")
            << "usr/bin" << QByteArray() << QStringList{"build/ui/curve/libplot.so"} << ""
            << "usr/lib/thermometre/libplot.so";
        QTest::newRow("build tree")
            << "build/ui" << QByteArray("curve\n")
            << QStringList{"build/ui/curve/libplot.so", "build/lib/thermometre/libplot.so"}
            << "build/ui/curve/libplot.so"
            << "";
        QTest::newRow("build tree, another folder")
            << "build/tests/ui" << QByteArray("../../ui/curve")
            << QStringList{"build/ui/curve/libplot.so"} << "build/ui/curve/libplot.so"
            << "";
        QTest::newRow("build tree, module deleted")
            << "build/ui" << QByteArray("curve\n")
            << QStringList{"build/lib/thermometre/libplot.so"} << ""
            << "build/ui/curve/libplot.so";
    }

    void findsOnlyTheModuleOfItsOwnLayout() {
        QFETCH(QString, executable);
        QFETCH(QByteArray, mark);
        QFETCH(QStringList, modules);
        QFETCH(QString, found);
        QFETCH(QString, missing);
        QVERIFY(QDir().mkpath(root_ + executable));
        if (!mark.isEmpty()) {
            makeFile(executable + "/thermometre.build-tree", mark);
        }
        for (const QString& file : modules) {
            makeFile(file);
        }

        const ModuleSearch search = findModule(root_ + executable, installed, module, ::geteuid());
        QCOMPARE(search.path, found.isEmpty() ? QString() : root_ + found);
        QCOMPARE(search.failure, missing.isEmpty() ? QString() : notFound(root_ + missing));
    }

    void refusesAnInstalledModuleOthersCouldChange_data() {
        QTest::addColumn<QString>("changed");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("named"); // the refusal's folder; "-" for the file, "" loaded

        QTest::newRow("module writable by all") << "usr/lib/thermometre/libplot.so" << 0646 << "-";
        QTest::newRow("module writable by its group")
            << "usr/lib/thermometre/libplot.so" << 0664 << "-";
        QTest::newRow("folder writable by its group")
            << "usr/lib/thermometre" << 0775 << "usr/lib/thermometre";
        QTest::newRow("prefix writable by all") << "usr" << 0777 << "usr";
        QTest::newRow("sticky prefix, as /tmp") << "usr" << 01777 << "";
        QTest::newRow("module readable by all") << "usr/lib/thermometre/libplot.so" << 0444 << "";
    }

    void refusesAnInstalledModuleOthersCouldChange() {
        QFETCH(QString, changed);
        QFETCH(int, mode);
        QFETCH(QString, named);
        makeFile("usr/lib/thermometre/libplot.so");
        QVERIFY(QDir().mkpath(root_ + "usr/bin"));
        QVERIFY(::chmod(QFile::encodeName(root_ + changed).constData(), mode) == 0);

        const ModuleSearch search = findModule(root_ + "usr/bin", installed, module, ::geteuid());
        const QString path = root_ + "usr/lib/thermometre/libplot.so";
        QCOMPARE(search.path, named.isEmpty() ? path : QString());
        const QString refused =
            QStringLiteral("le module « %1 » est refusé, car d'autres utilisateurs "
                           "que l'administrateur peuvent ")
                .arg(path);
        QCOMPARE(search.failure,
                 named.isEmpty() ? QString()
                 : named == "-"
                     ? refused + "le modifier"
                     : refused + QStringLiteral("modifier le dossier « %1 »").arg(root_ + named));
    }

    // A link from the program's folder into a folder anyone may write to: what is checked is
    // what would be loaded.
    void followsLinksBeforeJudging() {
        makeFile("drop/libplot.so");
        QVERIFY(::chmod(QFile::encodeName(root_ + "drop").constData(), 0777) == 0);
        QVERIFY(QDir().mkpath(root_ + "usr/bin"));
        QVERIFY(QDir().mkpath(root_ + "usr/lib/thermometre"));
        QVERIFY(QFile::link(root_ + "drop/libplot.so", root_ + "usr/lib/thermometre/libplot.so"));

        const ModuleSearch search = findModule(root_ + "usr/bin", installed, module, ::geteuid());
        QCOMPARE(search.path, QString());
        QVERIFY2(
            search.failure.endsWith(QStringLiteral("modifier le dossier « %1drop »").arg(root_)),
            qPrintable(search.failure));
    }

    void trustsOnlyRootAndTheUser_data() {
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("mode");
        QTest::addColumn<bool>("changeable");
        constexpr uint user = 1000;
        constexpr uint other = 1001;
        QTest::newRow("root's file") << 0u << uint(S_IFREG | 0644) << false;
        QTest::newRow("the user's file") << user << uint(S_IFREG | 0755) << false;
        QTest::newRow("another user's file") << other << uint(S_IFREG | 0644) << true;
        QTest::newRow("root's file, group-writable") << 0u << uint(S_IFREG | 0664) << true;
        QTest::newRow("root's sticky folder") << 0u << uint(S_IFDIR | 01777) << false;
        QTest::newRow("another user's sticky folder") << other << uint(S_IFDIR | 01777) << true;
        QTest::newRow("sticky bit on a file") << 0u << uint(S_IFREG | 01666) << true;
    }

    void trustsOnlyRootAndTheUser() {
        QFETCH(uint, owner);
        QFETCH(uint, mode);
        QFETCH(bool, changeable);
        QCOMPARE(changeableByOthers(owner, mode, 1000), changeable);
    }
};

QTEST_GUILESS_MAIN(ModuleSearchTest)
#include "module_search_test.moc"
