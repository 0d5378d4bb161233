#include "network/broker_files.h"

#include <QDir>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <pwd.h>
#include <unistd.h>

namespace thermo::classroom {

namespace {

QByteArray pbkdf2Sha512(const QByteArray& password, const QByteArray& salt, int rounds) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha512, password);
    mac.addData(salt);
    mac.addData(QByteArray("\0\0\0\1", 4)); // the first and only block: 64 bytes are wanted
    QByteArray u = mac.result();
    QByteArray key = u;
    for (int i = 1; i < rounds; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (int j = 0; j < key.size(); ++j) {
            key[j] = char(key[j] ^ u[j]);
        }
    }
    return key;
}

// A folder's path as Mosquitto's configuration reads it: to the end of the line, so no
// newline may be in it.
QByteArray configPath(const QString& path) {
    QString clean = QDir::cleanPath(path);
    clean.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return clean.toUtf8();
}

} // namespace

QByteArray passwordLine(const QString& account, const QString& password, const QByteArray& salt) {
    constexpr int rounds = 101;
    return account.toUtf8() + ":$7$" + QByteArray::number(rounds) + '$' + salt.toBase64() + '$' +
           pbkdf2Sha512(password.toUtf8(), salt, rounds).toBase64();
}

QByteArray passwordLine(const QString& account, const QString& password) {
    QByteArray salt(12, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), 3);
    return passwordLine(account, password, salt);
}

QByteArray passwordFileText(const ClassAccounts& accounts) {
    QByteArray text = passwordLine(accounts.teacherAccount, accounts.teacherPassword) + '\n' +
                      passwordLine(accounts.enrolmentAccount, accounts.enrolmentPassword) + '\n';
    for (const QByteArray& line : accounts.groups) {
        text += line + '\n';
    }
    return text;
}

QByteArray accessFileText(const ClassAccounts& accounts) {
    const QByteArray root = "thermometre/" + accounts.classId.toUtf8();
    QByteArray text = "# Le professeur lit toute la classe et n'écrit que ses demandes.\n"
                      "user " + accounts.teacherAccount.toUtf8() + "\n"
                      "topic read " + root + "/#\n"
                      "topic write " + root + "/+/demandes\n\n"
                      "# Le compte d'accueil ne peut que demander à entrer.\n"
                      "user " + accounts.enrolmentAccount.toUtf8() + "\n"
                      "topic write " + root + "/accueil\n";
    for (auto it = accounts.groups.keyBegin(); it != accounts.groups.keyEnd(); ++it) {
        const QByteArray group = root + '/' + it->toUtf8();
        text += "\nuser " + it->toUtf8() + "\ntopic write " + group + "/lots\ntopic write " +
                group + "/etat\ntopic read " + group + "/demandes\n";
    }
    return text;
}

QByteArray brokerConfigText(const QString& folder, const BrokerListener& listener,
                            int maxPacketBytes) {
    const QByteArray dir = configPath(folder);
    QByteArray text = "# Serveur de la classe, écrit par Thermomètre.\n"
                      "per_listener_settings false\n"
                      "allow_anonymous false\n"
                      "password_file " + dir + "/comptes\n"
                      "acl_file " + dir + "/acces\n"
                      "persistence true\n"
                      "persistence_location " + dir + "/persistance/\n"
                      "autosave_interval 5\n"
                      "max_packet_size " + QByteArray::number(maxPacketBytes) + "\n"
                      "max_queued_messages 20000\n"
                      // Errors and warnings only, not a line a connection: a school's broker
                      // sees hundreds.
                      "log_dest file " + dir + "/mosquitto.log\n"
                      "log_type error\nlog_type warning\n";
    // Started by root, Mosquitto would become the user "mosquitto", who may not read the
    // class's private files: it stays whoever started it.
    if (const passwd* user = ::getpwuid(::geteuid())) {
        text += "user " + QByteArray(user->pw_name) + '\n';
    }
    text += "listener " + QByteArray::number(listener.port);
    if (!listener.bindAddress.isEmpty()) {
        text += ' ' + listener.bindAddress.toUtf8();
    }
    text += '\n';
    if (!listener.certificateFile.isEmpty()) {
        text += "certfile " + configPath(listener.certificateFile) + "\nkeyfile " +
                configPath(listener.keyFile) + '\n';
    }
    return text;
}

} // namespace thermo::classroom
