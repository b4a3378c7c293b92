// Hints (tool tips) that the hints switch can take away and give back. A control's hint text
// is remembered apart from its tool tip, so switching hints off and on again restores exactly
// the text it was given.
#pragma once

#include <QString>

class QWidget;

namespace mtl::ui {

// Gives a control its hint and shows it.
void setHint(QWidget& control, const QString& hint);
// Gives a control its hint but keeps it from showing until showHint turns it on.
void setHintOff(QWidget& control, const QString& hint);
// The hint a control was given, whether it shows or not.
QString hintOf(const QWidget& control);
// Shows or hides a control's hint.
void showHint(QWidget& control, bool on);

} // namespace mtl::ui
