#pragma once

#include <string>
#include <vector>

// A source's settings described as data, so that the acquisition control can show them
// without knowing the source: numbers as spin boxes, exclusive choices in its right-click menu.
namespace thermo {

struct NumberSetting {
    std::string key;   // names the setting to the source, and its spin box
    std::string label; // what a screen reader says of the spin box
    std::string toolTip;
    std::string unit; // shown after the value, e.g. "°C"
    double minimum;
    double maximum;
    int decimals;
    double step;
};

struct Choice {
    std::string key;  // names the choice to the source, and its menu entry
    std::string text; // the menu entry
    // Said after the source's name, in red, while this choice is in force: a staged fault is
    // easy to forget. Empty for the usual choice.
    std::string remark;
};

struct ChoiceSetting {
    std::string key;
    std::string title; // heads the choices in the menu
    std::string hint;  // how to reach the choices, shown over the source's name
    std::vector<Choice> choices;
};

} // namespace thermo
