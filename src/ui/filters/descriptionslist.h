// Filling the descriptions list view (`ListView`, tab "Opisy filtrów") from the file's items.
#pragma once

#include "core/filters/objectstream.h"

class QTreeWidget;

namespace mtl::ui {

// Removes every item, then adds the file's items in file order with their category icons.
void fillDescriptionsList(QTreeWidget& view, const DescriptionsList& list);

} // namespace mtl::ui
