#include "ui/scan/scancontrol.h"

#include "ui/app/searchform.h"

namespace mtl::ui {

ScanControl::ScanControl(TSearchForm& form) : QObject(&form), m_form(form) {}

} // namespace mtl::ui
