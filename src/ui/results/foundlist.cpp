#include "ui/results/foundlist.h"

#include "core/common/countertext.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/sounds.h"
#include "ui/app/formstate.h"
#include "ui/app/searchform.h"
#include "ui/filters/form8.h"
#include "ui/platform/errorreport.h"
#include "ui/widgets/checklistbox.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QPushButton>

namespace mtl::ui {

namespace {

QColor colourOf(std::uint32_t rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

} // namespace

void alertReset(TSearchForm& form)
{
    for (QLabel* picture : {form.Alert_Niski, form.Alert_Sredni, form.Alert_Wysoki}) picture->hide();
    form.LabelAlerty->setText(QStringLiteral("-"));
}

FoundListControl::FoundListControl(TSearchForm& form) : QObject(&form), m_form(form)
{
    CheckListBox* list = m_form.ListBox1;
    connect(list, &CheckListBox::lineClicked, this, [this] { guarded(&FoundListControl::ListBox1Click); });
    connect(list, &QAbstractItemView::doubleClicked, this,
            [this] { guarded(&FoundListControl::ListBox1DblClick); });
    connectAction(m_form.Szczegyobiektu1, &FoundListControl::Szczegyobiektu1Click);
    connectAction(m_form.Zaznaczwszystko1, &FoundListControl::Zaznaczwszystko1Click);
    connectAction(m_form.ZaznaczIgnorujdlawszystkichplikw1,
                  &FoundListControl::ZaznaczIgnorujdlawszystkichplikw1Click);
    connectAction(m_form.df1, &FoundListControl::df1Click);
    connectAction(m_form.ylkowyrzuzlistynieusuwaj1, &FoundListControl::ylkowyrzuzlistynieusuwaj1Click);
    connectAction(m_form.Sortujlist1, &FoundListControl::Sortujlist1Click);
    connectAction(m_form.Wyczylist1, &FoundListControl::Wyczylist1Click);
}

void FoundListControl::guarded(void (FoundListControl::*handler)())
{
    runGuarded(m_form.m_services.dialogs, [this, handler] { (this->*handler)(); });
}

void FoundListControl::connectAction(QAction* action, void (FoundListControl::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
}

std::optional<FileDetails> FoundListControl::showDetails(const QString& path, AttributeSource source)
{
    std::optional<FileDetails> details = readFileDetails(toBytes(path), source);
    if (!details) return std::nullopt;

    m_form.Edit3 = path;
    if (TForm8* dialog = m_form.Form8) {
        dialog->Label9->setText(qs(details->name));
        dialog->Label10->setText(qs(details->type));
        dialog->Label11->setText(qs(details->size));
        dialog->Label12->setText(path);
        dialog->Label15->setText(qs(details->modified));
        dialog->Label16->setText(qs(details->attributes));
    }
    applyBand(lookOf(details->band));
    m_form.StatusGotowe->setText(qs(statusLine(*details)));
    return details;
}

void FoundListControl::applyBand(const RiskBandLook& look)
{
    // The sound first: it plays while the rest is shown, and the program does not wait for it.
    if (look.sound && m_form.CheckBoxDzwieki->isChecked())
        m_form.m_services.sounds.play((m_form.m_services.programFolder / "alert.wav").string());

    const QColor levelColour = colourOf(look.levelColour);
    TForm8* dialog = m_form.Form8;
    if (dialog) {
        dialog->Label13->setText(QString::fromUtf8(look.comment));
        // Only the largest band colours its comment; the others go back to the usual black, so
        // a blue comment never stays behind on a smaller file.
        setTextColor(dialog->Label13, look.commentColour ? colourOf(*look.commentColour) : QColor(Qt::black));
        dialog->Label14->setText(QString::fromUtf8(look.level));
        setTextColor(dialog->Label14, levelColour);
    }

    const auto show = [&look](QLabel* low, QLabel* medium, QLabel* high) {
        low->setVisible(look.picture == AlertPicture::Low);
        medium->setVisible(look.picture == AlertPicture::Medium);
        high->setVisible(look.picture == AlertPicture::High);
    };
    show(m_form.Alert_Niski, m_form.Alert_Sredni, m_form.Alert_Wysoki);
    if (dialog) show(dialog->Alert_Niski, dialog->Alert_Sredni, dialog->Alert_Wysoki);

    m_form.LabelAlerty->setText(QString::fromUtf8(look.indicator));
    setTextColor(m_form.LabelAlerty, levelColour);
}

void FoundListControl::ListBox1Click()
{
    const CheckListBox* list = m_form.ListBox1;
    const int row = list->currentRow();
    const QString path = row >= 0 && row < list->count() ? list->line(row) : QString();
    showDetails(path, AttributeSource::FromFile);
}

void FoundListControl::openDetailsDialog(bool withStepping)
{
    TForm8* dialog = m_form.Form8;
    if (!dialog) return;
    dialog->Label18->setVisible(withStepping);
    dialog->Button4->setEnabled(withStepping);
    dialog->Button5->setEnabled(withStepping);
    dialog->showModally();
}

void FoundListControl::ListBox1DblClick() { openDetailsDialog(true); }

void FoundListControl::Szczegyobiektu1Click() { ListBox1DblClick(); }

void FoundListControl::Zaznaczwszystko1Click()
{
    m_form.Label12->setText(QStringLiteral("Zaznaczanie plików"));
    m_form.ListBox1->selectAll();
    m_form.m_services.pump.processPending();
    alertReset(m_form);
    m_form.Label12->setText(QStringLiteral("Zaznaczono wszystkie pliki"));
}

bool FoundListControl::refuseEmptyList()
{
    if (m_form.ListBox1->count() > 0) return false;
    m_form.m_services.dialogs.message(
        {"Brak plików na liście !", "Błąd     ", MessageIcon::Error, MessageButtons::Ok});
    return true;
}

void FoundListControl::markSelected(bool checked)
{
    if (refuseEmptyList()) return;
    CheckListBox* list = m_form.ListBox1;
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->isSelected(i)) list->setChecked(i, checked);
    }
}

void FoundListControl::ZaznaczIgnorujdlawszystkichplikw1Click() { markSelected(true); }

void FoundListControl::df1Click() { markSelected(false); }

void FoundListControl::ylkowyrzuzlistynieusuwaj1Click()
{
    if (refuseEmptyList()) return;
    // The list removes its checked lines in one pass; the files stay on disk.
    m_form.ListBox1->removeCheckedLines();
    m_form.Label11->setText(QStringLiteral("Zostało: "));
    m_form.Label50->setText(qs(filesText(m_form.ListBox1->count())));
    m_form.Label12->setText(QStringLiteral("Wyrzucono pliki z listy"));
}

void FoundListControl::Sortujlist1Click()
{
    m_form.ListBox1->setSorted(true);
    alertReset(m_form);
}

void FoundListControl::Wyczylist1Click()
{
    m_form.ListBox1->clearLines();
    m_form.ListBoxDodajPodejrzane.clear();
    m_form.Label12->setText(QStringLiteral("Wyczyszczono listę"));
    alertReset(m_form);
    const QString noFiles = qs(filesText(0));
    for (QLabel* counter : {m_form.Label48, m_form.Label50, m_form.Label53}) counter->setText(noFiles);
    m_form.Label57->setText(qs(kbText(0)));
}

} // namespace mtl::ui
