#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace thermo::classroom {

// The accounts of one class on its broker, and the files Mosquitto is given for them.
struct ClassAccounts {
    QString classId;
    QString enrolmentAccount;
    QString enrolmentPassword;
    QString teacherAccount;
    QString teacherPassword;
    // A group's account and the line of the password file for it: the groups' passwords are
    // theirs, the teacher keeps only their hashes.
    QMap<QString, QByteArray> groups;
};

// "account:$7$101$salt$hash", Mosquitto's password-file line: PBKDF2 with SHA-512, 101 rounds,
// a 12-byte random salt.
QByteArray passwordLine(const QString& account, const QString& password);
QByteArray passwordLine(const QString& account, const QString& password, const QByteArray& salt);

QByteArray passwordFileText(const ClassAccounts& accounts);

// Who may do what: the teacher reads the whole class and writes only requests; each group
// writes its batches and state and reads the requests made to it, nothing of the others';
// the enrolment account may only ask into the class. Nobody else anything.
QByteArray accessFileText(const ClassAccounts& accounts);

struct BrokerListener {
    int port = 0;
    QString bindAddress; // empty: every interface
    // For a TLS listener: the broker's certificate and key. Empty: plain MQTT.
    QString certificateFile;
    QString keyFile;
};

// mosquitto.conf for a broker whose password file, access file and persistence are in
// `folder`. A message is at most `maxPacketBytes`.
QByteArray brokerConfigText(const QString& folder, const BrokerListener& listener,
                            int maxPacketBytes);

} // namespace thermo::classroom
