#include "ui/acquisition/setting_box.h"

#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

namespace thermo {

SettingBox::SettingBox(QWidget* parent) : QDoubleSpinBox(parent), pause_(new QTimer(this)) {
    // A value is taken when typing is finished, not at every keystroke: typing "4.85" must
    // not pass through a supply of 4 V.
    setKeyboardTracking(false);
    pause_->setSingleShot(true);
    pause_->setInterval(pauseMilliseconds);
    connect(lineEdit(), &QLineEdit::textEdited, pause_, qOverload<>(&QTimer::start));
    connect(pause_, &QTimer::timeout, this, &SettingBox::typingPaused);
}

std::optional<double> SettingBox::number(const QString& text) const {
    QString digits = text.trimmed();
    const QString unit = suffix().trimmed();
    if (!unit.isEmpty() && digits.endsWith(unit)) {
        digits.chop(unit.size());
    }
    digits = digits.trimmed();
    digits.replace(QChar(0x2212), QLatin1Char('-'));
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(digits, &ok);
    return ok ? std::optional(value) : std::nullopt;
}

QValidator::State SettingBox::validate(QString& text, int&) const {
    if (number(text)) {
        return QValidator::Acceptable;
    }
    // A number on its way: a sign, digits, one separator, the unit.
    static const QRegularExpression onItsWay(QStringLiteral("^\\s*[-+\u2212]?\\d*[.,]?\\d*\\s*$"));
    QString digits = text;
    const QString unit = suffix().trimmed();
    if (!unit.isEmpty() && digits.trimmed().endsWith(unit)) {
        digits = digits.trimmed().chopped(unit.size());
    }
    return onItsWay.match(digits).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

double SettingBox::valueFromText(const QString& text) const {
    return number(text).value_or(value());
}

void SettingBox::typingPaused() {
    QString text = lineEdit()->text();
    int position = lineEdit()->cursorPosition();
    if (validate(text, position) == QValidator::Acceptable) {
        interpretText();
    }
}

} // namespace thermo
