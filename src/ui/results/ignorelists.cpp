#include "ui/results/ignorelists.h"

#include "ui/app/searchform.h"

namespace mtl::ui {

IgnoreListsControl::IgnoreListsControl(TSearchForm& form) : QObject(&form), m_form(form) {}

} // namespace mtl::ui
