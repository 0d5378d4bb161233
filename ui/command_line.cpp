#include "ui/command_line.h"

#include "ui/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace thermo {

namespace {

constexpr int badOptionStatus = 2;
constexpr int helpWidth = 79;

// Qt's own options, which QApplication takes from the same command line.
const char* const qtOptionsWithValue[] = {"platform",        "platformpluginpath",
                                          "platformtheme",   "plugin",
                                          "display",         "geometry",
                                          "qwindowgeometry", "qwindowicon",
                                          "qwindowtitle",    "style",
                                          "stylesheet",      "session",
                                          "qmljsdebugger",   "title",
                                          "visual"};
const char* const qtFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Affiche cette aide.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Affiche la version du programme.")};
    QCommandLineOption record{
        QStringLiteral("enregistrer"),
        QStringLiteral("Enregistre les mesures de la série en cours dans ce fichier CSV dès la "
                       "première validation des paramètres, comme « Enregistrer… » dans la "
                       "fenêtre de la courbe : chaque nouvelle mesure y est ajoutée dans la "
                       "seconde. Un fichier existant n'est jamais écrasé sans le demander."),
        QStringLiteral("FICHIER.csv")};
    QCommandLineOption port{
        QStringLiteral("port"),
        QStringLiteral("Lit les mesures sur la carte branchée à ce port série (par exemple "
                       "/dev/ttyACM0) au lieu du banc simulé ; le programme reconnaît lui-même "
                       "la carte du projet ou une carte Arduino sous StandardFirmata."),
        QStringLiteral("CHEMIN")};

    std::vector<const QCommandLineOption*> shown() const {
        return {&record, &port, &help, &version};
    }
};

QString programOf(const QStringList& arguments) {
    return arguments.isEmpty() ? QStringLiteral("thermometre")
                               : QFileInfo(arguments.first()).fileName();
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// Words of `text` in lines of at most `width` characters after an indent of `indent`.
QString wrapped(const QString& text, int indent, int width) {
    QString out;
    int column = indent;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > width) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += static_cast<int>(word.size());
    }
    return out;
}

QString helpText(const Options& options, const QString& program) {
    QString text = QStringLiteral("Utilisation : %1 [options] [FICHIER]\n\n").arg(program);
    text += wrapped(QStringLiteral("%1 fait d'un ordinateur, d'une interface d'acquisition et "
                                   "d'une thermistance CTN un thermomètre pour la classe de "
                                   "physique.")
                        .arg(QString::fromUtf8(programName)),
                    0, helpWidth);
    text += QStringLiteral("\n\n") +
            wrapped(QStringLiteral("FICHIER, une séance (.thermo) ou un tableau de mesures "
                                   "(.csv), s'ouvre sur la courbe dès le lancement."),
                    0, helpWidth);
    text += QStringLiteral("\n\nOptions :\n");
    constexpr int indent = 30;
    for (const QCommandLineOption* option : options.shown()) {
        QStringList names;
        for (const QString& name : option->names()) {
            names << dashed(name);
        }
        QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!option->valueName().isEmpty()) {
            head += QStringLiteral(" ") + option->valueName();
        }
        head = head.size() < indent ? head.leftJustified(indent)
                                    : head + QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
        text += head + wrapped(option->description(), indent, helpWidth) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') +
            wrapped(QStringLiteral("Les options de Qt (-platform, -display, -style…) sont aussi "
                                   "acceptées."),
                    0, helpWidth) +
            QLatin1Char('\n');
    return text;
}

[[noreturn]] void finish(const QString& text, std::FILE* stream, int status) {
    std::fputs(text.toUtf8().constData(), stream);
    std::exit(status);
}

QString refusalText(const QString& why, const QString& program) {
    return QStringLiteral("%1 : %2\nEssayez « %1 --help » pour la liste des options.")
        .arg(program, why);
}

// QCommandLineParser words its errors in English; the cases it refuses are told here.
QString refusal(const QCommandLineParser& parser, const QStringList& arguments,
                const Options& options) {
    if (!parser.unknownOptionNames().isEmpty()) {
        return QStringLiteral("option inconnue « %1 »")
            .arg(dashed(parser.unknownOptionNames().first()));
    }
    // Otherwise an option lacks its value, which can only happen at the end, or one was
    // given a value it does not take.
    const QString last = arguments.size() > 1 ? arguments.last() : QString();
    const QString name = last.mid(last.startsWith(QLatin1String("--")) ? 2 : 1);
    if (options.record.names().contains(name)) {
        return QStringLiteral("il manque le nom du fichier après « %1 »").arg(last);
    }
    if (options.port.names().contains(name)) {
        return QStringLiteral("il manque le chemin du port après « %1 »").arg(last);
    }
    if (std::find(std::begin(qtOptionsWithValue), std::end(qtOptionsWithValue),
                  name.toStdString()) != std::end(qtOptionsWithValue)) {
        return QStringLiteral("il manque la valeur après « %1 »").arg(last);
    }
    return QStringLiteral("une option qui ne prend pas de valeur en a reçu une");
}

} // namespace

bool windowsAreSeen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

int refuseStart(const QString& why) {
    std::fputs((why + QLatin1Char('\n')).toUtf8().constData(), stderr);
    if (windowsAreSeen()) {
        QMessageBox::critical(nullptr, QString::fromUtf8(programName),
                              QStringLiteral("Le programme ne peut pas démarrer.\n\n%1").arg(why));
    }
    return badOptionStatus;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    const Options options;
    const QString program = programOf(arguments);
    QCommandLineParser parser;
    // Qt's options have one dash ("-platform"); ours are read with one or two.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QCommandLineOption* option : options.shown()) {
        parser.addOption(*option);
    }
    for (const char* name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("valeur"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : qtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.refusal = refusalText(refusal(parser, arguments, options), program);
        return line;
    }
    if (parser.isSet(options.help)) {
        finish(helpText(options, program), stdout, 0);
    }
    if (parser.isSet(options.version)) {
        finish(QStringLiteral("%1 %2\n").arg(QString::fromUtf8(programName),
                                             QString::fromLatin1(programVersion)),
               stdout, 0);
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.refusal = refusalText(
            QStringLiteral("un seul fichier à ouvrir, pas « %1 »").arg(files[1]), program);
    }
    line.openFile = files.value(0);
    line.recordFile = parser.value(options.record);
    if (parser.isSet(options.record) && line.recordFile.isEmpty()) {
        line.refusal = refusalText(
            QStringLiteral("il manque le nom du fichier après « --enregistrer »"), program);
    }
    line.port = parser.value(options.port).trimmed();
    if (parser.isSet(options.port) && line.port.isEmpty()) {
        line.refusal =
            refusalText(QStringLiteral("il manque le chemin du port après « --port »"), program);
    }
    return line;
}

} // namespace thermo
