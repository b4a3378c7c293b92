// The scan mode reactions of the main window: a chosen mode warns when it must, loads its
// mask list into ListBoxFiltry and sets the counter and the progress gauge's interval.
#include "ui/app/searchform.h"

#include "core/common/linelist.h"
#include "core/filters/scanmodes.h"
#include "core/platform/dialogs.h"
#include "ui/app/formstate.h"
#include "ui/widgets/checklistbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

using namespace mtl;

namespace {

void chooseMode(TSearchForm& form, Dialogs& dialogs, std::string_view key)
{
    const ScanMode& mode = *findScanMode(key);
    // The warning comes first, before anything on screen changes.
    if (mode.warning != ModeWarning::None) {
        const WarningText warning = warningText(mode.warning);
        dialogs.message({std::string(warning.text), std::string(warning.title), MessageIcon::Warning, MessageButtons::Ok});
    }
    if (!ui::modeButton(form, mode)->isChecked()) return;
    form.ListBoxFiltry->clearLines();
    form.Label_EdytowanyTryb->setText(QString::fromUtf8(mode.editorText.data(), qsizetype(mode.editorText.size())));
    form.loadModeList(mode);
    const int count = form.ListBoxFiltry->count();
    form.Label_LiczbaFiltrow->setText(QString::number(count));
    form.LabelProgres = QString::fromStdString(progressIntervalText(std::size_t(count)));
}

} // namespace

void TSearchForm::loadModeList(const ScanMode& mode)
{
    QStringList masks = ui::toQStringList(readLineList(m_services.filtersFolder() / mode.file));
    if (filtersSorted) {
        // Once the editor has sorted the list, every list loaded later is kept sorted too.
        std::stable_sort(masks.begin(), masks.end(), [](const QString& a, const QString& b) {
            return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
        });
    }
    ListBoxFiltry->setLines(masks);
}

void TSearchForm::RadioButton1Click() { chooseMode(*this, m_services.dialogs, "Mniej_bezp"); }
void TSearchForm::RadioButton2Click() { chooseMode(*this, m_services.dialogs, "TrybUsera"); }
void TSearchForm::RadioButton3Click() { chooseMode(*this, m_services.dialogs, "Zaawansowany"); }
void TSearchForm::RadioButton4Click() { chooseMode(*this, m_services.dialogs, "Bezpieczny"); }
void TSearchForm::RadioButton5Click() { chooseMode(*this, m_services.dialogs, "Antyspyware"); }
void TSearchForm::RadioButton6Click() { chooseMode(*this, m_services.dialogs, "Antypornware"); }
void TSearchForm::RadioButton7Click() { chooseMode(*this, m_services.dialogs, "Bezpieczny_Expres"); }
void TSearchForm::RadioButton8Click() { chooseMode(*this, m_services.dialogs, "Mniej_bezp_Expres"); }
void TSearchForm::RadioButton9Click() { chooseMode(*this, m_services.dialogs, "Zaawansowany_Expres"); }

void TSearchForm::ListBoxFiltryClick()
{
    const int row = ListBoxFiltry->currentRow();
    if (row >= 0) EditDodajFiltr->setText(ListBoxFiltry->line(row));
}
