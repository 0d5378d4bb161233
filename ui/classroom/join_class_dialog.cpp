#include "ui/classroom/join_class_dialog.h"

#include "network/group_link.h"
#include "ui/layout/scaled_layout.h"
#include "ui/accessibility/spoken_notice.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo {

using classroom::GroupLink;

JoinClassDialog::JoinClassDialog(GroupLink& group, QWidget* parent)
    : QDialog(parent), group_(group), baseFont_(font()), addressField_(new QLineEdit(this)),
      codeField_(new QLineEdit(this)), nameField_(new QLineEdit(tr("Groupe 1"), this)),
      joinButton_(new QPushButton(tr("Rejoindre"), this)),
      leaveButton_(new QPushButton(tr("Quitter la classe"), this)),
      statusLabel_(new QLabel(tr("Hors de la classe."), this)),
      notice_(new SpokenNotice(QStringLiteral("joinNotice"), *this)) {
    addressField_->setObjectName(QStringLiteral("addressField"));
    codeField_->setObjectName(QStringLiteral("codeField"));
    nameField_->setObjectName(QStringLiteral("nameField"));
    joinButton_->setObjectName(QStringLiteral("joinButton"));
    leaveButton_->setObjectName(QStringLiteral("leaveButton"));
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    setWindowTitle(tr("Rejoindre la classe"));
    addressField_->setPlaceholderText(tr("par exemple 192.168.1.20"));
    codeField_->setPlaceholderText(tr("par exemple K7P-Q4X"));
    nameField_->setMaxLength(40);
    statusLabel_->setWordWrap(true);
    statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    statusLabel_->setAccessibleName(tr("État de la connexion"));

    auto* form = new QFormLayout;
    form->addRow(tr("Adresse du professeur :"), addressField_);
    form->addRow(tr("Code de la classe :"), codeField_);
    form->addRow(tr("Nom du groupe :"), nameField_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(joinButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(leaveButton_, QDialogButtonBox::DestructiveRole);
    buttons->addButton(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Recopiez l'adresse et le code écrits au tableau."), this));
    layout->addLayout(form);
    layout->addWidget(statusLabel_, 1);
    layout->addWidget(buttons);

    joinButton_->setDefault(true);
    connect(joinButton_, &QPushButton::clicked, this, &JoinClassDialog::join);
    connect(leaveButton_, &QPushButton::clicked, &group_, &GroupLink::leave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(&group_, &GroupLink::statusChanged, this, &JoinClassDialog::showStatus);
    connect(&group_, &GroupLink::phaseChanged, this, &JoinClassDialog::showPhase);
    showPhase();
}

void JoinClassDialog::join() {
    const QString failure = group_.join(addressField_->text(), codeField_->text(), nameField_->text());
    if (!failure.isEmpty()) {
        showStatus(failure);
    }
}

void JoinClassDialog::showPhase() {
    const bool inside = group_.phase() != GroupLink::Phase::Outside &&
                        group_.phase() != GroupLink::Phase::Failed;
    for (QWidget* field : {static_cast<QWidget*>(addressField_), static_cast<QWidget*>(codeField_),
                           static_cast<QWidget*>(nameField_), static_cast<QWidget*>(joinButton_)}) {
        field->setEnabled(!inside);
    }
    leaveButton_->setEnabled(inside);
}

void JoinClassDialog::showStatus(const QString& status) {
    if (status != statusLabel_->text()) {
        statusLabel_->setText(status);
        notice_->say(status);
    }
}

void JoinClassDialog::setZoom(double zoom) {
    setFont(zoomedFont(baseFont_, zoom));
    // Room for a sentence on a line or two, not a word a line.
    statusLabel_->setMinimumWidth(QFontMetrics(font()).averageCharWidth() * 50);
    adjustSize();
}

} // namespace thermo
