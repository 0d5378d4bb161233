#include "ui/classroom/classroom.h"

#include "acquisition/orphy_control.h"
#include "network/class_host.h"
#include "ui/classroom/class_window.h"
#include "ui/classroom/host_class_dialog.h"
#include "ui/classroom/join_class_dialog.h"
#include "ui/curve/curve_session.h"
#include "ui/layout/projector_zoom.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/session_record.h"

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

Classroom::Classroom(Measurement& measurement, CurveSession& curve, ProjectorZoom& zoom,
                     QObject* parent)
    : QObject(parent), measurement_(measurement), curve_(curve), zoom_(zoom),
      hostAction_(new QAction(tr("Accueillir la classe…"), this)),
      joinAction_(new QAction(tr("Rejoindre la classe…"), this)),
      sent_(measurement.record()), group_(sent_, privateFolder(QStringLiteral("groupe"))) {
    hostAction_->setObjectName(QStringLiteral("hostClassAction"));
    joinAction_->setObjectName(QStringLiteral("joinClassAction"));
    group_.setDescription([this] { return describe(); });
    connect(hostAction_, &QAction::triggered, this, [this] { show(hostDialog()); });
    connect(joinAction_, &QAction::triggered, this, [this] { show(joinDialog()); });
}

Classroom::~Classroom() {
    classWindow_.reset();
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
        hostDialog_ = std::make_unique<HostClassDialog>(host(), dialogParent_);
        hostDialog_->setZoom(zoom_.factor());
        connect(&zoom_, &ProjectorZoom::factorChanged, hostDialog_.get(), &HostClassDialog::setZoom);
        connect(hostDialog_.get(), &HostClassDialog::classWindowAsked, this,
                [this] { show(classWindow()); });
    }
    return *hostDialog_;
}

JoinClassDialog& Classroom::joinDialog() {
    if (!joinDialog_) {
        joinDialog_ = std::make_unique<JoinClassDialog>(group_, dialogParent_);
        joinDialog_->setZoom(zoom_.factor());
        connect(&zoom_, &ProjectorZoom::factorChanged, joinDialog_.get(), &JoinClassDialog::setZoom);
    }
    return *joinDialog_;
}

ClassWindow& Classroom::classWindow() {
    if (!classWindow_) {
        // The curve gets a copy: the séance's runs other than the live one never change.
        classWindow_ = std::make_unique<ClassWindow>(host(), [this](const Run& run) {
            Run copy = run;
            copy.series = std::make_shared<SessionSeries>(*run.series);
            SessionRecord& record = measurement_.record();
            record.select(record.addRun(std::move(copy)));
            curve_.showWindow();
        });
        classWindow_->setZoom(zoom_.factor());
        zoom_.addShortcutsTo(classWindow_.get());
        connect(&zoom_, &ProjectorZoom::factorChanged, classWindow_.get(), &ClassWindow::setZoom);
    }
    return *classWindow_;
}

template <typename Dialog> void Classroom::show(Dialog& dialog) {
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

classroom::GroupDescription Classroom::describe() const {
    CodeSource& source = measurement_.control().source();
    QString name = QString::fromStdString(source.name());
    if (!source.portPath().empty()) {
        name += tr(" sur %1").arg(QString::fromStdString(source.portPath()));
    }
    const CircuitParameters& parameters = measurement_.parameters();
    return {name, QString::fromStdString(parameters.r), QString::fromStdString(parameters.a),
            QString::fromStdString(parameters.b)};
}

} // namespace thermo
