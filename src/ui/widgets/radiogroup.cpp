#include "ui/widgets/radiogroup.h"

#include <QGridLayout>
#include <QRadioButton>

#include <stdexcept>
#include <string>

namespace mtl::ui {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(title, parent)
{
    if (columns < 1) columns = 1;
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    // Items run down the first column and then down the next, as a radio group lays them out.
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group.addButton(button, i);
        m_buttons.push_back(button);
        grid->addWidget(button, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    connect(&m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const { return m_group.checkedId(); }

void RadioGroup::setItemIndex(int index)
{
    if (index < -1 || index >= itemCount())
        throw std::out_of_range("Indeks listy poza zakresem (" + std::to_string(index) + ").");
    if (index == itemIndex()) return;
    if (index == -1) {
        // An exclusive group refuses to uncheck its last checked button.
        m_group.setExclusive(false);
        m_buttons[size_t(itemIndex())]->setChecked(false);
        m_group.setExclusive(true);
        emit itemIndexChanged(-1);
        return;
    }
    m_buttons[size_t(index)]->setChecked(true);
}

QString RadioGroup::itemText(int index) const { return itemButton(index)->text(); }

QRadioButton* RadioGroup::itemButton(int index) const
{
    if (index < 0 || index >= itemCount())
        throw std::out_of_range("Indeks listy poza zakresem (" + std::to_string(index) + ").");
    return m_buttons[size_t(index)];
}

} // namespace mtl::ui
