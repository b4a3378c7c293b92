#include "ui/app/settingsstore.h"

#include "core/app/settingslayout.h"
#include "core/common/errors.h"
#include "core/platform/dialogs.h"
#include "core/platform/registry.h"
#include "ui/app/searchform.h"
#include "ui/app/formstate.h"
#include "ui/platform/errorreport.h"
#include "ui/widgets/radiogroup.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

namespace mtl::ui {

namespace {

std::string stored(const QLineEdit* field) { return toBytes(field->text()); }

// The value of one `Ustawienia` entry, from the current state of the control that the layout
// names: the compression index as a number, texts as they stand, boxes and mode buttons as
// "1" or "0".
std::string valueOfControl(const TSearchForm& form, const SettingValue& setting)
{
    const QString name = QString::fromUtf8(setting.control.data(), qsizetype(setting.control.size()));
    const QObject* control = form.findChild<QObject*>(name);
    if (const auto* group = qobject_cast<const RadioGroup*>(control)) return std::to_string(group->itemIndex());
    if (const auto* field = qobject_cast<const QLineEdit*>(control)) return stored(field);
    if (const auto* box = qobject_cast<const QAbstractButton*>(control)) return box->isChecked() ? "1" : "0";
    // The layout and the window are built together; a name without its control is a defect.
    throw Error("Brak kontrolki " + name.toStdString() + " dla wartości " + std::string(setting.name) + ".");
}

} // namespace

SettingsControl::SettingsControl(TSearchForm& form) : QObject(&form), m_form(form)
{
    auto button = [this](QPushButton* control, void (SettingsControl::*handler)()) {
        connect(control, &QPushButton::clicked, this, [this, handler] { guarded(handler); });
    };
    button(form.ZapiszUstawienia, &SettingsControl::ZapiszUstawieniaClick);
    button(form.ZapiszWyborTrybu, &SettingsControl::ZapiszWyborTrybuClick);
    button(form.SpeedButton1, &SettingsControl::SpeedButton1Click);

    // toggled, not clicked: start-up sets the stored states from code, and a state that
    // changes must run the reaction as a user's click would.
    auto option = [this](QCheckBox* box, void (SettingsControl::*handler)()) {
        connect(box, &QCheckBox::toggled, this, [this, handler] { guarded(handler); });
    };
    option(form.CheckBoxSpeed, &SettingsControl::CheckBoxSpeedClick);
    option(form.CheckBox100, &SettingsControl::CheckBox100Click);
    option(form.CheckBox102, &SettingsControl::CheckBox102Click);
    option(form.CheckBox103, &SettingsControl::CheckBox103Click);
    option(form.CheckBox141, &SettingsControl::CheckBox141Click);
}

void SettingsControl::guarded(void (SettingsControl::*handler)())
{
    runGuarded(m_form.m_services.dialogs, [this, handler] { (this->*handler)(); });
}

// ---- Settings save ----------------------------------------------------------------------------

void SettingsControl::writeOptions()
{
    auto key = RegistryKey::open(m_form.m_services.registry, Hive::CurrentUser, programKey(kKeyUstawienia), true);
    for (const SettingValue& setting : settingsValues()) key.writeString(setting.name, valueOfControl(m_form, setting));
}

void SettingsControl::writeSettings()
{
    auto& registry = m_form.m_services.registry;
    writeOptions();
    {
        auto stats = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeySkanowan), true);
        stats.writeString("BAKKatalog", stored(m_form.Edit4));
        stats.writeString("LOGKatalog", stored(m_form.Edit5));
        stats.writeString("RozmiarIgnoral", stored(m_form.EditRozmiarIgnorowania));
    }
    {
        auto monitor = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyMonitor), true);
        monitor.writeString("Dysk", stored(m_form.EditDysk));
        monitor.writeString("Temporary", stored(m_form.EditTemporary));
        monitor.writeString("Load", "0");
    }
    // The shell menu entries and the monitor's autostart value come with the system
    // integration; until then the save leaves them as they are.
}

void SettingsControl::ZapiszUstawieniaClick()
{
    auto& dialogs = m_form.m_services.dialogs;
    try {
        writeSettings();
    } catch (const RegistryError&) {
        // What was written before the failure stays written.
        dialogs.message({"Błąd dostępu do rejestru. Nie masz uprawnień Administratora ?!", "Błąd      ",
                         MessageIcon::Error, MessageButtons::Ok});
        return;
    }
    dialogs.message({"Zapisano nowe ustawienia Miotlarza.\nZmiany będą wykonywane od następnego uruchomienia.",
                     "Zapisano      ", MessageIcon::Information, MessageButtons::Ok});
}

void SettingsControl::ZapiszWyborTrybuClick() { ZapiszUstawieniaClick(); }

// ---- Statistics reset ---------------------------------------------------------------------------

void SettingsControl::SpeedButton1Click()
{
    auto& dialogs = m_form.m_services.dialogs;
    const auto answer = dialogs.message(
        {"Wszystkie statystyki programu o przeprowadzonych skanowaniach,\nliczbie usuniętych plików i ich rozmiar, "
         "zostaną wykasowane !\n\nCzy chcesz kontynuować i wykasować statystyki ?",
         "Ostrzeżenie      ", MessageIcon::Warning, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return;

    auto& registry = m_form.m_services.registry;
    try {
        // Not created: without the key there are no stored statistics to clear.
        auto stats = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeySkanowan), false);
        for (const char* name : {"Liczba", "Data", "Skasowano", "SkasowanoMB"}) stats.writeString(name, "0");
        auto deleted = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyUsunieto), true);
        deleted.writeString("ListBox", "0");
    } catch (const Error& error) {
        // The counters on screen are cleared all the same.
        showGeneralError(dialogs, error);
    }

    for (QLabel* counter : {m_form.Label15, m_form.Label16, m_form.Label20, m_form.Label22, m_form.Label26})
        counter->setText(QStringLiteral("0"));
    m_form.Edit1 = QStringLiteral("0");
    m_form.ListBox2.clear();
    m_form.ListBox3.clear();
}

// ---- Option reactions ---------------------------------------------------------------------------

void SettingsControl::CheckBoxSpeedClick()
{
    // Work monitoring off: no log, no report, no attribute clearing, the fastest packing.
    if (!m_form.CheckBoxSpeed->isChecked()) return;
    m_form.CheckBox100->setChecked(false);
    m_form.CheckBox102->setChecked(false);
    m_form.CheckBox103->setChecked(false);
    m_form.rgCompressionLevel->setItemIndex(0);
}

void SettingsControl::CheckBox100Click()
{
    if (m_form.CheckBox100->isChecked()) m_form.CheckBoxSpeed->setChecked(false);
}

void SettingsControl::CheckBox102Click()
{
    if (m_form.CheckBox102->isChecked()) m_form.CheckBoxSpeed->setChecked(false);
}

void SettingsControl::CheckBox103Click()
{
    if (m_form.CheckBox103->isChecked()) m_form.CheckBoxSpeed->setChecked(false);
}

void SettingsControl::CheckBox141Click()
{
    m_form.EditRozmiarIgnorowania->setEnabled(m_form.CheckBox141->isChecked());
}

} // namespace mtl::ui
