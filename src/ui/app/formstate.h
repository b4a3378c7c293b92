// Small helpers the main window's handlers share: text conversion between the core's UTF-8
// strings and Qt, the radio button of a scan mode, colours of status labels, and the rules
// for setting controls from code.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QRect;
class QRadioButton;
class QWidget;
class TSearchForm;

namespace mtl {
struct ScanMode;
}

namespace mtl::ui {

// Text and paths between the core (bytes, UTF-8 where valid) and Qt. A path may hold bytes
// that are not UTF-8; each such byte travels as the lone code unit U+DC00 + byte, so that
// converting back gives exactly the bytes the file system gave: every path round-trips.
QString qs(std::string_view bytes);
std::string toBytes(const QString& text);
QStringList toQStringList(const std::vector<std::string>& lines);
std::vector<std::string> toStdStrings(const QStringList& lines);

// The radio button of a mode, found by its design name.
QRadioButton* modeButton(TSearchForm& form, const ScanMode& mode);
// Unchecks a radio button even when it is the checked member of an exclusive group, which
// Qt otherwise refuses; the other members stay as they are and no reaction runs.
void uncheckRadio(QRadioButton* button);

// The colour of a label's or control's text.
void setTextColor(QWidget* control, const QColor& color);
// A label whose text wraps inside the given place, read from its top left corner.
QLabel* makeWrappedLabel(QWidget* parent, const QString& text, const QRect& geometry);
// How long hints stay on screen once shown, for the window and every control in it.
void setHintDuration(QWidget& window, int milliseconds);
// Empties the found list, the mode and ignore lists, the descriptions and the hidden lists.
void clearWorkingLists(TSearchForm& form);

} // namespace mtl::ui
