// A class, or a whole school, on one real Mosquitto on 127.0.0.1: ROOMS classes of GROUPS
// simulated groups each measuring ten times a second for SECONDS, the teachers in one process
// and the groups in another, as on separate computers. Prints whether every reading arrived,
// the latency from a group's tick to its teacher's model, the CPU of the teachers' process, of
// the groups' (with the class, then the same readings without it) and of the broker.
//   class_bench ROOMS GROUPS SECONDS
// The accounts are made beforehand, as the teacher's program makes them when groups ask in,
// so that a school's broker holds every room's at once.
#include "network/class_broker.h"
#include "network/class_code.h"
#include "network/class_host.h"
#include "network/class_model.h"
#include "tests/support/simulated_group.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace thermo;
using namespace thermo::classroom;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuSecondsOf(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14 || i == 15) {
            ticks += std::stod(field);
        }
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

void writeJson(const QString& path, const QJsonObject& object) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(object).toJson());
}

QString room(const QString& dir, int r) {
    return dir + QStringLiteral("/salle%1").arg(r);
}

// Every room's accounts, in the broker's files and in each teacher's and group's own folder.
void makeAccounts(const QString& dir, int rooms, int groups) {
    QByteArray passwords, access;
    for (int r = 0; r < rooms; ++r) {
        const ClassKeys keys = classKeys(newClassCode());
        ClassAccounts accounts{keys.classId, keys.enrolmentAccount, keys.enrolmentPassword,
                               "c" + keys.classId + "-professeur", randomSecret(24), {}};
        QJsonObject groupLines;
        for (int g = 0; g < groups; ++g) {
            const QString account = newGroupAccount(), password = randomSecret(24);
            accounts.groups.insert(account, passwordLine(account, password));
            groupLines.insert(account, QString::fromUtf8(accounts.groups.value(account)));
            writeJson(room(dir, r) + QStringLiteral("/g%1/%2.json").arg(g).arg(keys.classId),
                      {{"compte", account}, {"mot de passe", password}});
        }
        writeJson(room(dir, r) + "/professeur/classe.json",
                  {{"code", keys.code}, {"professeur", accounts.teacherPassword},
                   {"groupes", groupLines}});
        passwords += passwordFileText(accounts);
        access += accessFileText(accounts) + '\n';
    }
    QFile out(dir + "/comptes");
    out.open(QIODevice::WriteOnly);
    out.write(passwords);
    QFile acl(dir + "/acces");
    acl.open(QIODevice::WriteOnly);
    acl.write(access);
}

QString savedCode(const QString& folder) {
    QFile file(folder + "/classe.json");
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object().value("code").toString();
}

// The teachers: one model each, on the broker. Reads "ATTENDUS n" on its input, then reports
// once n readings have arrived (or after 60 s).
int teachers(const QString& dir, int port, int rooms) {
    std::vector<std::unique_ptr<ClassHost>> hosts;
    std::vector<qint64> latencies;
    long long received = 0, expected = -1;
    double cpuAtFirst = 0, cpuAtLast = 0;
    qint64 firstAt = 0, lastAt = 0;
    for (int r = 0; r < rooms; ++r) {
        const QString folder = room(dir, r) + "/professeur";
        QFile file(folder + "/classe.json");
        file.open(QIODevice::ReadOnly);
        const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
        HostSettings settings;
        settings.broker = HostSettings::Broker::School;
        settings.school = BrokerAddress{"127.0.0.1", port, false, {}};
        settings.teacherAccount = "c" + classKeys(saved.value("code").toString()).classId + "-professeur";
        settings.teacherPassword = saved.value("professeur").toString();
        hosts.push_back(std::make_unique<ClassHost>(folder));
        hosts.back()->open(settings, true);
        ClassModel* model = hosts.back()->model();
        QObject::connect(model, &ClassModel::samplesInserted, model,
                         [&, model](int g, int run, int first, int count) {
                             const qint64 now = QDateTime::currentMSecsSinceEpoch();
                             const GroupRun& r = model->group(g).runs[std::size_t(run)];
                             for (int i = first; i < first + count; ++i) {
                                 latencies.push_back(now - (r.startedAt + r.samples[std::size_t(i)].millis));
                             }
                             if (received == 0) {
                                 cpuAtFirst = cpuSeconds();
                                 firstAt = now;
                             }
                             received += count;
                             cpuAtLast = cpuSeconds();
                             lastAt = now;
                             if (received == expected) {
                                 QCoreApplication::exit(0);
                             }
                         });
    }
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (std::all_of(hosts.begin(), hosts.end(), [](auto& h) { return h->isConnected(); })) {
            ready.stop();
            std::cout << "PRET" << std::endl;
        }
    });
    ready.start(100);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string word;
        std::cin >> word >> expected;
        input.setEnabled(false);
        if (received >= expected) {
            QCoreApplication::exit(0);
        }
        QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });
    });
    QCoreApplication::exec();
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies.empty() ? -1 : latencies[std::size_t(q * double(latencies.size() - 1))];
    };
    const double seconds = double(lastAt - firstAt) / 1000;
    std::cout << "RECUS " << received << " MEDIANE " << at(0.5) << " P99 " << at(0.99)
              << " MAX " << at(1.0) << " CPU " << 100 * (cpuAtLast - cpuAtFirst) / seconds
              << std::endl;
    return 0;
}

// The groups, ticking together every 100 ms for `seconds`; with the class or without it.
int groups(const QString& dir, int port, int firstRoom, int endRoom, int count, int seconds,
           bool withClass) {
    std::vector<std::unique_ptr<test::SimulatedGroup>> all;
    for (int r = firstRoom; r < endRoom; ++r) {
        const QString code = savedCode(room(dir, r) + "/professeur");
        for (int g = 0; g < count; ++g) {
            all.push_back(std::make_unique<test::SimulatedGroup>(
                room(dir, r) + QStringLiteral("/g%1").arg(g), 50 + g));
            if (withClass) {
                all.back()->link.join("127.0.0.1:" + QString::number(port), code,
                                      QStringLiteral("Groupe %1").arg(g + 1));
            }
        }
    }
    QTimer ticks;
    double cpuAtStart = 0;
    int ticked = 0, waited = 0;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (ticked == 0) {
            const auto outside = std::find_if(all.begin(), all.end(), [](auto& g) {
                return g->link.phase() != GroupLink::Phase::Joined;
            });
            if (withClass && outside != all.end()) {
                if (++waited == 1200) {
                    std::cerr << "un groupe n'est pas entré en 120 s : "
                              << (*outside)->link.status().toStdString() << std::endl;
                    QCoreApplication::exit(1);
                }
                return;
            }
            cpuAtStart = cpuSeconds();
        }
        for (auto& group : all) {
            group->tick();
        }
        if (++ticked == seconds * 10) {
            ticks.stop();
            const double cpu = cpuSeconds() - cpuAtStart;
            long long fed = 0;
            for (auto& group : all) {
                fed += group->fed;
            }
            // The last readings leave with the next flush.
            QTimer::singleShot(2 * GroupLink::batchMaxAgeMs, [fed, cpu, seconds] {
                std::cout << "ENVOYES " << fed << " CPU " << 100 * cpu / seconds << std::endl;
                QCoreApplication::exit(0);
            });
        }
    });
    ticks.start(100);
    return QCoreApplication::exec();
}

QString lineFrom(QProcess& process, const char* word) {
    while (process.waitForReadyRead(900000)) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (line.startsWith(QLatin1String(word))) {
                return line;
            }
        }
    }
    return {};
}

int school(const QString& program, int rooms, int count, int seconds) {
    QTemporaryDir dir;
    makeAccounts(dir.path(), rooms, count);
    ClassBroker broker(dir.path(), BrokerListener{0, "127.0.0.1", {}, {}});
    bool ready = false;
    QObject::connect(&broker, &ClassBroker::ready, [&] { ready = true; });
    broker.start();
    while (!ready) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const QString port = QString::number(broker.port());
    QProcess teacher;
    teacher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    teacher.start(program, {"professeurs", dir.path(), port, QString::number(rooms)});
    if (lineFrom(teacher, "PRET").isEmpty()) {
        std::cerr << "les professeurs ne se connectent pas\n";
        return 1;
    }
    // libmosquitto waits with select(): a process keeps its clients' sockets under 1024, a
    // few rooms at a time.
    constexpr int roomsAProcess = 8;
    struct Sent {
        long long readings = 0;
        double cpu = 0;
    };
    auto runGroups = [&](int duration, bool withClass) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int first = 0; first < rooms; first += roomsAProcess) {
            QStringList arguments{"groupes", dir.path(), port, QString::number(first),
                                  QString::number(std::min(rooms, first + roomsAProcess)),
                                  QString::number(count), QString::number(duration)};
            if (!withClass) {
                arguments << "sans-classe";
            }
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            processes.back()->start(program, arguments);
        }
        Sent sent;
        for (auto& process : processes) {
            const QStringList line = lineFrom(*process, "ENVOYES").split(' ');
            sent.readings += line.value(1).toLongLong();
            sent.cpu += line.value(3).toDouble();
            process->waitForFinished();
        }
        return sent;
    };
    const double brokerBefore = cpuSecondsOf(broker.processId());
    const Sent sent = runGroups(seconds, true);
    const double brokerCpu = 100 * (cpuSecondsOf(broker.processId()) - brokerBefore) / seconds;
    teacher.write(("ATTENDUS " + QByteArray::number(sent.readings) + "\n"));
    const QStringList got = lineFrom(teacher, "RECUS").split(' ');
    teacher.waitForFinished();
    // The groups' own cost without the class is steady: a minute of it tells it.
    const Sent without = runGroups(std::min(seconds, 60), false);

    const long long expected = sent.readings;
    const long long arrived = got.value(1).toLongLong();
    const int groupsInAll = rooms * count;
    std::printf("%d salle(s) de %d groupes, %d s à 10 Hz : %lld lectures envoyées, %lld reçues, "
                "%lld perdues\n",
                rooms, count, seconds, expected, arrived, expected - arrived);
    std::printf("latence de la mesure au modèle du professeur : médiane %s ms, 99e centile %s ms, "
                "maximum %s ms\n",
                qPrintable(got.value(3)), qPrintable(got.value(5)), qPrintable(got.value(7)));
    std::printf("processeur, en %% d'un cœur : professeur(s) %.2f ; serveur %.2f (%.0f messages/s "
                "reçus) ; groupes %.2f avec la classe, %.2f sans, soit %.3f par groupe\n",
                got.value(9).toDouble(), brokerCpu,
                double(expected) / GroupLink::batchReadings / seconds, sent.cpu, without.cpu,
                (sent.cpu - without.cpu) / groupsInAll);
    return expected == arrived ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString role = args.value(1);
    if (role == "professeurs") {
        return teachers(args.value(2), args.value(3).toInt(), args.value(4).toInt());
    }
    if (role == "groupes") {
        return groups(args.value(2), args.value(3).toInt(), args.value(4).toInt(),
                      args.value(5).toInt(), args.value(6).toInt(), args.value(7).toInt(),
                      args.value(8).isEmpty());
    }
    if (args.size() != 4) {
        std::cerr << "usage : class_bench SALLES GROUPES SECONDES\n";
        return 2;
    }
    return school(app.applicationFilePath(), args.value(1).toInt(), args.value(2).toInt(),
                  args.value(3).toInt());
}
