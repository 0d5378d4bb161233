#pragma once

#include <QString>
#include <QWidget>

namespace thermo {

// A notice that only a screen reader sees: each say() shows it anew with the words as its name,
// and Orca speaks a notification as it shows, once, wherever the focus is.
class SpokenNotice : public QWidget {
    Q_OBJECT
public:
    SpokenNotice(const QString& objectName, QWidget& parent);

    void say(const QString& words);
    // The last words said, empty before the first.
    QString said() const { return accessibleName(); }
};

} // namespace thermo
