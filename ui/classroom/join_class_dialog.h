#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace thermo {

class SpokenNotice;
namespace classroom {
class GroupLink;
}

// "Rejoindre la classe": what the students type from the board (the address and the class
// code) and their group's name, then how it goes, in words. The group's measurement goes on
// whatever the network does.
class JoinClassDialog : public QDialog {
    Q_OBJECT
public:
    explicit JoinClassDialog(classroom::GroupLink& group, QWidget* parent = nullptr);

    void setZoom(double zoom);

private:
    void join();
    void showPhase();
    void showStatus(const QString& status);

    classroom::GroupLink& group_;
    QFont baseFont_;
    QLineEdit* addressField_;
    QLineEdit* codeField_;
    QLineEdit* nameField_;
    QPushButton* joinButton_;
    QPushButton* leaveButton_;
    QLabel* statusLabel_;
    SpokenNotice* notice_;
};

} // namespace thermo
