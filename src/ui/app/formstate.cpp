#include "ui/app/formstate.h"

#include "core/filters/scanmodes.h"
#include "ui/app/searchform.h"
#include "ui/widgets/checklistbox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QTreeWidget>

namespace mtl::ui {

QStringList toQStringList(const std::vector<std::string>& lines)
{
    QStringList list;
    list.reserve(qsizetype(lines.size()));
    for (const auto& line : lines) list.append(QString::fromStdString(line));
    return list;
}

std::vector<std::string> toStdStrings(const QStringList& lines)
{
    std::vector<std::string> result;
    result.reserve(std::size_t(lines.size()));
    for (const auto& line : lines) result.push_back(line.toStdString());
    return result;
}

QRadioButton* modeButton(TSearchForm& form, const ScanMode& mode)
{
    return form.findChild<QRadioButton*>(QString::fromUtf8(mode.radioButton.data(), qsizetype(mode.radioButton.size())));
}

void uncheckRadio(QRadioButton* button)
{
    if (!button->isChecked()) return;
    if (QButtonGroup* group = button->group()) {
        const bool exclusive = group->exclusive();
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(exclusive);
    } else {
        const bool autoExclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(autoExclusive);
    }
}

void setTextColor(QWidget* control, const QColor& color)
{
    QPalette colours = control->palette();
    colours.setColor(QPalette::WindowText, color);
    colours.setColor(QPalette::Text, color);
    colours.setColor(QPalette::ButtonText, color);
    control->setPalette(colours);
}

void setHintDuration(QWidget& window, int milliseconds)
{
    window.setToolTipDuration(milliseconds);
    for (QWidget* child : window.findChildren<QWidget*>()) child->setToolTipDuration(milliseconds);
}

void clearWorkingLists(TSearchForm& form)
{
    for (CheckListBox* list : {form.ListBox1, form.ListBoxFiltry, form.ListaIgnorowania, form.ListBoxIgnorujTypy}) {
        list->clearLines();
    }
    form.ListView->clear();
    for (QStringList* hidden : {&form.ListBoxRozmiar, &form.ListBoxLiczbaZnalez, &form.ListBoxDodajPodejrzane,
                                &form.ListaPorownana, &form.ListBox2, &form.ListBox3, &form.ListBox4,
                                &form.ListBoxUsuniete, &form.ListBoxLiczbaUsunietych, &form.ListBoxLOG,
                                &form.ListBoxPomocniczy, &form.ListBoxKodHTML, &form.ListBoxPomocniczyHTML}) {
        hidden->clear();
    }
}

} // namespace mtl::ui
