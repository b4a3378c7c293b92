// The settings and statistics store behind the window: the settings save of both
// "Zastosuj wprowadzone zmiany" buttons, the statistics reset and the option reactions.
// The reactions are wired before start-up applies the stored options, so a stored value that
// changes a box runs its reaction exactly as a click would.
#pragma once

#include <QObject>

class TSearchForm;

namespace mtl::ui {

class SettingsControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls; owned by the window.
    explicit SettingsControl(TSearchForm& form);

    void ZapiszUstawieniaClick();  // settings save
    void ZapiszWyborTrybuClick();  // the same save from the tab "Wybór trybu"
    void SpeedButton1Click();      // statistics reset

    // Option reactions; each looks at the box's new state.
    void CheckBoxSpeedClick();
    void CheckBox100Click();
    void CheckBox102Click();
    void CheckBox103Click();
    void CheckBox141Click();

private:
    void guarded(void (SettingsControl::*handler)());
    // Steps 1 to 4 of the save; a RegistryError ends them where it happens.
    void writeSettings();
    void writeOptions();

    TSearchForm& m_form;
};

} // namespace mtl::ui
