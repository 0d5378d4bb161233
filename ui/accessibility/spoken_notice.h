#pragma once

#include <QString>
#include <QWidget>

namespace thermo {

// Words a window says once to a screen reader through the program's announcer (announce()),
// wherever the focus is, and remembers. The widget itself is never shown.
class SpokenNotice : public QWidget {
    Q_OBJECT
public:
    SpokenNotice(const QString& objectName, QWidget& parent);

    void say(const QString& words);
    // The last words said, empty before the first.
    QString said() const { return said_; }

private:
    QString said_;
};

} // namespace thermo
