#include "ui/modules/module_search.h"
#include "storage/private_files.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace thermo;

// The program's own files: which module it loads, and who may read what it keeps.
class ProgramFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    static uint modeOf(const QString& path) {
        struct stat s {};
        return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_mode & 07777 : 0;
    }

private slots:
    // Each row lays out the files it names (the build's mark first, naming "curve"), then gives
    // modes as "path=mode". The program runs from build/ui/ with the mark, else from bin/.
    void findsOnlyTheModuleOfItsOwnLayout_data() {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("failure"); // %1: the row's folder
        const QString in = "lib/thermometre/m.so", built = "build/ui/curve/m.so",
                      mark = "build/ui/thermometre.build-tree",
                      other = "build/lib/thermometre/m.so",
                      missing = "module introuvable (« %1/%2 »)",
                      refused = "le module « %1/lib/thermometre/m.so » est refusé, car d'autres "
                                "utilisateurs que l'administrateur peuvent ";
        QTest::newRow("installed") << QStringList{in} << in << "";
        QTest::newRow("installed, gone, a build left")
            << QStringList{built} << "" << missing.arg("%1", in);
        QTest::newRow("build tree") << QStringList{mark, built, other} << built << "";
        QTest::newRow("build tree, module deleted")
            << QStringList{mark, other} << "" << missing.arg("%1", built);
        QTest::newRow("module writable by all")
            << QStringList{in, in + "=646"} << "" << refused + "le modifier";
        QTest::newRow("folder writable by its group")
            << QStringList{in, "lib/thermometre=775"} << ""
            << refused + "modifier le dossier « %1/lib/thermometre »";
    }

    void findsOnlyTheModuleOfItsOwnLayout() {
        QFETCH(QStringList, layout);
        QFETCH(QString, found);
        QFETCH(QString, failure);
        const QString root = dir_.filePath(QTest::currentDataTag());
        const mode_t saved = ::umask(022);
        for (const QString& entry : layout) {
            const QString path = root + '/' + entry.section('=', 0, 0);
            const uint mode = entry.section('=', 1).toUInt(nullptr, 8);
            QFile file(path);
            QVERIFY(mode != 0 ? ::chmod(QFile::encodeName(path).constData(), mode) == 0
                              : QDir().mkpath(QFileInfo(path).path()) &&
                                    file.open(QIODevice::WriteOnly) && file.write("curve\n") > 0);
        }
        ::umask(saved);
        const QString from = root + (layout[0].endsWith(".build-tree") ? "/build/ui" : "/bin");
        const ModuleSearch search = findModule(from, "../lib/thermometre", "m.so", ::geteuid());
        QCOMPARE(search.path, found.isEmpty() ? QString() : root + '/' + found);
        QCOMPARE(search.failure, failure.isEmpty() ? failure : failure.arg(root));
    }

    // The program's own folder and files (séance journal, class passwords) for the user alone,
    // even where they were wider and under the widest umask.
    void privateFilesAreTheUsersAlone() {
        const QString base = dir_.filePath("private"), open = base + "/thermometre";
        const mode_t saved = ::umask(0);
        QVERIFY(QDir().mkpath(open) && QFile(open + "/secret").open(QIODevice::WriteOnly));
        const QStringList failures{makePrivateFolder(open), makePrivateFolder(base + "/new/data"),
                                   writePrivateFile(open + "/secret", "mot de passe")};
        ::umask(saved);
        QCOMPARE(failures, QStringList(3, QString()));
        const QList<uint> modes{modeOf(open), modeOf(open + "/secret"), modeOf(base + "/new"),
                                modeOf(base + "/new/data")};
        QCOMPARE(modes, (QList<uint>{0700, 0600, 0777, 0700}));
    }
};

QTEST_GUILESS_MAIN(ProgramFilesTest)
#include "program_files_test.moc"
