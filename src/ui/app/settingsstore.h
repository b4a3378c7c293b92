// The settings and statistics store behind the window: the settings save of both
// "Zastosuj wprowadzone zmiany" buttons, the statistics reset and the option reactions.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class SettingsControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit SettingsControl(TSearchForm& form);

private:
    TSearchForm& m_form;
};

} // namespace mtl::ui
