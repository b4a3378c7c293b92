// Small helpers the main window's handlers share: text conversion between the core's UTF-8
// strings and Qt, the radio button of a scan mode, colours of status labels, and the rules
// for setting controls from code.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QLabel;
class QRadioButton;
class QWidget;
class TSearchForm;

namespace mtl {
struct ScanMode;
}

namespace mtl::ui {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
QStringList toQStringList(const std::vector<std::string>& lines);
std::vector<std::string> toStdStrings(const QStringList& lines);

// The radio button of a mode, found by its design name.
QRadioButton* modeButton(TSearchForm& form, const ScanMode& mode);
// Unchecks a radio button even when it is the checked member of an exclusive group, which
// Qt otherwise refuses; the other members stay as they are and no reaction runs.
void uncheckRadio(QRadioButton* button);

// The colour of a label's or control's text.
void setTextColor(QWidget* control, const QColor& color);
// How long hints stay on screen once shown, for the window and every control in it.
void setHintDuration(QWidget& window, int milliseconds);
// Empties the found list, the mode and ignore lists, the descriptions and the hidden lists.
void clearWorkingLists(TSearchForm& form);

} // namespace mtl::ui
