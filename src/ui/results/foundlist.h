// The found list `ListBox1` and the risk alert: the click that computes a file's details and
// its alert band, the status bar line, the double click and the found list's menu commands.
#pragma once

#include "core/results/filedetails.h"

#include <QObject>
#include <QString>

class QAction;
class TSearchForm;

namespace mtl::ui {

// Hides the main window's three alert pictures and sets `LabelAlerty` to "-" (its colour and
// the details dialog are left as they are). Many commands end with it.
void alertReset(TSearchForm& form);

class FoundListControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit FoundListControl(TSearchForm& form);

    // Handlers.
    void ListBox1Click();
    void ListBox1DblClick();
    void Szczegyobiektu1Click();
    void Zaznaczwszystko1Click();
    void ZaznaczIgnorujdlawszystkichplikw1Click();
    void df1Click();
    void ylkowyrzuzlistynieusuwaj1Click();
    void Sortujlist1Click();
    void Wyczylist1Click();

    // The details computation of one path, shared with the path ignore list (which passes
    // AttributeSource::AlwaysNormal): fills `Edit3`, the details dialog's fields, the alert
    // indicator and the status line, and asks for the alert sound when the band has one.
    // When the file is not there it changes nothing and returns nothing.
    std::optional<FileDetails> showDetails(const QString& path, AttributeSource source);
    // Opens the details dialog modally with what the last click filled in. From the found list
    // it shows the position label and the previous / next buttons; from the path ignore list,
    // which has no such stepping, it hides the label and disables the buttons.
    void openDetailsDialog(bool withStepping);

private:
    void guarded(void (FoundListControl::*handler)());
    void connectAction(QAction* action, void (FoundListControl::*handler)());
    void applyBand(const RiskBandLook& look);
    // Marks (checked) or unmarks every selected entry as "Ignorowane".
    void markSelected(bool checked);
    // The error box of the commands that need entries; true when the list is empty.
    bool refuseEmptyList();

    TSearchForm& m_form;
};

} // namespace mtl::ui
