#pragma once

#include <string>

namespace thermo {

// The fields the measurement writes; the circuit's parameters reach it as data.
enum class Field { Text1, Text2, Text3, Text4, Text7, Text8 };

// The main window's fields as the measurement core sees them.
class MainWindowFields {
public:
    virtual ~MainWindowFields() = default;
    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, const std::string& text) = 0;
    // Size of the temperature field's font; it stays bold.
    virtual void setTemperatureFontSize(int points) = 0;
};

} // namespace thermo
