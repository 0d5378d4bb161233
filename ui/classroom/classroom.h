#pragma once

#include "network/group_link.h"
#include "network/sent_batches.h"

#include <QObject>
#include <memory>

class QAction;

namespace thermo {

class Form1;
class HostClassDialog;
class JoinClassDialog;
class ProjectorZoom;
namespace classroom {
class ClassHost;
}

// The class on the network, from the main window: "Accueillir la classe" for the teacher,
// "Rejoindre la classe" for a group, whose link takes the readings it is connected to. Nothing
// of it runs, and no broker is needed, until one of them is used.
class Classroom : public QObject {
    Q_OBJECT
public:
    Classroom(Form1& mainWindow, ProjectorZoom& zoom, QObject* parent = nullptr);
    ~Classroom() override;

    QAction* hostAction() const noexcept { return hostAction_; }
    QAction* joinAction() const noexcept { return joinAction_; }
    // The group's side, fed with the measurement's readings.
    classroom::GroupLink& group() noexcept { return group_; }
    classroom::ClassHost& host();

    HostClassDialog& hostDialog();
    JoinClassDialog& joinDialog();

private:
    classroom::GroupDescription describe() const;
    template <typename Dialog> void show(Dialog& dialog);

    Form1& mainWindow_;
    ProjectorZoom& zoom_;
    QAction* hostAction_;
    QAction* joinAction_;
    classroom::SentBatchesInMemory sent_;
    classroom::GroupLink group_;
    std::unique_ptr<classroom::ClassHost> host_;
    std::unique_ptr<HostClassDialog> hostDialog_;
    std::unique_ptr<JoinClassDialog> joinDialog_;
};

} // namespace thermo
