#include "ui/widgets/checklistbox.h"

#include <QKeyEvent>
#include <QPalette>

#include <QItemSelection>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace mtl::ui {

namespace {

// The sorted mode's order: the lines' case-folded texts in code unit order. Sorting folds each
// line once instead of at every comparison, which on a list of a whole home folder's paths
// (long shared beginnings) is most of the cost.
QString sortKey(const QString& text)
{
    // Paths are mostly ASCII, whose folding is just the 26 capitals; the general folding
    // looks up every character's properties.
    QString key(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(key.data());
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = in[i];
        if (unit >= 0x80) return text.toCaseFolded();
        out[i] = unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
    }
    return key;
}

template <typename T>
void sortByKey(std::vector<T>& values, const QString& (*textOf)(const T&))
{
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) keys.emplace_back(sortKey(textOf(values[i])), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<T> ordered;
    ordered.reserve(values.size());
    for (const auto& key : keys) ordered.push_back(std::move(values[key.second]));
    values = std::move(ordered);
}

} // namespace

CheckListBox::CheckListBox(QWidget* parent, Boxes boxes) : QListWidget(parent), m_boxes(boxes)
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
    if (m_boxes == Boxes::None) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return item;
    }
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
    QListWidgetItem* entry = lineItem(index);
    if (m_boxes == Boxes::None) return;
    entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
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
    if (m_sorted) {
        std::vector<QString> ordered(newLines.begin(), newLines.end());
        sortByKey<QString>(ordered, [](const QString& text) -> const QString& { return text; });
        for (const QString& text : ordered)
            addItem(makeItem(text));
    } else {
        for (const QString& text : newLines)
            addItem(makeItem(text));
    }
    setUpdatesEnabled(true);
}

int CheckListBox::addLine(const QString& text)
{
    const int row = m_sorted ? sortedRow(text) : count();
    insertItem(row, makeItem(text));
    return row;
}

void CheckListBox::insertLine(int index, const QString& text)
{
    if (index < 0 || index > count())
        throw std::out_of_range("Indeks listy poza zakresem (" + std::to_string(index) + ").");
    insertItem(m_sorted ? sortedRow(text) : index, makeItem(text));
}

bool CheckListBox::isSelected(int index) const { return lineItem(index)->isSelected(); }

int CheckListBox::sortedRow(const QString& text) const
{
    const QString key = sortKey(text);
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (key < sortKey(item(middle)->text()))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void CheckListBox::setSorted(bool sorted)
{
    m_sorted = sorted;
    if (!sorted || count() < 2) return;
    std::vector<Entry> all = entries();
    sortByKey<Entry>(all, [](const Entry& entry) -> const QString& { return entry.text; });
    rebuild(all);
}

int CheckListBox::removeCheckedLines()
{
    std::vector<Entry> kept = entries();
    std::erase_if(kept, [](const Entry& entry) { return entry.checked; });
    const int removed = count() - int(kept.size());
    if (removed > 0) rebuild(kept);
    return removed;
}

std::vector<CheckListBox::Entry> CheckListBox::entries() const
{
    std::vector<Entry> result;
    result.reserve(std::size_t(count()));
    for (int i = 0; i < count(); ++i) {
        const QListWidgetItem* entry = item(i);
        result.push_back({entry->text(), entry->checkState() == Qt::Checked, entry->isSelected()});
    }
    return result;
}

void CheckListBox::rebuild(const std::vector<Entry>& newEntries)
{
    setUpdatesEnabled(false);
    clear();
    QItemSelection selection;
    int runStart = -1;
    for (int row = 0; row < int(newEntries.size()); ++row) {
        const Entry& entry = newEntries[std::size_t(row)];
        QListWidgetItem* created = makeItem(entry.text);
        if (entry.checked) created->setCheckState(Qt::Checked);
        addItem(created);
        // Selected lines are gathered in runs, so the selection is set once at the end.
        if (entry.selected && runStart < 0) runStart = row;
        if (!entry.selected && runStart >= 0) {
            selection.select(model()->index(runStart, 0), model()->index(row - 1, 0));
            runStart = -1;
        }
    }
    if (runStart >= 0)
        selection.select(model()->index(runStart, 0), model()->index(int(newEntries.size()) - 1, 0));
    if (!selection.isEmpty()) selectionModel()->select(selection, QItemSelectionModel::Select);
    setUpdatesEnabled(true);
}

void CheckListBox::showLastLine()
{
    if (m_showLastPending) return;
    m_showLastPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_showLastPending = false;
            if (count() == 0) return;
            const QModelIndex last = model()->index(count() - 1, 0);
            selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
            scrollTo(last);
        },
        Qt::QueuedConnection);
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
