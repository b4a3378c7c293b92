// The two ignore lists of the tab "Ignorowania": their commands and popup menus, the found
// list's "Dodaj pliki do listy Ignorowań", and the compare step `Button15Click` that applies the
// path ignore list to the found list.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class IgnoreListsControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit IgnoreListsControl(TSearchForm& form);

private:
    TSearchForm& m_form;
};

} // namespace mtl::ui
