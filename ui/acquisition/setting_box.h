#pragma once

#include <QDoubleSpinBox>
#include <optional>

class QTimer;

namespace thermo {

// A number setting of a source, typed or stepped. What is typed is never cut by the range as
// it goes ("-20" passes through "-2"): the whole text is read once typing pauses, on Enter
// and when the box loses focus, and a value beyond the range is taken at its nearest end.
// Either decimal separator is understood.
class SettingBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    static constexpr int pauseMilliseconds = 700;

    explicit SettingBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& position) const override;
    double valueFromText(const QString& text) const override;

private:
    // The number in a text, suffix or not; nothing when it is not one (yet).
    std::optional<double> number(const QString& text) const;
    void typingPaused();

    QTimer* pause_;
};

} // namespace thermo
