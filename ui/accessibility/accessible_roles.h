#pragma once

#include <QAccessible>

class QWidget;

namespace thermo {

// The role a screen reader is told for one of the program's own widgets, where Qt would say
// "filler": a window is a frame, the parameters window a dialog, a group of controls a panel.
// Set in the widget's constructor, before anything asks.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

} // namespace thermo
