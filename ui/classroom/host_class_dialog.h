#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace thermo {

namespace classroom {
class ClassHost;
struct HostSettings;
} // namespace classroom

// "Accueillir la classe": where the class's broker is (this computer, or the school's), then
// in large type what to write on the board, the address and the class code, and the groups
// as they come in, each with its state and what has reached the teacher.
class HostClassDialog : public QDialog {
    Q_OBJECT
public:
    explicit HostClassDialog(classroom::ClassHost& host, QWidget* parent = nullptr);

    void setZoom(double zoom);

signals:
    // "La classe…": the window with every group's run.
    void classWindowAsked();

private:
    classroom::HostSettings settings() const;
    void openClass(bool resume);
    void closeClass();
    void chooseCertificate();
    void refresh();

    classroom::ClassHost& host_;
    QFont baseFont_;
    double zoom_ = 1;
    QRadioButton* ownBrokerButton_;
    QRadioButton* schoolBrokerButton_;
    QSpinBox* portField_;
    QLineEdit* schoolAddressField_;
    QLineEdit* certificateField_;
    QPushButton* certificateButton_;
    QLineEdit* accountField_;
    QLineEdit* passwordField_;
    QWidget* schoolFields_;
    QPushButton* openButton_;
    QPushButton* resumeButton_;
    QPushButton* closeClassButton_;
    QPushButton* classButton_;
    QLabel* addressLabel_;
    QLabel* codeLabel_;
    QLabel* statusLabel_;
    QListWidget* groupsList_;
    QTimer* refresh_;
};

} // namespace thermo
