// Start-up and shut-down of the main window, driven through the platform doubles.
#include "formfixture.h"

#include "core/common/linelist.h"
#include "core/platform/programfolder.h"
#include "core/platform/registry.h"
#include "ui/app/program.h"
#include "ui/backup/form7.h"
#include "ui/backup/form9.h"
#include "ui/filters/form8.h"
#include "ui/results/form1.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/radiogroup.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace mtl;
using namespace mtl::test;

namespace {
const char* const kFailureText =
    "Sygnatury są uszkodzone lub brakujące !\nSkanowanie nie może być kontynuowane.\nProszę zainstalować "
    "ponownie program lub pobrać nowe bazy.";
const char* const kLogFolderText =
    "Katalog na pliki kopii zapasowej lub raportów nie istnieje !\nProszę go ustawić w programie.";

void checkFailureState(FormFixture& f)
{
    QVERIFY(f.form->RozpocznijSkanowanie->isHidden());
    QCOMPARE(f.text("Sygnatura_Status"), QStringLiteral("Bazy są uszkodzone !"));
    QCOMPARE(f.get<QLabel>("Sygnatura_Status")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(f.text("Label12"), QStringLiteral("Nie można skanować !"));
    for (const char* name : {"Sygnatura_Data", "Sygnatura_WersjaCODE", "Sygnatura_Uzywane", "Sygnatura_Wszystkie",
                             "Sygnatura_Spyware", "Sygnatura_Pornware"}) {
        QCOMPARE(f.text(name), QStringLiteral("( ! )"));
    }
    QCOMPARE(f.text("Sygnatura_WersjaMODE"), QStringLiteral("0"));
    const auto& last = f.platform.dialogs.messages.back();
    QCOMPARE(QString::fromStdString(last.text), QString::fromUtf8(kFailureText));
    QVERIFY(QString::fromStdString(last.title).startsWith(QStringLiteral("Uszkodzone sygnatury !")));
    QVERIFY(last.icon == MessageIcon::Error);
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void missingRequiredFileEntersFailureStateWithoutLoadingSettings_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {"sygn.dll", "filtr_user.dat", "filtr_a1.dat", "filtr_a2.dat", "filtr_a3.dat",
                                 "filtr_exp-a1.dat", "filtr_exp-a2.dat", "filtr_exp-a3.dat", "filtr_pornware.dat",
                                 "filtr_spyware.dat", "filtr_ignoralplik.dat", "filtr_ignoraltyp.dat",
                                 "filtr_opisy.dat", "filtr_descript.dat"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void missingRequiredFileEntersFailureStateWithoutLoadingSettings()
    {
        QFETCH(QString, file);
        FormFixture f;
        f.storeUsualSettings();
        f.setting("Skin", "ciemna.skn");
        f.setting("Zaawansowany", "1");
        std::filesystem::remove(f.platform.filtersFolder() / file.toStdString());
        f.create();
        checkFailureState(f);
        // Nothing stored was applied: no skin, no statistics, no mode warning, no list.
        QCOMPARE(f.form->EditSkin->text(), QString());
        QCOMPARE(f.text("Label16"), QStringLiteral("0"));
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f.form->ListBoxFiltry->count(), 0);
        QVERIFY(f.form->RadioButton4->isChecked());
        // At exit the stored statistics are left alone.
        f.platform.registry.writes.clear();
        f.form.reset();
        QVERIFY(f.platform.registry.writes.empty());
        QCOMPARE(f.platform.registry.value(Hive::CurrentUser, kStatsKey, "Liczba"), std::string("7"));
    }

    void keyMismatchEntersFailureStateAfterLoading()
    {
        FormFixture f;
        f.storeUsualSettings();
        writeFile(f.platform.filtersFolder() / "sygn.dll",
                  "[vers]\ncode=1\nmode=2\n[sygn]\ndata=2026-12-01\n"
                  "key=qw7xrb2tmn5vcp3hzdk8gef-ls2yta9nbq4mxc7prkwevab-31\n");
        f.create();
        checkFailureState(f);
        QCOMPARE(f.form->KeyID, QStringLiteral("qw7xrb2tmn5vcp3hzdk8gef-ls2yta9nbq4mxc7prkwevab-31"));
        QCOMPARE(f.text("Label16"), QStringLiteral("7"));  // settings were loaded before the check
    }

    void damagedDescriptionsFileIsReportedAndRefusesScanning()
    {
        FormFixture f;
        f.storeUsualSettings();
        writeFile(f.platform.filtersFolder() / "filtr_opisy.dat", "not an object stream");
        f.create();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(2));
        QVERIFY(f.platform.dialogs.messages[0].icon == MessageIcon::Error);
        QCOMPARE(QString::fromStdString(f.platform.dialogs.messages[0].title), QStringLiteral("Miotlarz 9.0 Pro"));
        checkFailureState(f);
    }

    void usualStartLoadsStatisticsSignatureListsAndAnimation()
    {
        FormFixture f;
        f.storeUsualSettings();
        f.platform.registry.set(Hive::CurrentUser, kMonitorKey, "Dysk", "/mnt/dane/");
        f.platform.registry.set(Hive::CurrentUser, kMonitorKey, "Temporary", "/home/u/.cache/");
        f.platform.registry.set(Hive::LocalMachine, std::string(kRunKey), "MTL_Mon", "mtl_mon");
        writeLineList(f.platform.filtersFolder() / "filtr_ignoralplik.dat", std::vector<std::string>{"/a/b.tmp", "/c"});
        writeLineList(f.platform.filtersFolder() / "filtr_ignoraltyp.dat", std::vector<std::string>{"x*.log"});
        auto& form = f.create();

        QVERIFY(f.platform.dialogs.messages.empty());
        QVERIFY(!form.RozpocznijSkanowanie->isHidden());
        QCOMPARE(f.text("Label16"), QStringLiteral("7"));
        QCOMPARE(f.text("Label20"), QStringLiteral("123456"));
        QCOMPARE(f.text("Label22"), QStringLiteral("2026-12-01 10:00:00"));
        QCOMPARE(f.text("Label26"), QStringLiteral("120 KB / 0 MB"));
        QCOMPARE(f.text("Label15"), QStringLiteral("3"));
        QCOMPARE(form.EditDysk->text(), QStringLiteral("/mnt/dane/"));
        QCOMPARE(form.EditTemporary->text(), QStringLiteral("/home/u/.cache/"));
        QVERIFY(form.CheckBox2->isChecked());
        const QString scratch = QString::fromStdString(f.platform.scratch().string() + "/");
        QCOMPARE(form.Edit4->text(), scratch);
        QCOMPARE(form.Edit5->text(), scratch);
        QCOMPARE(form.ListBox2, QStringList{QStringLiteral("123456")});
        QCOMPARE(form.Edit1, QStringLiteral("123456"));

        QCOMPARE(f.text("Sygnatura_Status"), QStringLiteral("Bazy załadowane - OK"));
        QCOMPARE(f.get<QLabel>("Sygnatura_Status")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QVERIFY(f.text("Sygnatura_WersjaCODE").endsWith(u'-'));
        QCOMPARE(f.text("Sygnatura_Data"), QStringLiteral("2026-12-01"));
        QCOMPARE(form.KeyID, QStringLiteral("QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31"));

        QCOMPARE(form.ListaIgnorowania->lines(), (QStringList{QStringLiteral("/a/b.tmp"), QStringLiteral("/c")}));
        QCOMPARE(f.text("Label_Ignorowan"), QStringLiteral("2"));
        QCOMPARE(f.text("Label_IgnorowanTypy"), QStringLiteral("1"));
        QVERIFY(form.ListView->topLevelItemCount() > 0);

        QVERIFY(std::filesystem::exists(f.platform.programFolder() / "monitor.avi"));
        QCOMPARE(form.Animacja->frameCount(), 8);
        QVERIFY(!form.Animacja->isActive());
    }

    void flagsApplyOnlyOneAndZero_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("hints");   // CheckBox99, checked at design
        QTest::addColumn<bool>("html");    // CheckBox102, unchecked at design
        QTest::newRow("one") << "1" << true << true;
        QTest::newRow("zero") << "0" << false << false;
        QTest::newRow("empty") << "" << true << false;
        QTest::newRow("other") << "tak" << true << false;
        QTest::newRow("blank padded") << " 1" << true << false;
    }
    void flagsApplyOnlyOneAndZero()
    {
        QFETCH(QString, stored);
        QFETCH(bool, hints);
        QFETCH(bool, html);
        FormFixture f;
        f.storeUsualSettings();
        f.setting("Podpowiedzi", stored.toStdString());
        f.setting("AutoHTML", stored.toStdString());
        f.setting("Kompresja", "2");
        f.setting("Skin", "");
        f.setting("WiekBazy", "30");
        auto& form = f.create();
        QCOMPARE(form.CheckBox99->isChecked(), hints);
        QCOMPARE(form.CheckBox102->isChecked(), html);
        QCOMPARE(form.rgCompressionLevel->itemIndex(), 2);
        QCOMPARE(form.EditWiekBazy->text(), QStringLiteral("30"));
        // The hints switch ran when the flag changed the box: the start button keeps its hint,
        // the close button's follows the switch.
        QCOMPARE(form.Button1->toolTip().isEmpty(), !hints);
        QVERIFY(!form.RozpocznijSkanowanie->toolTip().isEmpty());
    }

    void storedAdvancedModeWarnsBeforeTheWindowIsShown()
    {
        FormFixture f;
        f.storeUsualSettings();
        f.setting("Bezpieczny", "0");
        f.setting("Zaawansowany", "1");
        int listAtWarning = -1;
        f.platform.dialogs.onMessage = [&](const MessageRequest&) {
            listAtWarning = f.form ? f.form->ListBoxFiltry->count() : -2;
        };
        auto& form = f.create();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.platform.dialogs.messages[0].title), QStringLiteral("Uwaga !! "));
        QVERIFY(f.platform.dialogs.messages[0].icon == MessageIcon::Warning);
        QCOMPARE(listAtWarning, -2);  // still inside the window's creation
        QVERIFY(!form.isVisible());
        QVERIFY(form.RadioButton3->isChecked());
        QVERIFY(!form.RadioButton4->isChecked());
        QCOMPARE(form.Label_EdytowanyTryb->text(), QStringLiteral("Zaawansowany"));
        const auto expected = readLineList(f.platform.filtersFolder() / "filtr_a3.dat");
        QCOMPARE(form.ListBoxFiltry->count(), int(expected.size()));
        QCOMPARE(f.text("Label_LiczbaFiltrow"), QString::number(expected.size()));
    }

    void storedSafeModeLoadsTheListWithoutItsReaction()
    {
        FormFixture f;
        f.storeUsualSettings();
        f.platform.writeFilter("filtr_a1.dat", masks(5));
        auto& form = f.create();
        QVERIFY(form.RadioButton4->isChecked());
        QCOMPARE(form.ListBoxFiltry->count(), 5);
        QCOMPARE(f.text("Label_LiczbaFiltrow"), QStringLiteral("5"));
        QCOMPARE(form.Label_EdytowanyTryb->text(), QStringLiteral("?"));
        QCOMPARE(form.LabelProgres, QStringLiteral("0"));
    }

    void noStoredSettingsBlanksStatisticsAndAsksForTheLogFolder()
    {
        FormFixture f;
        auto& form = f.create();
        for (const char* name : {"Label16", "Label20", "Label22", "Label26"}) QCOMPARE(f.text(name), QString());
        QCOMPARE(form.EditRozmiarIgnorowania->text(), QString());
        QCOMPARE(form.ListBoxFiltry->count(), 0);
        QCOMPARE(f.text("Label_LiczbaFiltrow"), QStringLiteral("0"));
        QVERIFY(form.CheckBox2->isChecked());  // design state: without settings the autostart is not looked up
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.platform.dialogs.messages[0].text), QString::fromUtf8(kLogFolderText));
        QVERIFY(QString::fromStdString(f.platform.dialogs.messages[0].title).startsWith(QStringLiteral("Błąd")));
        QCOMPARE(form.Edit5->text(), QString::fromStdString(homeFolder().string()));
    }

    void unsetLogFolderTexts_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("asks");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("root") << "/" << true;
        QTest::newRow("double root") << "//" << true;
        QTest::newRow("a folder") << "/var/log/" << false;
    }
    void unsetLogFolderTexts()
    {
        QFETCH(QString, folder);
        QFETCH(bool, asks);
        FormFixture f;
        f.storeUsualSettings();
        f.platform.registry.set(Hive::CurrentUser, kStatsKey, "LOGKatalog", folder.toStdString());
        auto& form = f.create();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(asks ? 1 : 0));
        QCOMPARE(form.Edit5->text(), asks ? QString::fromStdString(homeFolder().string()) : folder);
    }

    void recoveryBranchReloadsTheListAndExitRemovesIt()
    {
        FormFixture f;
        f.storeUsualSettings();
        const auto autosave = f.platform.programFolder() / "autosave.mff";
        writeFile(autosave, "/home/u/a.tmp\r\n/home/u/b.tmp\r\n/home/u/c.tmp\r\n");
        auto& form = f.create({"/home/u"});
        form.show();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(f.platform.dialogs.messages[0].title).startsWith(QStringLiteral("Przywracanie listy wyników")));
        QVERIFY(f.platform.dialogs.messages[0].icon == MessageIcon::Information);
        QCOMPARE(form.ListBox1->count(), 3);
        QCOMPARE(form.ListBox1->line(1), QStringLiteral("/home/u/b.tmp"));
        QCOMPARE(f.text("Label11"), QStringLiteral("Wczytanych: "));
        QCOMPARE(f.text("Label50"), QStringLiteral("3 plików"));
        f.form.reset();
        QVERIFY(!std::filesystem::exists(autosave));
    }

    void destructionWritesStatisticsFromTheLabels()
    {
        FormFixture f;
        f.storeUsualSettings();
        auto& form = f.create();
        form.Label16->setText(QStringLiteral("8"));
        form.Label15->setText(QStringLiteral("4"));
        f.form.reset();
        auto& r = f.platform.registry;
        QCOMPARE(r.value(Hive::CurrentUser, kStatsKey, "Liczba"), std::string("8"));
        QCOMPARE(r.value(Hive::CurrentUser, kStatsKey, "Skasowano"), std::string("123456"));
        QCOMPARE(r.value(Hive::CurrentUser, kStatsKey, "producent"), std::string("Kestrava"));
        QVERIFY(!r.value(Hive::CurrentUser, kStatsKey, "email").empty());
        QCOMPARE(r.value(Hive::CurrentUser, kDeletedKey, "ListBox"), std::string("4"));
    }

    void destructionWithoutStatisticsKeyStillCreatesTheDeletedKey()
    {
        FormFixture f;
        f.setting("Bezpieczny", "1");
        f.create();
        f.form->Label15->setText(QStringLiteral("2"));
        f.form.reset();
        QVERIFY(!f.platform.registry.keyExists(Hive::CurrentUser, kStatsKey));
        QCOMPARE(f.platform.registry.value(Hive::CurrentUser, kDeletedKey, "ListBox"), std::string("2"));
    }

    void failedStatisticsWriteIsReportedNotFatal()
    {
        FormFixture f;
        f.storeUsualSettings();
        f.create();
        f.platform.registry.failChangesUnder(Hive::CurrentUser, kStatsKey);
        f.form.reset();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.platform.dialogs.messages[0].title), QStringLiteral("Miotlarz 9.0 Pro"));
    }

    void closeButtonStampsTheTimeAndEndsTheProgram()
    {
        FormFixture f;
        f.storeUsualSettings();
        auto& form = f.create();
        QSignalSpy ended(&form, &TSearchForm::endRequested);
        f.platform.clock.current = DateTime{2026, 12, 11, 9, 5, 7, 0};
        form.Button1->click();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(form.DataSystemowa, QStringLiteral("2026-12-11 09-05-07"));
        QCOMPARE(form.LabelIloscZnalez, QStringLiteral("0"));
    }

    void commandLineStartInTheFailureStateEndsAfterTheMessage()
    {
        FormFixture f;
        f.storeUsualSettings();
        std::filesystem::remove(f.platform.filtersFolder() / "filtr_a1.dat");
        auto& form = f.create({f.platform.scratch().string()});
        QSignalSpy ended(&form, &TSearchForm::endRequested);
        form.show();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(form.ListBox1->count(), 0);
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
    }

    void commandLineFolderIsScannedAtTheFirstShow()
    {
        FormFixture f;
        f.storeUsualSettings();
        f.platform.writeFilter("filtr_a1.dat", "*.tmp\r\n");
        writeFile(f.platform.scratch() / "a.tmp", "x");
        writeFile(f.platform.scratch() / "b.txt", "x");
        auto& form = f.create({f.platform.scratch().string()});
        form.show();
        QCOMPARE(form.SkanujDysk->text(), QString::fromStdString(f.platform.scratch().string()));
        QCOMPARE(form.ListBox1->lines(), QStringList{QString::fromStdString((f.platform.scratch() / "a.tmp").string())});
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyszukiwanie gotowe !"));
    }

    void programCreatesTheFiveWindowsWithOnlyTheMainOneShown()
    {
        TestPlatform platform;
        platform.registry.set(Hive::CurrentUser, kSettingsKey, "Bezpieczny", "1");
        platform.registry.set(Hive::CurrentUser, kStatsKey, "LOGKatalog", "/tmp/");
        ui::Program program(platform.services(), {});
        program.show();
        QCOMPARE(program.searchForm().objectName(), QStringLiteral("SearchForm"));
        QVERIFY(program.searchForm().isVisible());
        QCOMPARE(program.form8().objectName(), QStringLiteral("TForm8"));
        QCOMPARE(program.form1().objectName(), QStringLiteral("TForm1"));
        QCOMPARE(program.form9().objectName(), QStringLiteral("TForm9"));
        QCOMPARE(program.form7().objectName(), QStringLiteral("TForm7"));
        for (QWidget* dialog : {static_cast<QWidget*>(&program.form8()), static_cast<QWidget*>(&program.form1()),
                                static_cast<QWidget*>(&program.form9()), static_cast<QWidget*>(&program.form7())}) {
            QVERIFY(!dialog->isVisible());
        }
        QVERIFY(program.searchForm().windowTitle().startsWith(QStringLiteral(" Miotlarz 9.0 Professional")));
    }

    void firstStartWritesTheInstallerSettingsOnce()
    {
        TestPlatform platform;
        TempDir data;
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path().string()));
        ui::prepareFirstStart(platform.registry);
        QCOMPARE(platform.registry.value(Hive::CurrentUser, kSettingsKey, "Bezpieczny"), std::string("1"));
        const auto backup = platform.registry.value(Hive::CurrentUser, kStatsKey, "BAKKatalog");
        QVERIFY(QString::fromStdString(backup).startsWith(QString::fromStdString(data.path().string())));
        platform.registry.set(Hive::CurrentUser, kStatsKey, "Liczba", "9");
        ui::prepareFirstStart(platform.registry);  // not a first start any more
        QCOMPARE(platform.registry.value(Hive::CurrentUser, kStatsKey, "Liczba"), std::string("9"));
        // A first start then runs as any start does: no messages, the safe mode's list loaded.
        TSearchForm form(platform.services(), {});
        QVERIFY(platform.dialogs.messages.empty());
        QVERIFY(form.ListBoxFiltry->count() > 0);
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
