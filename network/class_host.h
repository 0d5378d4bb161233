#pragma once

#include "network/broker_address.h"
#include "network/broker_files.h"
#include "network/class_code.h"

#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace thermo::classroom {

class ClassBroker;
class ClassModel;
class MqttLink;

struct HostSettings {
    enum class Broker { Own, School };
    Broker broker = Broker::Own;
    // The teacher's own broker: its port (0: any free one) and the address it listens on
    // (empty: every network of the computer).
    int port = BrokerAddress::plainPort;
    QString bindAddress;
    // A school's broker: its address (TLS and the authority's certificate) and the teacher's
    // account there.
    BrokerAddress school;
    QString teacherAccount;
    QString teacherPassword;
    int maxGroups = 40;
};

// The teacher's side of the class ("Accueillir la classe"): the class code and accounts, the
// teacher's own broker or a school's, the teacher's connection, the groups let in as they ask,
// and the class's model, with the requests for the batches it misses once a second.
// Everything secret is kept in `folder`, made private.
class ClassHost : public QObject {
    Q_OBJECT
public:
    explicit ClassHost(QString folder, QObject* parent = nullptr);
    ~ClassHost() override;

    // Opens the class: a new code, or the one of the class last opened from this folder when
    // `resume` and there is one. The failure in French, or empty; the rest is told by
    // statusChanged.
    QString open(const HostSettings& settings, bool resume = false);
    void close();
    bool isOpen() const noexcept { return model_ != nullptr; }

    // The code to write on the board ("K7P-Q4X") and where the groups reach the broker.
    QString displayedCode() const;
    QString addressText() const;
    // The class last opened from the folder, if any.
    QString savedCode() const;

    ClassModel* model() const noexcept { return model_.get(); }
    ClassBroker* broker() const noexcept { return broker_.get(); }
    bool isConnected() const;
    QString status() const { return status_; }
    int groupAccounts() const noexcept { return int(accounts_.groups.size()); }

signals:
    void opened();
    void statusChanged(const QString& status);

private:
    QString writeFiles();
    QString saveClass() const;
    bool loadClass();
    void connectTeacher(const BrokerAddress& where);
    void receive(const QString& topic, const QByteArray& payload);
    void welcome(const QByteArray& payload);
    void requestMissing();
    void setStatus(const QString& status);

    QString folder_;
    HostSettings settings_;
    ClassKeys keys_;
    ClassAccounts accounts_;
    BrokerAddress address_;
    std::unique_ptr<ClassModel> model_;
    std::unique_ptr<ClassBroker> broker_;
    std::unique_ptr<MqttLink> link_;
    QTimer* backfill_;
    QString status_;
};

// The computer's addresses on its networks, the first being the one to show: IPv4, not the
// loopback.
QStringList networkAddresses();

} // namespace thermo::classroom
