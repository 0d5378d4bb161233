#include "ui/classroom/classroom.h"

#include "acquisition/orphy_control.h"
#include "network/class_host.h"
#include "ui/classroom/host_class_dialog.h"
#include "ui/classroom/join_class_dialog.h"
#include "ui/form1.h"
#include "ui/projector_zoom.h"

#include <QAction>
#include <QStandardPaths>

namespace thermo {

namespace {

// A folder of the program's own, made private by what first writes there: nothing is made
// before the class is used.
QString privateFolder(const QString& name) {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + name;
}

} // namespace

Classroom::Classroom(Form1& mainWindow, ProjectorZoom& zoom, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow), zoom_(zoom),
      hostAction_(new QAction(tr("Accueillir la classe…"), this)),
      joinAction_(new QAction(tr("Rejoindre la classe…"), this)),
      group_(sent_, privateFolder(QStringLiteral("groupe"))) {
    hostAction_->setObjectName(QStringLiteral("hostClassAction"));
    joinAction_->setObjectName(QStringLiteral("joinClassAction"));
    group_.setDescription([this] { return describe(); });
    connect(hostAction_, &QAction::triggered, this, [this] { show(hostDialog()); });
    connect(joinAction_, &QAction::triggered, this, [this] { show(joinDialog()); });
}

Classroom::~Classroom() {
    hostDialog_.reset();
    joinDialog_.reset();
}

classroom::ClassHost& Classroom::host() {
    if (!host_) {
        host_ = std::make_unique<classroom::ClassHost>(privateFolder(QStringLiteral("classe")));
    }
    return *host_;
}

HostClassDialog& Classroom::hostDialog() {
    if (!hostDialog_) {
        hostDialog_ = std::make_unique<HostClassDialog>(host(), &mainWindow_);
        hostDialog_->setZoom(zoom_.factor());
        connect(&zoom_, &ProjectorZoom::factorChanged, hostDialog_.get(), &HostClassDialog::setZoom);
    }
    return *hostDialog_;
}

JoinClassDialog& Classroom::joinDialog() {
    if (!joinDialog_) {
        joinDialog_ = std::make_unique<JoinClassDialog>(group_, &mainWindow_);
        joinDialog_->setZoom(zoom_.factor());
        connect(&zoom_, &ProjectorZoom::factorChanged, joinDialog_.get(), &JoinClassDialog::setZoom);
    }
    return *joinDialog_;
}

template <typename Dialog> void Classroom::show(Dialog& dialog) {
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

classroom::GroupDescription Classroom::describe() const {
    CodeSource& source = mainWindow_.acquisitionControl().source();
    QString name = QString::fromStdString(source.name());
    if (!source.portPath().empty()) {
        name += tr(" sur %1").arg(QString::fromStdString(source.portPath()));
    }
    return {name, QString::fromStdString(mainWindow_.text(Field::Text6)),
            QString::fromStdString(mainWindow_.text(Field::Text9)),
            QString::fromStdString(mainWindow_.text(Field::Text10))};
}

} // namespace thermo
