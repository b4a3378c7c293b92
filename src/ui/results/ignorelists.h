// The two ignore lists of the tab "Ignorowania": their commands and popup menus, the found
// list's "Dodaj pliki do listy Ignorowań", and the compare step `Button15Click` that applies the
// path ignore list to the found list. Every command that may change a list writes that list's
// file afterwards, so the files always hold what the window shows.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class CheckListBox;

class IgnoreListsControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit IgnoreListsControl(TSearchForm& form);

    // Tab "Ignorowania".
    void Button31Click();  // "Wczytaj"
    void Button5Click();   // "Dodaj ścieżkę"
    void Button16Click();  // "Dodaj rozszerzenie"

    // The path list's click (details of the current entry, attributes always shown as
    // normal), double click and "Szczegóły obiektu" (the details dialog without stepping).
    void ListaIgnorowaniaClick();
    void ListaIgnorowaniaDblClick();
    void Szczegyobiektu2Click();

    // Popup menu of the path list.
    void Usutenplikzdysku1Click();      // "Usuń zaznaczone pliki z dysku"
    void Usunieistnijcepliki1Click();   // "Napraw błędne wpisy ścieżek"
    void Usuzlistyignorowania1Click();  // "Usuń zazn. z listy ignorowania"
    void Posortujlist1Click();          // "Posortuj listę"
    void Czylist1Click();               // "Usuń listę"

    // Popup menu of the mask list.
    void Usufiltrzlisty1Click();  // "Usuń filtr z listy"
    void Posortujlist2Click();    // "Posortuj listę"
    void Czylist2Click();         // "Usuń listę"

    // Found list: "Dodaj pliki do listy Ignorowań".
    void Usuignorowane1Click();
    // The compare step, run by a click on the hidden button `Button15`.
    void Button15Click();

    // For the scan's end and the details dialog: write a list to its file (a FileError when
    // it cannot be written) and show its length in its counter.
    void savePathList();
    void saveMaskList();
    void setPathCounter();
    void setMaskCounter();


private:
    // Runs a handler at its boundary (the general error report for unforeseen failures).
    void guarded(void (IgnoreListsControl::*handler)());
    void connectAction(const char* actionName, void (IgnoreListsControl::*handler)());
    // "Usuń listę" of either list: asks, empties on Yes; the caller sets counter and saves.
    void askAndClear(CheckListBox* list, const char* question, const char* title);

    TSearchForm& m_form;
};

} // namespace mtl::ui
