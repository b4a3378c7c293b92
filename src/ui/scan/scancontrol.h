// A scan from the start button to the idle window again: the engine `Skaner` configured from
// the window, its events, the gauge and clock timers, pause, the error panel, the end steps and
// the intake of every found entry.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class ScanControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit ScanControl(TSearchForm& form);

private:
    TSearchForm& m_form;
};

} // namespace mtl::ui
