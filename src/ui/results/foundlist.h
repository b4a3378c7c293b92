// The found list `ListBox1` and the risk alert: the click that computes a file's details and
// its alert band, the status bar line, the double click and the found list's menu commands.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class FoundListControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit FoundListControl(TSearchForm& form);

private:
    TSearchForm& m_form;
};

} // namespace mtl::ui
