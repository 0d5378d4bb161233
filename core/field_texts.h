#pragma once

#include "core/main_window_fields.h"

#include <map>
#include <string>

namespace thermo {

// The main window's fields as plain texts: what the measurement writes while no window shows
// it, read back as a window would be.
class FieldTexts : public MainWindowFields {
public:
    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    void setTemperatureFontSize(int points) override { points_ = points; }
    int temperatureFontSize() const noexcept { return points_; }

private:
    std::map<Field, std::string> texts_;
    int points_ = 0;
};

} // namespace thermo
