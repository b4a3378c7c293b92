#include "ui/results/ignorelists.h"

#include "core/common/countertext.h"
#include "core/common/linelist.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/results/ignorelist.h"
#include "ui/app/formstate.h"
#include "ui/app/searchform.h"
#include "ui/platform/errorreport.h"
#include "ui/results/foundlist.h"
#include "ui/widgets/checklistbox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <system_error>

namespace mtl::ui {

namespace {

constexpr const char* kPathListFile = "filtr_ignoralplik.dat";
constexpr const char* kMaskListFile = "filtr_ignoraltyp.dat";

std::filesystem::path pathOf(const QString& line) { return std::filesystem::path(toBytes(line)); }

void show(Dialogs& dialogs, const char* text, const char* title, MessageIcon icon)
{
    dialogs.message({text, title, icon, MessageButtons::Ok});
}

} // namespace

IgnoreListsControl::IgnoreListsControl(TSearchForm& form) : QObject(&form), m_form(form)
{
    for (CheckListBox* list : {form.ListaIgnorowania, form.ListBoxIgnorujTypy}) {
        // The commands act on every selected line, so both lists take multiple selection.
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    auto button = [this](QPushButton* control, void (IgnoreListsControl::*handler)()) {
        connect(control, &QPushButton::clicked, this, [this, handler] { guarded(handler); });
    };
    button(form.Button31, &IgnoreListsControl::Button31Click);
    button(form.Button5, &IgnoreListsControl::Button5Click);
    button(form.Button16, &IgnoreListsControl::Button16Click);
    button(form.Button15, &IgnoreListsControl::Button15Click);

    connect(form.ListaIgnorowania, &CheckListBox::lineClicked, this,
            [this] { guarded(&IgnoreListsControl::ListaIgnorowaniaClick); });
    connect(form.ListaIgnorowania, &QAbstractItemView::doubleClicked, this,
            [this] { guarded(&IgnoreListsControl::ListaIgnorowaniaDblClick); });
    connectAction("Szczegyobiektu2", &IgnoreListsControl::Szczegyobiektu2Click);
    connectAction("Usutenplikzdysku1", &IgnoreListsControl::Usutenplikzdysku1Click);
    connectAction("Usunieistnijcepliki1", &IgnoreListsControl::Usunieistnijcepliki1Click);
    connectAction("Usuzlistyignorowania1", &IgnoreListsControl::Usuzlistyignorowania1Click);
    connectAction("Posortujlist1", &IgnoreListsControl::Posortujlist1Click);
    connectAction("Czylist1", &IgnoreListsControl::Czylist1Click);
    connectAction("Usufiltrzlisty1", &IgnoreListsControl::Usufiltrzlisty1Click);
    connectAction("Posortujlist2", &IgnoreListsControl::Posortujlist2Click);
    connectAction("Czylist2", &IgnoreListsControl::Czylist2Click);
    connectAction("Usuignorowane1", &IgnoreListsControl::Usuignorowane1Click);
}

void IgnoreListsControl::guarded(void (IgnoreListsControl::*handler)())
{
    runGuarded(m_form.m_services.dialogs, [this, handler] { (this->*handler)(); });
}

void IgnoreListsControl::connectAction(const char* actionName, void (IgnoreListsControl::*handler)())
{
    auto* action = m_form.findChild<QAction*>(QString::fromLatin1(actionName));
    connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
}

void IgnoreListsControl::ListaIgnorowaniaClick()
{
    const CheckListBox* list = m_form.ListaIgnorowania;
    const int row = list->currentRow();
    const QString path = row >= 0 && row < list->count() ? list->line(row) : QString();
    m_form.foundList->showDetails(path, AttributeSource::AlwaysNormal);
}

void IgnoreListsControl::ListaIgnorowaniaDblClick() { m_form.foundList->openDetailsDialog(false); }

void IgnoreListsControl::Szczegyobiektu2Click() { ListaIgnorowaniaDblClick(); }

// ---- Files and counters -------------------------------------------------------------------

void IgnoreListsControl::savePathList()
{
    writeLineList(m_form.m_services.filtersFolder() / kPathListFile, toStdStrings(m_form.ListaIgnorowania->lines()));
}

void IgnoreListsControl::saveMaskList()
{
    writeLineList(m_form.m_services.filtersFolder() / kMaskListFile, toStdStrings(m_form.ListBoxIgnorujTypy->lines()));
}

void IgnoreListsControl::setPathCounter()
{
    m_form.Label_Ignorowan->setText(QString::number(m_form.ListaIgnorowania->count()));
}

void IgnoreListsControl::setMaskCounter()
{
    m_form.Label_IgnorowanTypy->setText(QString::number(m_form.ListBoxIgnorujTypy->count()));
}

// ---- Sorted mode --------------------------------------------------------------------------

// ---- Tab "Ignorowania" --------------------------------------------------------------------

void IgnoreListsControl::Button31Click()
{
    m_form.Edit6->clear();
    if (const auto chosen = m_form.m_services.dialogs.openFile(m_form.WczytajPlik))
        m_form.Edit6->setText(qs(*chosen));
}

void IgnoreListsControl::Button5Click()
{
    const QString path = m_form.Edit6->text();
    auto& dialogs = m_form.m_services.dialogs;
    if (path.isEmpty()) {
        show(dialogs, "Nie podano ścieżki do żadnego pliku !", "Brak ścieżki      ", MessageIcon::Error);
    } else if (!ignoredFileExists(pathOf(path))) {
        show(dialogs, "We wskazanej ścieżce nie istnieje taki plik !", "Błąd      ", MessageIcon::Error);
    } else {
        if (!ignoreListHolds(toStdStrings(m_form.ListaIgnorowania->lines()), toBytes(path), IgnoreEntry::Path))
            m_form.ListaIgnorowania->addLine(path);
        setPathCounter();
    }
    savePathList();
}

void IgnoreListsControl::Button16Click()
{
    const QString mask = m_form.Edit7->text();
    if (mask.isEmpty()) {
        show(m_form.m_services.dialogs, "Nie podano żadnego typu filtra !", "Błąd      ", MessageIcon::Warning);
    } else {
        if (!ignoreListHolds(toStdStrings(m_form.ListBoxIgnorujTypy->lines()), mask.toStdString(), IgnoreEntry::Mask))
            m_form.ListBoxIgnorujTypy->addLine(mask);
        setMaskCounter();
    }
    saveMaskList();
}

// ---- Popup menu of the path list ------------------------------------------------------------

void IgnoreListsControl::Usutenplikzdysku1Click()
{
    CheckListBox& list = *m_form.ListaIgnorowania;
    for (int row = list.count() - 1; row >= 0; --row) {
        if (!list.isSelected(row)) continue;
        const auto path = pathOf(list.line(row));
        if (!ignoredFileExists(path)) continue;
        // A file that will not go is not reported; the entry goes all the same.
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        list.removeLine(row);
    }
    alertReset(m_form);
    setPathCounter();
    savePathList();
}

void IgnoreListsControl::Usunieistnijcepliki1Click()
{
    CheckListBox& list = *m_form.ListaIgnorowania;
    if (list.count() == 0) {
        show(m_form.m_services.dialogs, "Nie ma żadnych ścieżek plików wymagających naprawienia !", "Błąd      ",
             MessageIcon::Warning);
        return;
    }
    m_form.Label12->setText(QStringLiteral("Trwa naprawa wpisów..."));
    m_form.m_services.pump.processPending();
    std::size_t removed = 0;
    for (int row = list.count() - 1; row >= 0; --row) {
        if (ignoredFileExists(pathOf(list.line(row)))) continue;
        list.removeLine(row);
        ++removed;
    }
    setPathCounter();
    savePathList();
    m_form.Label12->setText(QStringLiteral("Gotowe..."));
    m_form.m_services.dialogs.message(
        {repairReport(removed, std::size_t(list.count())), kApplicationTitle, MessageIcon::None, MessageButtons::Ok});
}

void IgnoreListsControl::Usuzlistyignorowania1Click()
{
    CheckListBox& list = *m_form.ListaIgnorowania;
    for (int row = list.count() - 1; row >= 0; --row) {
        if (list.isSelected(row)) list.removeLine(row);
    }
    setPathCounter();
    savePathList();
}

void IgnoreListsControl::Posortujlist1Click()
{
    // Lines that arrive later (the scan's intake, the details dialog) go to their place too.
    m_form.ListaIgnorowania->setSorted(true);
    savePathList();
}

void IgnoreListsControl::askAndClear(CheckListBox* list, const char* question, const char* title)
{
    const auto answer = m_form.m_services.dialogs.message({question, title, MessageIcon::Question, MessageButtons::YesNo});
    if (answer == MessageAnswer::Yes) list->clearLines();
}

void IgnoreListsControl::Czylist1Click()
{
    askAndClear(m_form.ListaIgnorowania, "Czy napewno chcesz usunąć całą listę ignorowanych plików ?",
                "Usuwanie listy ignorowań      ");
    setPathCounter();
    savePathList();
}

// ---- Popup menu of the mask list -------------------------------------------------------------

void IgnoreListsControl::Usufiltrzlisty1Click()
{
    CheckListBox& list = *m_form.ListBoxIgnorujTypy;
    // Only the current line goes, even when more are selected.
    if (const int row = list.currentRow(); row >= 0 && row < list.count()) list.removeLine(row);
    setMaskCounter();
    saveMaskList();
}

void IgnoreListsControl::Posortujlist2Click()
{
    m_form.ListBoxIgnorujTypy->setSorted(true);
    saveMaskList();
}

void IgnoreListsControl::Czylist2Click()
{
    askAndClear(m_form.ListBoxIgnorujTypy,
                "Czy napewno chcesz usunąć całą listę ignorowanych filtrów ?\nMożesz doprowadzić do destabilizacji "
                "systemu i aplikacji !",
                "Usuwanie listy filtrów      ");
    setMaskCounter();
    saveMaskList();
}

// ---- Found list and the compare step -----------------------------------------------------------

void IgnoreListsControl::Usuignorowane1Click()
{
    CheckListBox& found = *m_form.ListBox1;
    if (found.count() == 0) {
        show(m_form.m_services.dialogs, "Brak plików na liście !", "Błąd      ", MessageIcon::Error);
        return;
    }
    // Walked from the last entry, so the paths reach the ignore list in reverse order; no
    // duplicate test here: the compare step pairs each copy with one found line.
    for (int row = found.count() - 1; row >= 0; --row) {
        if (found.isChecked(row)) m_form.ListaIgnorowania->addLine(found.line(row));
    }
    // One pass instead of one removal per line: the list may hold a whole home folder.
    found.removeCheckedLines();
    m_form.Label11->setText(QStringLiteral("Zostało: "));
    m_form.Label50->setText(qs(filesText(found.count())));
    m_form.Label12->setText(QStringLiteral("Dodano plik(i) do listy ignorowań"));
    setPathCounter();
    savePathList();
}

void IgnoreListsControl::Button15Click()
{
    m_form.ListaPorownana = m_form.ListBox1->lines();
    const QStringList& copied = m_form.ListaPorownana;
    const auto outcome =
        compareWithIgnoreList(toStdStrings(copied), toStdStrings(m_form.ListaIgnorowania->lines()));
    QStringList kept;
    kept.reserve(qsizetype(outcome.kept.size()));
    for (const auto index : outcome.kept) kept.append(copied.at(qsizetype(index)));
    // Rebuilt from the kept texts: every entry comes back unchecked and unselected.
    m_form.ListBox1->setLines(kept);
    m_form.Label48->setText(qs(filesText(std::int64_t(outcome.ignored))));
    m_form.ListaPorownana.clear();
    m_form.Label50->setText(qs(filesText(kept.size())));
}

} // namespace mtl::ui
