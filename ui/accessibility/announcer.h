#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace thermo {

// Says `text` once to a screen reader, wherever the keyboard focus is: a fault and its end, a
// calibration's result or refusal, a saved file, a model's result, a new zoom. Any window
// calls it, giving one of its widgets as `from`.
//
// The words are shown as a notification, invisible, in the window that has the keyboard focus
// (the window of `from` while none of the program's windows has it): Orca speaks a
// notification as it shows, once, wherever the focus is in that window; a notification in a
// hidden window would never show. (Qt 6.4 has no announcement event, and tells a change of
// name or description to Orca 43 in a form it cannot say: a notice is what Orca says.)
void announce(QWidget& from, const QString& text);

// Every announcement, as it is made: for what else tells the user (a braille display's
// message, a journal) and for the windows' tests.
class Announcements : public QObject {
    Q_OBJECT
public:
    static Announcements& instance();

signals:
    void announced(const QString& text);

private:
    Announcements() = default;
};

} // namespace thermo
