// A list of text lines, each with a check box in front of it: the found list, the mode's
// mask list and the two ignore lists. The program treats it as an ordered list of strings
// with a check state per line, so the API speaks in lines and indices rather than items.
// The full-list window shows the same kind of list without the check boxes.
#pragma once

#include <QListWidget>
#include <QStringList>

#include <vector>

namespace mtl::ui {

class CheckListBox : public QListWidget {
    Q_OBJECT
public:
    enum class Boxes { Shown, None };
    explicit CheckListBox(QWidget* parent = nullptr, Boxes boxes = Boxes::Shown);

    int count() const { return QListWidget::count(); }
    // Each of these throws std::out_of_range for an index outside the list, which a
    // handler's guard turns into the general error report.
    QString line(int index) const;
    // A list without check boxes has no line checked.
    bool isChecked(int index) const;
    void setChecked(int index, bool checked);
    void setLine(int index, const QString& text);
    void removeLine(int index);

    QStringList lines() const;
    // Replaces every line; the new lines start unchecked.
    void setLines(const QStringList& lines);
    // Adds a line at the end, or in sorted mode at its place; returns the row it went to.
    int addLine(const QString& text);
    void insertLine(int index, const QString& text);
    void clearLines();

    // White bold text on black, the look of the found list and the mask list.
    void useDarkLook();

    bool isSelected(int index) const;
    // Removes every checked line in one pass; the other lines keep their order, check
    // states and selection. Returns how many went. (One by one, a list of a hundred
    // thousand lines would shift its tail once per removed line.)
    int removeCheckedLines();

    // Sorted mode: the lines are put in alphabetical order without regard to letter case,
    // each keeping its check state, and every line added or inserted later goes to its
    // place. Equal lines keep the order in which they came.
    void setSorted(bool sorted);
    bool isSorted() const { return m_sorted; }

    // Makes the last line the current one (the selection stays as it is) and brings it into
    // view, once at the next pass of the event loop however often it is asked for before.
    // Qt lays out the whole list again after every insertion, and setting the current line
    // or scrolling needs that layout, so doing it per added line costs the whole list each
    // time; a scan that calls this per hit pays one layout per yield instead.
    void showLastLine();

signals:
    // A click on a line, or the keyboard moving the current line: the list's click
    // reaction. Setting the current line from code does not emit it.
    void lineClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QListWidgetItem* lineItem(int index) const;
    QListWidgetItem* makeItem(const QString& text) const;
    // The row where a line goes in sorted mode: after every line not greater than it.
    int sortedRow(const QString& text) const;
    struct Entry {
        QString text;
        bool checked = false;
        bool selected = false;
    };
    std::vector<Entry> entries() const;
    // Replaces every line at once, restoring check states and the selection.
    void rebuild(const std::vector<Entry>& entries);

    Boxes m_boxes;
    bool m_sorted = false;
    bool m_showLastPending = false;
};

} // namespace mtl::ui
