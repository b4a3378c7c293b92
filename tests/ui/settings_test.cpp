// The settings store driven through the window: the save behind both "Zastosuj wprowadzone
// zmiany" buttons and what the next start reads back, registry failures during the save, the
// statistics reset and the option reactions, also as start-up applies stored values.
#include "formfixture.h"

#include "core/app/settingslayout.h"
#include "ui/widgets/radiogroup.h"

#include <QtTest>

#include <filesystem>

using namespace mtl;
using namespace mtl::test;

namespace {

const char* const kSaved = "Zapisano nowe ustawienia Miotlarza.\nZmiany będą wykonywane od następnego uruchomienia.";
const char* const kRegistryFailure = "Błąd dostępu do rejestru. Nie masz uprawnień Administratora ?!";
const char* const kResetQuestion =
    "Wszystkie statystyki programu o przeprowadzonych skanowaniach,\nliczbie usuniętych plików i ich rozmiar, "
    "zostaną wykasowane !\n\nCzy chcesz kontynuować i wykasować statystyki ?";

std::vector<FakeRegistry::Write> writesUnder(const FakeRegistry& registry, const std::string& key)
{
    std::vector<FakeRegistry::Write> result;
    for (const auto& write : registry.writes)
        if (write.hive == Hive::CurrentUser && write.key == key) result.push_back(write);
    return result;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

    TSearchForm& form() const { return *f->form; }
    FakeRegistry& registry() const { return f->platform.registry; }
    std::string stored(const std::string& key, const char* name) const
    {
        return registry().value(Hive::CurrentUser, key, name);
    }
    // Options away from their design state, on every kind of control the save reads.
    void changeOptions()
    {
        form().RadioButton3->setChecked(true);
        form().rgCompressionLevel->setItemIndex(2);
        form().EditAntywirus->setText(QStringLiteral("/usr/bin/skaner"));
        form().EditWiekBazy->setText(QStringLiteral("30"));
        form().CheckBox102->setChecked(true);
        form().CheckBox145->setChecked(false);
        form().CheckBoxDzwieki->setChecked(false);
        form().CheckBox141->setChecked(false);
        form().EditRozmiarIgnorowania->setText(QStringLiteral("abc"));
        form().Edit4->setText(QString::fromStdString(f->platform.scratch().string() + "/kopie/"));
        form().Edit5->setText(QString::fromStdString(f->platform.scratch().string() + "/logi/"));
        form().EditDysk->setText(QStringLiteral("/dane/"));
        form().EditTemporary->setText(QStringLiteral("/tmp/"));
        f->platform.dialogs.messages.clear();
        registry().writes.clear();
    }

private slots:
    void init()
    {
        f = std::make_unique<FormFixture>();
        f->storeUsualSettings();
        f->create();
        f->platform.dialogs.messages.clear();
        registry().writes.clear();
    }
    void cleanup() { f.reset(); }

    // ---- Settings save ----

    void saveWritesEveryValueInOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("tab Ustawienia") << "ZapiszUstawienia";
        QTest::newRow("tab Wybór trybu") << "ZapiszWyborTrybu";
    }
    void saveWritesEveryValueInOrder()
    {
        QFETCH(QString, button);
        changeOptions();
        const QString bakBefore = form().LabelBAK_Katalog;

        f->get<QPushButton>(button.toLatin1().constData())->click();

        const auto options = writesUnder(registry(), kSettingsKey);
        QCOMPARE(options.size(), settingsValues().size());
        const std::map<std::string, std::string> changed = {
            {"Kompresja", "2"},    {"Antywirus", "/usr/bin/skaner"}, {"WiekBazy", "30"}, {"AutoHTML", "1"},
            {"Ukryty", "0"},       {"Dzwieki", "0"},                 {"Ignorowanie", "0"}, {"Zaawansowany", "1"},
            {"Bezpieczny", "0"},
        };
        for (std::size_t i = 0; i < options.size(); ++i) {
            const auto& layout = settingsValues()[i];
            QCOMPARE(options[i].name, std::string(layout.name));
            const auto other = changed.find(options[i].name);
            QCOMPARE(options[i].value, other != changed.end() ? other->second : std::string(layout.designValue));
        }
        const auto stats = writesUnder(registry(), kStatsKey);
        QCOMPARE(stats.size(), std::size_t(3));
        QCOMPARE(stats[0].name + "=" + stats[0].value, "BAKKatalog=" + form().Edit4->text().toStdString());
        QCOMPARE(stats[1].name + "=" + stats[1].value, "LOGKatalog=" + form().Edit5->text().toStdString());
        // Stored as the field holds it: nothing is validated.
        QCOMPARE(stats[2].name + "=" + stats[2].value, std::string("RozmiarIgnoral=abc"));
        const auto monitor = writesUnder(registry(), kMonitorKey);
        QCOMPARE(monitor.size(), std::size_t(3));
        QCOMPARE(monitor[0].name + "=" + monitor[0].value, std::string("Dysk=/dane/"));
        QCOMPARE(monitor[1].name + "=" + monitor[1].value, std::string("Temporary=/tmp/"));
        QCOMPARE(monitor[2].name + "=" + monitor[2].value, std::string("Load=0"));
        // Nothing outside the program's keys yet: the system integration is not built.
        QCOMPARE(registry().writes.size(), options.size() + 6);

        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        const auto& shown = f->platform.dialogs.messages[0];
        QCOMPARE(shown.text, std::string(kSaved));
        QVERIFY(QString::fromStdString(shown.title).startsWith(QStringLiteral("Zapisano ")));
        QVERIFY(shown.icon == MessageIcon::Information);
        // The folders in use change only at the next start.
        QCOMPARE(form().LabelBAK_Katalog, bakBefore);
    }

    void savedSettingsAreReadBackAtTheNextStart()
    {
        changeOptions();
        form().ZapiszUstawienia->click();
        const QString bak = form().Edit4->text();
        f->form.reset();

        f->create();
        TSearchForm& next = form();
        QVERIFY(next.RadioButton3->isChecked());
        QVERIFY(!next.RadioButton4->isChecked());
        QCOMPARE(next.rgCompressionLevel->itemIndex(), 2);
        QCOMPARE(next.EditAntywirus->text(), QStringLiteral("/usr/bin/skaner"));
        QCOMPARE(next.EditWiekBazy->text(), QStringLiteral("30"));
        QVERIFY(next.CheckBox102->isChecked());
        QVERIFY(!next.CheckBox145->isChecked());
        QVERIFY(!next.CheckBoxDzwieki->isChecked());
        QVERIFY(next.CheckBox100->isChecked());
        QVERIFY(!next.CheckBoxSpeed->isChecked());
        QVERIFY(!next.CheckBox141->isChecked());
        QVERIFY(!next.EditRozmiarIgnorowania->isEnabled());
        QCOMPARE(next.EditRozmiarIgnorowania->text(), QStringLiteral("abc"));
        QCOMPARE(next.LabelBAK_Katalog, bak);
        QCOMPARE(next.Edit4->text(), bak);
        QCOMPARE(next.EditDysk->text(), QStringLiteral("/dane/"));
        QCOMPARE(next.EditTemporary->text(), QStringLiteral("/tmp/"));
    }

    void registryFailureEndsTheSaveWhereItHappens_data()
    {
        QTest::addColumn<QString>("failingKey");
        QTest::addColumn<int>("optionWrites");
        QTest::addColumn<int>("statsWrites");
        QTest::newRow("Ustawienia") << QString::fromStdString(kSettingsKey) << 0 << 0;
        QTest::newRow("Skanowan") << QString::fromStdString(kStatsKey) << 29 << 0;
        QTest::newRow("Monitor") << QString::fromStdString(kMonitorKey) << 29 << 3;
    }
    void registryFailureEndsTheSaveWhereItHappens()
    {
        QFETCH(QString, failingKey);
        QFETCH(int, optionWrites);
        QFETCH(int, statsWrites);
        changeOptions();
        registry().failChangesUnder(Hive::CurrentUser, failingKey.toStdString());

        form().ZapiszUstawienia->click();

        QCOMPARE(int(writesUnder(registry(), kSettingsKey).size()), optionWrites);
        QCOMPARE(int(writesUnder(registry(), kStatsKey).size()), statsWrites);
        QVERIFY(writesUnder(registry(), kMonitorKey).empty());
        // What was written before the failure stays.
        if (optionWrites) QCOMPARE(stored(kSettingsKey, "Zaawansowany"), std::string("1"));
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        const auto& shown = f->platform.dialogs.messages[0];
        QCOMPARE(shown.text, std::string(kRegistryFailure));
        QVERIFY(QString::fromStdString(shown.title).startsWith(QStringLiteral("Błąd ")));
        QVERIFY(shown.icon == MessageIcon::Error);
        QVERIFY(shown.buttons == MessageButtons::Ok);
    }

    // ---- Statistics reset ----

    void resetAnswered_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void resetAnswered()
    {
        QFETCH(bool, yes);
        form().ListBox2 = QStringList{QStringLiteral("100"), QStringLiteral("200")};
        form().ListBox3 = QStringList{QStringLiteral("300")};
        f->platform.dialogs.answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};

        form().SpeedButton1->click();

        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        const auto& asked = f->platform.dialogs.messages[0];
        QCOMPARE(asked.text, std::string(kResetQuestion));
        QVERIFY(QString::fromStdString(asked.title).startsWith(QStringLiteral("Ostrzeżenie")));
        QVERIFY(asked.icon == MessageIcon::Warning);
        QVERIFY(asked.buttons == MessageButtons::YesNo);
        if (!yes) {
            QVERIFY(registry().writes.empty());
            QCOMPARE(f->text("Label16"), QStringLiteral("7"));
            QCOMPARE(f->text("Label15"), QStringLiteral("3"));
            QCOMPARE(form().ListBox2.size(), 2);
            return;
        }
        for (const char* name : {"Label15", "Label16", "Label20", "Label22", "Label26"})
            QCOMPARE(f->text(name), QStringLiteral("0"));
        QCOMPARE(form().Edit1, QStringLiteral("0"));
        QVERIFY(form().ListBox2.isEmpty());
        QVERIFY(form().ListBox3.isEmpty());
        for (const char* name : {"Liczba", "Data", "Skasowano", "SkasowanoMB"})
            QCOMPARE(stored(kStatsKey, name), std::string("0"));
        QCOMPARE(stored(kDeletedKey, "ListBox"), std::string("0"));
        // The folders of the same key are left alone.
        QCOMPARE(stored(kStatsKey, "RozmiarIgnoral"), std::string("2570000"));
    }

    void resetWhenStatisticsCannotBeWrittenStillClearsTheCounters_data()
    {
        QTest::addColumn<bool>("keyMissing");
        QTest::newRow("write refused") << false;
        QTest::newRow("key missing") << true;
    }
    void resetWhenStatisticsCannotBeWrittenStillClearsTheCounters()
    {
        QFETCH(bool, keyMissing);
        if (keyMissing) registry().deleteKey(Hive::CurrentUser, kStatsKey);
        else registry().failChangesUnder(Hive::CurrentUser, kStatsKey);
        registry().writes.clear();
        f->platform.dialogs.answers = {MessageAnswer::Yes};

        form().SpeedButton1->click();

        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(2));
        const auto& failure = f->platform.dialogs.messages[1];
        QCOMPARE(failure.title, std::string(kApplicationTitle));
        QVERIFY(failure.icon == MessageIcon::Error);
        QVERIFY(!failure.text.empty());
        QVERIFY(registry().writes.empty());
        QVERIFY(!registry().keyExists(Hive::CurrentUser, kStatsKey) || stored(kStatsKey, "Liczba") == "7");
        for (const char* name : {"Label15", "Label16", "Label20", "Label22", "Label26"})
            QCOMPARE(f->text(name), QStringLiteral("0"));
        QCOMPARE(form().Edit1, QStringLiteral("0"));
    }

    // ---- Option reactions ----

    void speedOptionClearsTheMonitoringOptions()
    {
        form().CheckBox102->setChecked(true);
        form().rgCompressionLevel->setItemIndex(3);
        QVERIFY(form().CheckBox100->isChecked() && form().CheckBox103->isChecked());

        form().CheckBoxSpeed->click();

        QVERIFY(form().CheckBoxSpeed->isChecked());
        QVERIFY(!form().CheckBox100->isChecked());
        QVERIFY(!form().CheckBox102->isChecked());
        QVERIFY(!form().CheckBox103->isChecked());
        QCOMPARE(form().rgCompressionLevel->itemIndex(), 0);

        // Unchecking it changes nothing else.
        form().rgCompressionLevel->setItemIndex(2);
        form().CheckBoxSpeed->click();
        QVERIFY(!form().CheckBox100->isChecked());
        QCOMPARE(form().rgCompressionLevel->itemIndex(), 2);
        QVERIFY(f->platform.dialogs.messages.empty());
    }

    void monitoringOptionUnchecksSpeedOnly_data()
    {
        QTest::addColumn<QString>("option");
        for (const char* name : {"CheckBox100", "CheckBox102", "CheckBox103"}) QTest::newRow(name) << name;
    }
    void monitoringOptionUnchecksSpeedOnly()
    {
        QFETCH(QString, option);
        form().CheckBoxSpeed->click();
        form().rgCompressionLevel->setItemIndex(1);

        f->get<QCheckBox>(option.toLatin1().constData())->click();

        QVERIFY(!form().CheckBoxSpeed->isChecked());
        for (QCheckBox* box : {form().CheckBox100, form().CheckBox102, form().CheckBox103})
            QCOMPARE(box->isChecked(), box->objectName() == option);
        QCOMPARE(form().rgCompressionLevel->itemIndex(), 1);
    }

    void thresholdFieldFollowsAutoIgnore()
    {
        QVERIFY(form().CheckBox141->isChecked());
        QVERIFY(form().EditRozmiarIgnorowania->isEnabled());
        form().CheckBox141->click();
        QVERIFY(!form().EditRozmiarIgnorowania->isEnabled());
        form().CheckBox141->click();
        QVERIFY(form().EditRozmiarIgnorowania->isEnabled());
    }

    void storedOptionsRunTheReactionsAtStartUp_data()
    {
        QTest::addColumn<QString>("speedUp");
        QTest::addColumn<bool>("speed");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<int>("compression");
        QTest::newRow("SpeedUp 1 wins over AutoLog 1") << "1" << true << false << 0;
        QTest::newRow("SpeedUp 0 keeps them") << "0" << false << true << 3;
    }
    void storedOptionsRunTheReactionsAtStartUp()
    {
        QFETCH(QString, speedUp);
        QFETCH(bool, speed);
        QFETCH(bool, monitoring);
        QFETCH(int, compression);
        f->form.reset();
        f->setting("Kompresja", "3");
        f->setting("AutoLog", "1");
        f->setting("AutoHTML", "1");
        f->setting("AutoAtrybut", "1");
        f->setting("SpeedUp", speedUp.toStdString());
        f->setting("Ignorowanie", "0");
        f->create();

        QCOMPARE(form().CheckBoxSpeed->isChecked(), speed);
        QCOMPARE(form().CheckBox100->isChecked(), monitoring);
        QCOMPARE(form().CheckBox102->isChecked(), monitoring);
        QCOMPARE(form().CheckBox103->isChecked(), monitoring);
        QCOMPARE(form().rgCompressionLevel->itemIndex(), compression);
        QVERIFY(!form().EditRozmiarIgnorowania->isEnabled());
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
