#include "ui/classroom/host_class_dialog.h"

#include "network/class_host.h"
#include "network/class_model.h"
#include "ui/layout/scaled_layout.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace thermo {

using namespace classroom;

namespace {

constexpr double boardScale = 2.5; // the address and the code, read from the back of the room

} // namespace

HostClassDialog::HostClassDialog(ClassHost& host, QWidget* parent)
    : QDialog(parent), host_(host), baseFont_(font()),
      ownBrokerButton_(new QRadioButton(tr("Sur cet ordinateur"), this)),
      schoolBrokerButton_(new QRadioButton(tr("Serveur de l'établissement"), this)),
      portField_(new QSpinBox(this)), schoolAddressField_(new QLineEdit(this)),
      certificateField_(new QLineEdit(this)),
      certificateButton_(new QPushButton(tr("Parcourir…"), this)),
      accountField_(new QLineEdit(this)), passwordField_(new QLineEdit(this)),
      schoolFields_(new QWidget(this)),
      openButton_(new QPushButton(tr("Ouvrir une nouvelle classe"), this)),
      resumeButton_(new QPushButton(this)),
      closeClassButton_(new QPushButton(tr("Fermer la classe"), this)),
      classButton_(new QPushButton(tr("La classe…"), this)),
      addressLabel_(new QLabel(this)), codeLabel_(new QLabel(this)), statusLabel_(new QLabel(this)),
      groupsList_(new QListWidget(this)), refresh_(new QTimer(this)) {
    ownBrokerButton_->setObjectName(QStringLiteral("ownBrokerButton"));
    schoolBrokerButton_->setObjectName(QStringLiteral("schoolBrokerButton"));
    portField_->setObjectName(QStringLiteral("portField"));
    schoolAddressField_->setObjectName(QStringLiteral("schoolAddressField"));
    certificateField_->setObjectName(QStringLiteral("certificateField"));
    certificateButton_->setObjectName(QStringLiteral("certificateButton"));
    accountField_->setObjectName(QStringLiteral("accountField"));
    passwordField_->setObjectName(QStringLiteral("passwordField"));
    openButton_->setObjectName(QStringLiteral("openButton"));
    resumeButton_->setObjectName(QStringLiteral("resumeButton"));
    closeClassButton_->setObjectName(QStringLiteral("closeClassButton"));
    classButton_->setObjectName(QStringLiteral("classButton"));
    addressLabel_->setObjectName(QStringLiteral("addressLabel"));
    codeLabel_->setObjectName(QStringLiteral("codeLabel"));
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    groupsList_->setObjectName(QStringLiteral("groupsList"));
    setWindowTitle(tr("Accueillir la classe"));
    ownBrokerButton_->setChecked(true);
    portField_->setRange(1, 65535);
    portField_->setValue(BrokerAddress::plainPort);
    schoolAddressField_->setPlaceholderText(tr("par exemple mqtts://mqtt.lycee.fr"));
    certificateField_->setPlaceholderText(tr("certificats du système"));
    passwordField_->setEchoMode(QLineEdit::Password);
    statusLabel_->setWordWrap(true);
    statusLabel_->setAccessibleName(tr("État de la classe"));
    groupsList_->setAccessibleName(tr("Groupes de la classe"));
    for (QLabel* board : {addressLabel_, codeLabel_}) {
        board->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        board->setAlignment(Qt::AlignCenter);
    }

    auto* where = new QGroupBox(tr("Serveur de la classe"), this);
    auto* whereLayout = new QFormLayout(where);
    whereLayout->addRow(ownBrokerButton_);
    whereLayout->addRow(tr("Port :"), portField_);
    whereLayout->addRow(schoolBrokerButton_);
    auto* school = new QFormLayout(schoolFields_);
    school->setContentsMargins(0, 0, 0, 0);
    school->addRow(tr("Adresse du serveur :"), schoolAddressField_);
    auto* certificate = new QHBoxLayout;
    certificate->addWidget(certificateField_, 1);
    certificate->addWidget(certificateButton_);
    school->addRow(tr("Certificat de l'autorité :"), certificate);
    school->addRow(tr("Compte du professeur :"), accountField_);
    school->addRow(tr("Mot de passe :"), passwordField_);
    whereLayout->addRow(schoolFields_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(openButton_, QDialogButtonBox::ActionRole);
    buttons->addButton(resumeButton_, QDialogButtonBox::ActionRole);
    buttons->addButton(classButton_, QDialogButtonBox::ActionRole);
    buttons->addButton(closeClassButton_, QDialogButtonBox::DestructiveRole);
    buttons->addButton(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(addressLabel_);
    layout->addWidget(codeLabel_);
    layout->addWidget(statusLabel_);
    layout->addWidget(groupsList_, 1);
    layout->addWidget(buttons);

    connect(ownBrokerButton_, &QRadioButton::toggled, this, &HostClassDialog::refresh);
    connect(certificateButton_, &QPushButton::clicked, this, &HostClassDialog::chooseCertificate);
    connect(openButton_, &QPushButton::clicked, this, [this] { openClass(false); });
    connect(resumeButton_, &QPushButton::clicked, this, [this] { openClass(true); });
    connect(closeClassButton_, &QPushButton::clicked, this, &HostClassDialog::closeClass);
    connect(classButton_, &QPushButton::clicked, this, &HostClassDialog::classWindowAsked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(&host_, &ClassHost::statusChanged, this, &HostClassDialog::refresh);
    connect(refresh_, &QTimer::timeout, this, &HostClassDialog::refresh);
    refresh_->start(1000);
    refresh();
}

HostSettings HostClassDialog::settings() const {
    HostSettings settings;
    settings.port = portField_->value();
    if (schoolBrokerButton_->isChecked()) {
        settings.broker = HostSettings::Broker::School;
        settings.school = BrokerAddress::parse(schoolAddressField_->text()).value_or(BrokerAddress{});
        settings.school.caFile = certificateField_->text().trimmed();
        settings.teacherAccount = accountField_->text().trimmed();
        settings.teacherPassword = passwordField_->text();
    }
    return settings;
}

void HostClassDialog::openClass(bool resume) {
    const HostSettings chosen = settings();
    if (chosen.broker == HostSettings::Broker::School && chosen.school.host.isEmpty()) {
        statusLabel_->setText(tr("L'adresse « %1 » n'est pas celle d'un serveur.")
                                  .arg(schoolAddressField_->text()));
        return;
    }
    const QString failure = host_.open(chosen, resume);
    refresh();
    if (!failure.isEmpty()) {
        statusLabel_->setText(failure);
    }
}

void HostClassDialog::closeClass() {
    host_.close();
    refresh();
}

void HostClassDialog::chooseCertificate() {
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Certificat de l'autorité du serveur"), QString(),
        tr("Certificats (*.crt *.pem);;Tous les fichiers (*)"));
    if (!file.isEmpty()) {
        certificateField_->setText(file);
    }
}

void HostClassDialog::refresh() {
    const bool open = host_.isOpen();
    const QString saved = host_.savedCode();
    resumeButton_->setText(tr("Rouvrir la classe %1").arg(saved));
    resumeButton_->setVisible(!open && !saved.isEmpty());
    openButton_->setEnabled(!open);
    closeClassButton_->setEnabled(open);
    classButton_->setEnabled(open);
    for (QWidget* choice : {static_cast<QWidget*>(ownBrokerButton_),
                            static_cast<QWidget*>(schoolBrokerButton_)}) {
        choice->setEnabled(!open);
    }
    portField_->setEnabled(!open && ownBrokerButton_->isChecked());
    schoolFields_->setEnabled(!open && schoolBrokerButton_->isChecked());
    addressLabel_->setVisible(open);
    codeLabel_->setVisible(open);
    addressLabel_->setText(tr("Adresse : %1").arg(host_.addressText()));
    codeLabel_->setText(tr("Code de la classe : %1").arg(host_.displayedCode()));
    statusLabel_->setText(open ? host_.status() : tr("La classe est fermée."));

    // Rows are written over, not made again: a screen reader keeps its place in the list.
    const ClassModel* model = host_.model();
    const int count = model != nullptr ? model->groupCount() : 0;
    while (groupsList_->count() > count) {
        delete groupsList_->takeItem(groupsList_->count() - 1);
    }
    for (int i = 0; i < count; ++i) {
        if (i == groupsList_->count()) {
            groupsList_->addItem(QString());
        }
        const ClassGroup& group = model->group(i);
        groupsList_->item(i)->setText(
            tr("%1 — %2 — %3 lots reçus, %4 manquants")
                .arg(group.name.isEmpty() ? group.account : group.name,
                     model->statusText(i, ClassModel::Clock::now()))
                .arg(group.batchesReceived)
                .arg(model->missingBatches(i)));
    }
}

void HostClassDialog::setZoom(double zoom) {
    zoom_ = zoom;
    setFont(zoomedFont(baseFont_, zoom));
    QFont board = zoomedFont(baseFont_, zoom * boardScale);
    board.setBold(true);
    addressLabel_->setFont(board);
    codeLabel_->setFont(board);
    adjustSize();
}

} // namespace thermo
