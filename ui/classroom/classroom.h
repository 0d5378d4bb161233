#pragma once

#include "network/group_link.h"
#include "ui/classroom/recorded_batches.h"

#include <QObject>
#include <memory>

class QAction;
class QWidget;

namespace thermo {

class ClassWindow;
class CurveSession;
class Measurement;
class HostClassDialog;
class JoinClassDialog;
class ProjectorZoom;
namespace classroom {
class ClassHost;
}

// The class on the network: "Accueillir la classe" for the teacher, "Rejoindre la classe" for a
// group, whose link is one more consumer of the measurement's readings. The actions go in the
// main window's menu; nothing of it runs, and no broker is needed, until one of them is used.
class Classroom : public QObject {
    Q_OBJECT
public:
    // A group's run opened from the class goes into `curve`'s séance, the measurement's record.
    Classroom(Measurement& measurement, CurveSession& curve, ProjectorZoom& zoom,
              QObject* parent = nullptr);
    ~Classroom() override;

    QAction* hostAction() const noexcept { return hostAction_; }
    QAction* joinAction() const noexcept { return joinAction_; }
    // The group's side, fed with the measurement's readings.
    classroom::GroupLink& group() noexcept { return group_; }
    const RecordedBatches& sentBatches() const noexcept { return sent_; }
    classroom::ClassHost& host();

    // The window the dialogs stand over: the main window once it exists.
    void setDialogParent(QWidget* parent) noexcept { dialogParent_ = parent; }

    HostClassDialog& hostDialog();
    JoinClassDialog& joinDialog();
    // "La classe": every group's run on one curve; made on first use.
    ClassWindow& classWindow();

private:
    classroom::GroupDescription describe() const;
    template <typename Dialog> void show(Dialog& dialog);

    Measurement& measurement_;
    CurveSession& curve_;
    QWidget* dialogParent_ = nullptr;
    ProjectorZoom& zoom_;
    QAction* hostAction_;
    QAction* joinAction_;
    RecordedBatches sent_; // the batches answered again from the séance's record
    classroom::GroupLink group_;
    std::unique_ptr<classroom::ClassHost> host_;
    std::unique_ptr<HostClassDialog> hostDialog_;
    std::unique_ptr<JoinClassDialog> joinDialog_;
    std::unique_ptr<ClassWindow> classWindow_;
};

} // namespace thermo
