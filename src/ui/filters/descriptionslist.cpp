#include "ui/filters/descriptionslist.h"

#include "ui/widgets/pictures.h"

#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <array>

namespace mtl::ui {

namespace {
constexpr int kCategoryCount = 8;  // the image list ImageFormaty
}

void fillDescriptionsList(QTreeWidget& view, const DescriptionsList& list)
{
    // Every row of a category shows the same picture: draw each once and share it.
    std::array<QIcon, kCategoryCount> icons;
    for (int i = 0; i < kCategoryCount; ++i) icons[std::size_t(i)] = QIcon(pictures::categoryIcon(i));

    view.clear();
    for (const DescriptionItem& entry : list.items) {
        auto* row = new QTreeWidgetItem(&view);  // owned by the view
        row->setText(0, QString::fromStdString(entry.caption));
        if (!entry.subItems.empty()) row->setText(1, QString::fromStdString(entry.subItems.front()));
        if (entry.imageIndex >= 0 && entry.imageIndex < kCategoryCount) {
            row->setIcon(0, icons[std::size_t(entry.imageIndex)]);
        }
    }
}

} // namespace mtl::ui
