#include "ui/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace thermo {

namespace {

QCommandLineOption helpOption() {
    return {{QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Affiche cette aide et s'arrête.")};
}

QCommandLineOption portOption() {
    return {QStringLiteral("port"),
            QStringLiteral("Lit les mesures sur la carte branchée à ce port série (par exemple "
                           "/dev/ttyACM0) au lieu du banc simulé ; le programme reconnaît "
                           "lui-même la carte du projet ou une carte Arduino sous "
                           "StandardFirmata."),
            QStringLiteral("CHEMIN")};
}

// The words of `text` in lines of 72 characters at most, each after `indent`.
QString wrapped(const QString& text, const QString& indent) {
    QString lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > 72) {
            lines += indent + line + '\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return lines + indent + line + '\n';
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = helpOption();
    const QCommandLineOption port = portOption();
    parser.addOption(help);
    parser.addOption(port);
    CommandLine line;
    // Qt's texts are in English: each failure is said here in French.
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        line.error = unknown.isEmpty()
                         ? QStringLiteral("l'option --port demande le chemin d'un port série")
                         : QStringLiteral("option inconnue : %1").arg(unknown.join(", "));
    } else if (!parser.positionalArguments().isEmpty()) {
        line.error =
            QStringLiteral("argument inattendu : %1").arg(parser.positionalArguments().join(' '));
    } else if (parser.isSet(port) && parser.value(port).trimmed().isEmpty()) {
        line.error = QStringLiteral("l'option --port demande le chemin d'un port série");
    }
    line.help = parser.isSet(help);
    line.port = parser.value(port).trimmed();
    return line;
}

QString commandLineHelp() {
    QString text = QStringLiteral("Utilisation : thermometre [options]\n"
                                  "Thermomètre à thermistance pour la classe de physique.\n\n"
                                  "Options :\n");
    for (const QCommandLineOption& option : {helpOption(), portOption()}) {
        QStringList names;
        for (const QString& name : option.names()) {
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        QString shown = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty()) {
            shown += QStringLiteral(" ") + option.valueName();
        }
        text += QStringLiteral("  ") + shown + '\n' +
                wrapped(option.description(), QStringLiteral("      "));
    }
    text += QStringLiteral("\nLes options de Qt (-platform, -display…) sont aussi acceptées.\n");
    return text;
}

} // namespace thermo
