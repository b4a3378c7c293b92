#include "ui/widgets/checklistbox.h"

#include <QKeyEvent>
#include <QPalette>

#include <stdexcept>
#include <string>

namespace mtl::ui {

CheckListBox::CheckListBox(QWidget* parent) : QListWidget(parent)
{
    // Lists of found files run to tens of thousands of lines; uniform rows keep them fast.
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, &CheckListBox::lineClicked);
}

void CheckListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before) emit lineClicked();
}

QListWidgetItem* CheckListBox::lineItem(int index) const
{
    if (index < 0 || index >= count())
        throw std::out_of_range("Indeks listy poza zakresem (" + std::to_string(index) + ").");
    return item(index);
}

QListWidgetItem* CheckListBox::makeItem(const QString& text) const
{
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

QString CheckListBox::line(int index) const { return lineItem(index)->text(); }

bool CheckListBox::isChecked(int index) const
{
    return lineItem(index)->checkState() == Qt::Checked;
}

void CheckListBox::setChecked(int index, bool checked)
{
    lineItem(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void CheckListBox::setLine(int index, const QString& text) { lineItem(index)->setText(text); }

void CheckListBox::removeLine(int index) { delete takeItem(row(lineItem(index))); }

QStringList CheckListBox::lines() const
{
    QStringList result;
    result.reserve(count());
    for (int i = 0; i < count(); ++i)
        result.append(item(i)->text());
    return result;
}

void CheckListBox::setLines(const QStringList& newLines)
{
    setUpdatesEnabled(false);
    clear();
    for (const QString& text : newLines)
        addItem(makeItem(text));
    setUpdatesEnabled(true);
}

void CheckListBox::addLine(const QString& text) { addItem(makeItem(text)); }

void CheckListBox::insertLine(int index, const QString& text)
{
    if (index < 0 || index > count())
        throw std::out_of_range("Indeks listy poza zakresem (" + std::to_string(index) + ").");
    insertItem(index, makeItem(text));
}

void CheckListBox::clearLines() { clear(); }

void CheckListBox::useDarkLook()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

} // namespace mtl::ui
