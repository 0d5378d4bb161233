#include "tests/support/series_readings.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/recording/private_files.h"
#include "ui/recording/series_file.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using namespace thermo;

namespace {

uint modeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                     : 0xFFFF;
}

// The umask of the process while it lives.
class Umask {
public:
    explicit Umask(mode_t mask) : saved_(::umask(mask)) {}
    ~Umask() { ::umask(saved_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t saved_;
};

} // namespace

// Who may read what the program writes: the user's documents as the user's umask says, the
// program's own files for the user alone.
class FileModesTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path_; // a name of its own for each case

private slots:
    void init() {
        path_ = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()).replace(' ', '_'));
    }

    void exportsFollowTheUmask_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<uint>("mask");
        QTest::addColumn<uint>("mode");
        for (const char* suffix : {"csv", "png", "svg"}) {
            QTest::addRow("%s umask 022", suffix) << suffix << 022u << 0644u;
            QTest::addRow("%s umask 027", suffix) << suffix << 027u << 0640u;
            QTest::addRow("%s umask 077", suffix) << suffix << 077u << 0600u;
        }
    }

    void exportsFollowTheUmask() {
        QFETCH(QString, suffix);
        QFETCH(uint, mask);
        QFETCH(uint, mode);
        SessionSeries series;
        series.append(test::measured(0, 20, 2.5, 5, 40960));
        series.append(test::measured(100, 21, 2.4, 5, 40000));
        const QString path = path_ + "." + suffix;
        {
            const Umask umask(mask);
            if (suffix == "csv") {
                SeriesFile file(series, NumberLocale{","});
                QVERIFY2(file.saveAs(path), qPrintable(file.errorMessage()));
            } else {
                QWidget window;
                window.resize(400, 300);
                CurvePlotView* plot = makeCurvePlot(series, &window);
                plot->widget()->resize(400, 300);
                const QString failure = plot->saveImage(path);
                QVERIFY2(failure.isEmpty(), qPrintable(failure));
            }
        }
        QCOMPARE(modeOf(path), mode);
    }

    void privateFilesAreTheUsersAlone_data() {
        QTest::addColumn<int>("before"); // the mode of the file replaced; none when negative
        QTest::newRow("new file") << -1;
        QTest::newRow("replaced file open to all") << 0666;
    }

    void privateFilesAreTheUsersAlone() {
        QFETCH(int, before);
        const Umask umask(0); // the widest the user could ask for
        if (before >= 0) {
            QFile old(path_);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("ancien contenu, plus long que le nouveau");
            old.close();
            QVERIFY(::chmod(QFile::encodeName(path_).constData(), before) == 0);
        }
        QCOMPARE(writePrivateFile(path_, "password_file groupe3\n"), QString());
        QCOMPARE(modeOf(path_), 0600u);
        QFile written(path_);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("password_file groupe3\n"));
    }

    void privateFolderIsClosedToOthers_data() {
        QTest::addColumn<QString>("existing"); // what is there before: "", "folder" or "file"
        QTest::addColumn<QString>("failure");
        QTest::newRow("new folder") << ""
                                    << "";
        QTest::newRow("folder open to all") << "folder"
                                            << "";
        QTest::newRow("a file of that name") << "file"
                                             << "ce n'est pas un dossier";
    }

    void privateFolderIsClosedToOthers() {
        QFETCH(QString, existing);
        QFETCH(QString, failure);
        const Umask umask(022);
        const QString folder = path_ + "/share/thermometre";
        if (existing == "folder") {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        } else if (existing == "file") {
            QVERIFY(QDir().mkpath(path_ + "/share"));
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString answer = makePrivateFolder(folder);
        if (!failure.isEmpty()) {
            QCOMPARE(answer,
                     QStringLiteral("Impossible d'écrire « %1 » : %2").arg(folder, failure));
            return;
        }
        QCOMPARE(answer, QString());
        QCOMPARE(modeOf(folder), 0700u);
        // The folders above it are the user's ordinary ones.
        QCOMPARE(modeOf(path_ + "/share"), 0755u);
    }
};

QTEST_MAIN(FileModesTest)
#include "file_modes_test.moc"
