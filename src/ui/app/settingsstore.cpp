#include "ui/app/settingsstore.h"

#include "ui/app/searchform.h"

namespace mtl::ui {

SettingsControl::SettingsControl(TSearchForm& form) : QObject(&form), m_form(form) {}

} // namespace mtl::ui
