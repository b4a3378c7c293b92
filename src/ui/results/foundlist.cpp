#include "ui/results/foundlist.h"

#include "ui/app/searchform.h"

namespace mtl::ui {

FoundListControl::FoundListControl(TSearchForm& form) : QObject(&form), m_form(form) {}

} // namespace mtl::ui
