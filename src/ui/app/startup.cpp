// Start-up and shut-down of the main window: creation (the data folder check, stored
// settings and statistics, lists and signature, or the database failure state), the first
// show, the close button and destruction with the statistics writes.
#include "ui/app/searchform.h"

#include "core/app/requiredfiles.h"
#include "core/app/settingslayout.h"
#include "core/common/countertext.h"
#include "core/common/errors.h"
#include "core/common/linelist.h"
#include "core/common/timestamp.h"
#include "core/filters/objectstream.h"
#include "core/filters/scanmodes.h"
#include "core/filters/signature.h"
#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/programfolder.h"
#include "core/platform/registry.h"
#include "ui/app/formstate.h"
#include "ui/filters/descriptionslist.h"
#include "ui/platform/errorreport.h"
#include "ui/scan/scancontrol.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/filelistbox.h"
#include "ui/widgets/radiogroup.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <system_error>

using namespace mtl;
using mtl::ui::qs;

namespace {

constexpr const char* kAutosaveFile = "autosave.mff";
constexpr const char* kAnimationFile = "monitor.avi";
constexpr const char* kAnimationResource = ":/MONITOR";

struct FlagBinding {
    const char* value;
    QCheckBox* TSearchForm::*control;
};

// The flags in the order start-up applies them.
constexpr FlagBinding kFlags[] = {
    {"IntegrujMenu", &TSearchForm::CheckBox1},     {"AutoLog", &TSearchForm::CheckBox100},
    {"Podpowiedzi", &TSearchForm::CheckBox99},     {"Podfoldery", &TSearchForm::cbRecursive},
    {"AutoHTML", &TSearchForm::CheckBox102},       {"AutoAtrybut", &TSearchForm::CheckBox103},
    {"AutoKopia", &TSearchForm::CheckBox122},      {"Ignorowanie", &TSearchForm::CheckBox141},
    {"SpeedUp", &TSearchForm::CheckBoxSpeed},      {"Dzwieki", &TSearchForm::CheckBoxDzwieki},
    {"UpdateInfo", &TSearchForm::CheckBoxUpdate},  {"TylkoOdczyt", &TSearchForm::CheckBox144},
    {"Ukryty", &TSearchForm::CheckBox145},         {"Systemowy", &TSearchForm::CheckBox146},
    {"Archiwalny", &TSearchForm::CheckBox148},     {"BezAtrybutu", &TSearchForm::CheckBox149},
};

// "1" checks, "0" unchecks, any other text leaves the design state. Setting a state that
// differs runs the control's reaction through its toggled signal, as a user's click would.
void applyFlag(QCheckBox* box, const std::string& value)
{
    if (value == "1") box->setChecked(true);
    else if (value == "0") box->setChecked(false);
}

void applyStoredSettings(TSearchForm& form, RegistryKey& settings)
{
    if (const std::string kompresja = settings.readString("Kompresja"); !kompresja.empty()) {
        // Only the save writes this value, always as one digit; anything else keeps the design choice.
        try {
            const auto index = parseInteger(kompresja);
            if (index >= 0 && index < form.rgCompressionLevel->itemCount()) form.rgCompressionLevel->setItemIndex(int(index));
        } catch (const ConversionError&) {
        }
    }
    form.EditSkin->setText(qs(settings.readString("Skin")));
    form.EditAntywirus->setText(qs(settings.readString("Antywirus")));
    form.EditWiekBazy->setText(qs(settings.readString("WiekBazy")));

    for (const auto& flag : kFlags) applyFlag(form.*flag.control, settings.readString(flag.value));

    for (const auto& mode : scanModes()) {
        const std::string value = settings.readString(mode.key);
        QRadioButton* button = ui::modeButton(form, mode);
        if (value == "1") {
            button->setChecked(true);
            form.loadModeList(mode);
        } else if (value == "0") {
            ui::uncheckRadio(button);
        }
    }
}

void loadStatisticsAndSettings(TSearchForm& form, Registry& registry)
{
    {
        const auto stats = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeySkanowan), false);
        form.Label16->setText(qs(stats.readString("Liczba")));
        form.Label20->setText(qs(stats.readString("Skasowano")));
        form.Label22->setText(qs(stats.readString("Data")));
        form.Label26->setText(qs(stats.readString("SkasowanoMB")));
        form.LabelLOG_Katalog = qs(stats.readString("LOGKatalog"));
        form.LabelBAK_Katalog = qs(stats.readString("BAKKatalog"));
        form.EditRozmiarIgnorowania->setText(qs(stats.readString("RozmiarIgnoral")));
    }
    if (const auto deleted = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyUsunieto), false);
        deleted.isOpen()) {
        form.Label15->setText(qs(deleted.readString("Listbox")));
    }
    if (const auto monitor = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyMonitor), false);
        monitor.isOpen()) {
        form.EditDysk->setText(qs(monitor.readString("Dysk")));
        form.EditTemporary->setText(qs(monitor.readString("Temporary")));
    }
    if (auto settings = RegistryKey::open(registry, Hive::CurrentUser, programKey(kKeyUstawienia), false);
        settings.isOpen()) {
        applyStoredSettings(form, settings);
        const auto run = RegistryKey::open(registry, Hive::LocalMachine, std::string(kRunKey), false);
        form.CheckBox2->setChecked(run.valueExists("MTL_Mon"));
    }
}

void setDerivedFields(TSearchForm& form)
{
    form.Edit4->setText(form.LabelBAK_Katalog);
    form.Edit5->setText(form.LabelLOG_Katalog);
    form.ListBox2.append(form.Label20->text());
    form.Edit1 = form.Label20->text();
    form.FileListBox1->setDirectory(form.LabelBAK_Katalog);
    form.FileListBox2->setDirectory(form.LabelLOG_Katalog);
}

void checkLogFolder(TSearchForm& form, Dialogs& dialogs)
{
    // The Windows program's "C:\" and "C:\\" are "/" and "//" here: no folder chosen.
    const QString folder = form.Edit5->text();
    if (folder.isEmpty() || folder == u"/" || folder == u"//") {
        form.Edit5->setText(QString::fromStdString(homeFolder().string()));
        dialogs.message({"Katalog na pliki kopii zapasowej lub raportów nie istnieje !\nProszę go ustawić w programie.",
                         "Błąd      ", MessageIcon::Error, MessageButtons::Ok});
    }
}

void setSignatureLabels(TSearchForm& form, const Signature& signature)
{
    form.Sygnatura_WersjaCODE->setText(qs(signature.code + "-"));
    form.Sygnatura_WersjaMODE->setText(qs(signature.mode));
    form.Sygnatura_Data->setText(qs(signature.date));
    form.KeyID = qs(signature.key);
    form.Sygnatura_Uzywane->setText(qs(signature.used));
    form.Sygnatura_Wszystkie->setText(qs(signature.all));
    form.Sygnatura_Spyware->setText(qs(signature.spyware));
    form.Sygnatura_Pornware->setText(qs(signature.pornware));
}

// Lists and signature. Returns false when the databases cannot be used.
bool loadDatabases(TSearchForm& form, const Services& services)
{
    const auto filters = services.filtersFolder();
    try {
        ui::fillDescriptionsList(*form.ListView, readDescriptionsFile(filters / "filtr_opisy.dat"));
        form.ListaIgnorowania->setLines(ui::toQStringList(readLineList(filters / "filtr_ignoralplik.dat", LineText::Bytes)));
        form.ListBoxIgnorujTypy->setLines(ui::toQStringList(readLineList(filters / "filtr_ignoraltyp.dat")));
    } catch (const Error& error) {
        // A required file that exists but cannot be read or is damaged leaves the data set as
        // unusable as a missing one: say what failed, then refuse to scan.
        ui::showGeneralError(services.dialogs, error);
        return false;
    }
    ui::setTextColor(form.Sygnatura_Status, QColor(0, 128, 0));
    form.Sygnatura_Status->setText(QStringLiteral("Bazy załadowane - OK"));
    const Signature signature = readSignature(filters / "sygn.dll");
    setSignatureLabels(form, signature);
    return signatureKeyMatches(form.KeyID.toStdString());
}

void enterDatabaseFailure(TSearchForm& form, Dialogs& dialogs)
{
    for (QLabel* label : {form.Sygnatura_Data, form.Sygnatura_WersjaCODE, form.Sygnatura_Uzywane,
                          form.Sygnatura_Wszystkie, form.Sygnatura_Spyware, form.Sygnatura_Pornware}) {
        label->setText(QStringLiteral("( ! )"));
    }
    form.Sygnatura_WersjaMODE->setText(QStringLiteral("0"));
    ui::setTextColor(form.Sygnatura_Status, QColor(255, 0, 0));
    form.Sygnatura_Status->setText(QStringLiteral("Bazy są uszkodzone !"));
    form.RozpocznijSkanowanie->hide();
    form.Label12->setText(QStringLiteral("Nie można skanować !"));
    dialogs.message({"Sygnatury są uszkodzone lub brakujące !\nSkanowanie nie może być kontynuowane.\nProszę "
                     "zainstalować ponownie program lub pobrać nowe bazy.",
                     "Uszkodzone sygnatury !      ", MessageIcon::Error, MessageButtons::Ok});
}

// The animation is part of the program; it is written out so that the control plays a file,
// and played straight from the program when its folder cannot be written.
void prepareAnimation(TSearchForm& form, const Services& services)
{
    const QString target = QString::fromStdString((services.programFolder / kAnimationFile).string());
    QFile::remove(target);
    const bool written = QFile::copy(QString::fromLatin1(kAnimationResource), target);
    if (written) QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    form.Animacja->open(written ? target : QString::fromLatin1(kAnimationResource));
}

} // namespace

void TSearchForm::FormCreate()
{
    const bool complete = !firstMissingDataFile(m_services.filtersFolder()).has_value();
    bool usable = false;
    if (complete) {
        loadStatisticsAndSettings(*this, m_services.registry);
        setDerivedFields(*this);
        checkLogFolder(*this, m_services.dialogs);
        usable = loadDatabases(*this, m_services);
    }
    if (!usable) enterDatabaseFailure(*this, m_services.dialogs);

    Label_Ignorowan->setText(QString::number(ListaIgnorowania->count()));
    Label_IgnorowanTypy->setText(QString::number(ListBoxIgnorujTypy->count()));
    Label_LiczbaFiltrow->setText(QString::number(ListBoxFiltry->count()));
    prepareAnimation(*this, m_services);
}

void TSearchForm::FormShow()
{
    const auto autosave = m_services.programFolder / kAutosaveFile;
    std::error_code ec;
    if (std::filesystem::exists(autosave, ec)) {
        m_services.dialogs.message({"Podczas ostatniego skanowania wystąpił błąd !\nLista znalezionych plików została "
                                    "zapisana.\nZostanie ona teraz wczytana ponownie...",
                                    "Przywracanie listy wyników      ", MessageIcon::Information, MessageButtons::Ok});
        ListBox1->setLines(ui::toQStringList(readLineList(autosave, LineText::Bytes)));
        Label11->setText(QStringLiteral("Wczytanych: "));
        Label50->setText(qs(filesText(ListBox1->count())));
        return;
    }
    Animacja->open(Animacja->fileName());
    ui::setHintDuration(*this, 6000);
    scan->commandLineScan();
}

void TSearchForm::Button1Click()
{
    if (scan->closeWhileScanning()) return;
    DataSystemowa = qs(timeStamp(m_services.clock.now()));
    LabelIloscZnalez = ListBoxLiczbaZnalez.isEmpty() ? QStringLiteral("0") : ListBoxLiczbaZnalez.last();
    emit endRequested();
}

void TSearchForm::FormDestroy()
{
    if (!RozpocznijSkanowanie->isHidden()) {
        auto stats = RegistryKey::open(m_services.registry, Hive::CurrentUser, programKey(kKeySkanowan), false);
        // Only the settings save creates this key; without it there is nowhere to write to.
        if (stats.isOpen()) {
            stats.writeString("Liczba", Label16->text().toStdString());
            stats.writeString("Skasowano", Label20->text().toStdString());
            stats.writeString("Data", Label22->text().toStdString());
            stats.writeString("SkasowanoMB", Label26->text().toStdString());
            stats.writeString("email", "pomoc@kestrava.pl");
            stats.writeString("www", "http://www.kestrava.pl");
            stats.writeString("producent", "Kestrava");
        }
        auto deleted = RegistryKey::open(m_services.registry, Hive::CurrentUser, programKey(kKeyUsunieto), true);
        deleted.writeString("ListBox", Label15->text().toStdString());
    }
    std::error_code ec;
    std::filesystem::remove(m_services.programFolder / kAutosaveFile, ec);
    ui::clearWorkingLists(*this);
}

TSearchForm::~TSearchForm()
{
    ui::runGuarded(m_services.dialogs, [this] { FormDestroy(); });
}
