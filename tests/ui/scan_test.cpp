// Scans run through the main window: the start button over a fixture tree, the intake's
// lists and counters, the end steps, pause, the error panel, the close button's question
// during a scan and the command-line scan of the first show.
#include "formfixture.h"

#include "core/common/linelist.h"
#include "ui/filters/form8.h"
#include "ui/results/form1.h"
#include "ui/scan/scancontrol.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/foldertree.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>

using namespace mtl;
using namespace mtl::test;
namespace fs = std::filesystem;

namespace {

struct ScanFixture : FormFixture {
    fs::path root;

    ScanFixture()
    {
        storeUsualSettings();
        create();
        root = platform.scratch() / "drzewo";
        fs::create_directories(root);
        // Monitoring first: switching it off clears other options on its way.
        form->CheckBoxSpeed->setChecked(false);
        for (QCheckBox* on : {form->cbRecursive, form->CheckBox144, form->CheckBox145, form->CheckBox149,
                              form->CheckBoxDzwieki})
            on->setChecked(true);
        for (QCheckBox* off : {form->CheckBox141, form->CheckBox103}) off->setChecked(false);
        form->EditRozmiarIgnorowania->setText(QStringLiteral("2570000"));
        form->ListBoxFiltry->setLines({QStringLiteral("*.tmp"), QStringLiteral("*.log")});
        form->SkanujDysk->setText(QString::fromStdString(root.string() + "/"));
    }
    std::string file(const std::string& relative, std::uintmax_t size = 10)
    {
        const fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        writeFile(path, "");
        fs::resize_file(path, size);
        return path.string();
    }
    void scan() { form->RozpocznijSkanowanie->click(); }
    QStringList sortedFound() const
    {
        QStringList lines = form->ListBox1->lines();
        lines.sort();
        return lines;
    }
    QString q(const std::string& text) const { return QString::fromStdString(text); }
};

} // namespace

class ScanTest : public QObject {
    Q_OBJECT
private slots:
    void scanOfTreeListsMatchesAndEndsIdle_data()
    {
        QTest::addColumn<bool>("monitoring");
        QTest::newRow("monitoring on") << true;
        QTest::newRow("monitoring off") << false;
    }
    void scanOfTreeListsMatchesAndEndsIdle()
    {
        QFETCH(bool, monitoring);
        ScanFixture f;
        if (!monitoring) f.form->CheckBoxSpeed->setChecked(true);
        const std::string a = f.file("a.tmp", 1000);
        const std::string b = f.file("sub/b.tmp", 2000);
        const std::string d = f.file("sub/deeper/d.log", 100000);
        f.file("c.txt", 5000);
        f.form->Label50->setText(QStringLiteral("stare"));

        QStringList label50DuringWalk;
        bool sawScanningState = false;
        f.platform.pump.onPending = [&] {
            label50DuringWalk << f.text("Label50");
            sawScanningState = sawScanningState
                               || (f.form->btnStop->isEnabled() && !f.form->RozpocznijSkanowanie->isEnabled()
                                   && f.text("StatusSkanowania").startsWith(QStringLiteral("Szukam w:  ")));
        };
        f.scan();

        QVERIFY(sawScanningState);
        QCOMPARE(f.sortedFound(), (QStringList{f.q(a), f.q(b), f.q(d)}));
        for (int i = 0; i < 3; ++i) QVERIFY(!f.form->ListBox1->isChecked(i));
        QCOMPARE(f.text("Label50"), QStringLiteral("3 plików"));
        QCOMPARE(f.form->EditKBznalezion, QStringLiteral("103000"));
        QCOMPARE(f.text("Label57"), QStringLiteral("100 KB"));
        QCOMPARE(f.form->ListBoxLiczbaZnalez, QStringList{QStringLiteral("3")});
        QCOMPARE(f.get<QProgressBar>("EncartaGauge")->value(), 100);
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyszukiwanie gotowe !"));
        QCOMPARE(f.text("Label11"), QStringLiteral("Znalazłem:"));
        QVERIFY(f.form->StatusSkanowania->isHidden());
        QVERIFY(!f.form->StatusGotowe->isHidden());
        QVERIFY(f.form->RozpocznijSkanowanie->isEnabled());
        QVERIFY(f.form->UsunNormalnie->isEnabled());
        QVERIFY(!f.form->btnStop->isEnabled());
        QVERIFY(!f.form->Timer1->isActive());
        QVERIFY(!f.form->Timer2->isActive());
        QVERIFY(!f.form->Animacja->isActive());
        QCOMPARE(f.text("LabelAlerty"), QStringLiteral("-"));
        QCOMPARE(f.form->TrayIcon->toolTip(), QStringLiteral("Miotlarz 9"));
        QVERIFY(f.form->PanelError->isHidden());
        const std::string program = f.platform.programFolder().string();
        QCOMPARE(f.platform.sounds.played,
                 (std::vector<std::string>{program + "/start.wav", program + "/gotowe.wav"}));
        // The scan is counted: the stored count plus one, and the date of the start.
        QCOMPARE(f.text("Label16"), QStringLiteral("8"));
        QCOMPARE(f.text("Label22"), QStringLiteral("2026-12-11, 12:00:05"));
        QCOMPARE(f.platform.registry.value(Hive::CurrentUser, kStatsKey, "Data"), std::string("2026-12-11 12:00:05"));
        // With monitoring off the found counter keeps its old text until the walk has ended.
        QVERIFY(!label50DuringWalk.isEmpty());
        if (monitoring)
            QVERIFY(label50DuringWalk.contains(QStringLiteral("2 plików")));
        else
            QVERIFY(std::all_of(label50DuringWalk.begin(), label50DuringWalk.end(), [](const QString& t) {
                return t == QStringLiteral("stare") || t == QStringLiteral("3 plików");
            }));
    }

    void withoutSoundsNothingIsPlayed()
    {
        ScanFixture f;
        f.form->CheckBoxDzwieki->setChecked(false);
        f.file("a.tmp");
        f.scan();
        QCOMPARE(f.form->ListBox1->count(), 1);
        QVERIFY(f.platform.sounds.played.empty());
    }

    void bigFileGoesToPathIgnoreListAndCountsAsSuspicious()
    {
        ScanFixture f;
        f.form->CheckBox141->setChecked(true);
        const std::string big = f.file("big.tmp", 3000000);
        const std::string exact = f.file("exact.tmp", 2570000);
        const int ignoredBefore = f.form->ListaIgnorowania->count();
        f.scan();

        QCOMPARE(f.form->ListBox1->lines(), QStringList{f.q(exact)});
        QCOMPARE(f.form->ListaIgnorowania->count(), ignoredBefore + 1);
        QVERIFY(f.form->ListaIgnorowania->lines().contains(f.q(big)));
        QCOMPARE(f.text("Label53"), QStringLiteral("1 plików"));
        // Its size still counts in the intake's total.
        QCOMPARE(f.text("Label57"), QStringLiteral("5439 KB"));
        // The end of the scan keeps the moved file in the stored ignore list.
        const auto stored = readLineList(f.platform.filtersFolder() / "filtr_ignoralplik.dat", LineText::Bytes);
        QVERIFY(std::find(stored.begin(), stored.end(), big) != stored.end());

        // Found again: already ignored, so nothing is moved and the per-scan marker stays at 0.
        f.scan();
        QCOMPARE(f.form->ListaIgnorowania->count(), ignoredBefore + 1);
        QCOMPARE(f.text("Label53"), QStringLiteral("0 plików"));
        QCOMPARE(f.form->ListBox1->lines(), QStringList{f.q(exact)});
    }

    void thresholdThatIsNotANumberEndsTheScanWithTheErrorReport()
    {
        ScanFixture f;
        f.form->CheckBox141->setChecked(true);
        f.form->EditRozmiarIgnorowania->setText(QStringLiteral("dużo"));
        f.file("a.tmp");
        f.scan();
        QCOMPARE(f.platform.dialogs.messages.back().icon, MessageIcon::Error);
        QVERIFY(QString::fromStdString(f.platform.dialogs.messages.back().text).contains(QStringLiteral("dużo")));
        QVERIFY(f.form->RozpocznijSkanowanie->isEnabled());
        QVERIFY(!f.form->btnStop->isEnabled());
    }

    void secondScanAddsOnlyNewPaths()
    {
        ScanFixture f;
        const std::string a = f.file("a.tmp", 100);
        const std::string b = f.file("b.tmp", 200);
        f.scan();
        QCOMPARE(f.form->ListBox1->count(), 2);
        const QString firstLine = f.form->ListBox1->line(0);

        // Lines changed between the scans by other commands: one path loaded from outside
        // (found again below, so it must not come twice) and one removed (found again, so
        // it comes back).
        const std::string c = f.file("c.tmp", 300);
        f.form->ListBox1->addLine(f.q(c));
        const int removed = 1;
        const QString removedLine = f.form->ListBox1->line(removed);
        f.form->ListBox1->removeLine(removed);
        const std::string d = f.file("d.log", 400);
        f.scan();

        QCOMPARE(f.sortedFound(), (QStringList{f.q(a), f.q(b), f.q(c), f.q(d)}));
        // Earlier entries keep their places; new finds come behind them.
        QCOMPARE(f.form->ListBox1->line(0), firstLine);
        QCOMPARE(f.form->ListBox1->lines().count(removedLine), 1);
        // Every entry reported counts its size again; the per-scan lists start empty.
        QCOMPARE(f.form->ListBoxRozmiar.size(), 4);
        QCOMPARE(f.form->EditKBznalezion, QStringLiteral("1000"));
        QCOMPARE(f.form->ListBoxLiczbaZnalez, QStringList{QStringLiteral("4")});
        QCOMPARE(f.text("Label16"), QStringLiteral("8"));
    }

    void fullListWindowCopiesTheFoundList_data()
    {
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<bool>("sortedFoundList");
        QTest::newRow("monitoring on") << true << false;
        QTest::newRow("monitoring off") << false << false;
        // New lines go into the middle of a sorted found list, and the copy must follow.
        QTest::newRow("sorted found list") << true << true;
    }
    void fullListWindowCopiesTheFoundList()
    {
        QFETCH(bool, monitoring);
        QFETCH(bool, sortedFoundList);
        ScanFixture f;
        TForm1 full;
        TForm8 details;
        f.form->setDialogs(&details, &full, nullptr, nullptr);
        f.form->CheckBoxSpeed->setChecked(!monitoring);
        if (sortedFoundList) {
            f.form->ListBox1->setLines({QStringLiteral("/zzz/z wcześniejszej listy.tmp")});
            f.form->Sortujlist1->trigger();
        }
        const int earlier = f.form->ListBox1->count();
        for (int i = 0; i < 4; ++i) f.file("d" + std::to_string(i) + "/m" + std::to_string(i) + ".tmp");
        full.ListBox2->setLines({QStringLiteral("z poprzedniego skanowania")});
        const QStringList before = full.ListBox2->lines();
        details.Alert_Wysoki->show();

        // With monitoring the copy keeps up with the found list from the first intake on, at
        // every yield; without it the copy is left alone until the end.
        int yields = 0;
        bool kept = true;
        f.platform.pump.onPending = [&] {
            ++yields;
            const bool copied = monitoring && f.form->ListBox1->count() > earlier;
            const QStringList expected = copied ? f.form->ListBox1->lines() : before;
            if (full.ListBox2->lines() != expected) kept = false;
        };
        f.scan();
        f.platform.pump.onPending = nullptr;
        QVERIFY(yields > 0);
        QVERIFY(kept);
        QCOMPARE(f.form->ListBox1->count(), earlier + 4);
        QCOMPARE(full.ListBox2->lines(), f.form->ListBox1->lines());
        QVERIFY(details.Alert_Wysoki->isHidden());

        // Taking entries out of the found list leaves the copy as the scan left it.
        f.form->ListBox1->removeLine(0);
        QCOMPARE(full.ListBox2->count(), earlier + 4);

        // The next scan's copy is taken after its compare step, so an ignored path is in
        // neither list; a sorted copy holds the found list's lines in sorted order.
        const std::string ignored = f.file("a.tmp");
        f.form->ListaIgnorowania->addLine(f.q(ignored));
        full.ListBox2->setSorted(true);
        f.scan();
        QCOMPARE(f.form->ListBox1->count(), earlier + 4);
        QVERIFY(!f.form->ListBox1->lines().contains(f.q(ignored)));
        QStringList sorted = f.form->ListBox1->lines();
        sorted.sort(Qt::CaseInsensitive);
        QCOMPARE(full.ListBox2->lines(), sorted);
    }

    void missingFolderEndsInTheErrorPanel()
    {
        ScanFixture f;
        const std::string missing = (f.root / "nie-ma").string() + "/";
        f.form->SkanujDysk->setText(f.q(missing));
        f.scan();

        QVERIFY(!f.form->PanelError->isHidden());
        QCOMPARE(f.form->scan->LabelErrorPath->text(), QStringLiteral("Szukam w:  ") + f.q(missing));
        QCOMPARE(f.text("Label12"), QStringLiteral("Wystąpiły błędy !"));
        QCOMPARE(f.form->ListBox1->count(), 0);
        QVERIFY(f.form->RozpocznijSkanowanie->isEnabled());
        QCOMPARE(f.get<QProgressBar>("EncartaGauge")->value(), 100);

        // The link opens the article; "Zamknij" hides the panel.
        emit f.get<QLabel>("Label93")->linkActivated(QString());
        QCOMPARE(f.platform.shell.opened, std::vector<std::string>{"http://support.microsoft.com/kb/309531/PL/"});
        f.get<QPushButton>("ButtonError")->click();
        QVERIFY(f.form->PanelError->isHidden());
    }

    void malformedMaskReportsAndReturnsToIdle()
    {
        ScanFixture f;
        f.file("a.tmp");
        f.form->ListBoxFiltry->setLines({QStringLiteral("[a-")});
        f.scan();
        QVERIFY(!f.platform.dialogs.messages.empty());
        QCOMPARE(f.platform.dialogs.messages.back().icon, MessageIcon::Error);
        QVERIFY(f.form->RozpocznijSkanowanie->isEnabled());
        QVERIFY(!f.form->btnStop->isEnabled());
        QVERIFY(!f.form->Timer2->isActive());
        QCOMPARE(f.get<QProgressBar>("EncartaGauge")->value(), 100);
    }

    void pauseHoldsTheWalkUntilTheMessageIsClosed()
    {
        ScanFixture f;
        f.form->LabelProgres = QStringLiteral("5000");
        for (int i = 0; i < 5; ++i) f.file("p" + std::to_string(i) + ".tmp");
        bool paused = false;
        int listedWhilePaused = -1;
        f.platform.pump.onPending = [&] {
            if (!paused && f.form->ListBox1->count() == 1) {
                paused = true;
                f.form->btnStop->click();
            }
        };
        f.platform.dialogs.onMessage = [&](const MessageRequest&) {
            listedWhilePaused = f.form->ListBox1->count();
            QCOMPARE(f.text("Label12"), QStringLiteral("Pauza skanowania"));
            QVERIFY(!f.form->Timer1->isActive());
            QVERIFY(f.form->Timer2->isActive());
            QVERIFY(!f.form->Animacja->isActive());
        };
        f.scan();

        QCOMPARE(listedWhilePaused, 1);
        QCOMPARE(f.form->ListBox1->count(), 5);
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        const MessageRequest& pause = f.platform.dialogs.messages.front();
        QCOMPARE(QString::fromStdString(pause.text), QStringLiteral("Naciśnij \"OK\", aby kontynuować skanowanie."));
        QVERIFY(QString::fromStdString(pause.title).startsWith(QStringLiteral("Pauza skanowania ")));
        QVERIFY(pause.icon == MessageIcon::Information);
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyszukiwanie gotowe !"));
    }

    void gaugeAndClockTimers()
    {
        ScanFixture f;
        // A step of 0 (no mode reaction yet) leaves the gauge timer off.
        f.form->LabelProgres = QStringLiteral("0");
        bool gaugeTimerRan = true;
        f.file("a.tmp");
        f.platform.pump.onPending = [&] { gaugeTimerRan = gaugeTimerRan && f.form->Timer1->isActive(); };
        f.scan();
        QVERIFY(!gaugeTimerRan);

        f.form->LabelProgres = QStringLiteral("40000");
        f.platform.pump.onPending = [&] {
            QCOMPARE(f.form->Timer1->interval(), 40000);
            gaugeTimerRan = f.form->Timer1->isActive();
        };
        f.scan();
        QVERIFY(gaugeTimerRan);
        f.platform.pump.onPending = nullptr;

        auto* gauge = f.get<QProgressBar>("EncartaGauge");
        gauge->setValue(99);
        f.form->scan->Timer1Timer();
        f.form->scan->Timer1Timer();
        QCOMPARE(gauge->value(), 100);

        gauge->setValue(12);
        f.form->Label50->setText(QStringLiteral("37 plików"));
        for (int i = 0; i < 65; ++i) f.form->scan->Timer2Timer();
        QCOMPARE(f.text("Label27"), QStringLiteral("01:05"));
        QCOMPARE(f.form->TrayIcon->toolTip(), QStringLiteral("Miotlarz 9 - [Wykonano: 12%, Znaleziono: 37 plików]"));
    }

    void clearsAttributesOnlyWithMonitoring_data()
    {
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<bool>("writable");
        QTest::newRow("monitoring on") << true << true;
        QTest::newRow("monitoring off") << false << false;
    }
    void clearsAttributesOnlyWithMonitoring()
    {
        QFETCH(bool, monitoring);
        QFETCH(bool, writable);
        ScanFixture f;
        f.form->CheckBox103->setChecked(true);
        if (!monitoring) {
            // The options exclude each other through their reactions; both stay on here to
            // show that monitoring alone decides.
            const QSignalBlocker quiet(f.form->CheckBoxSpeed);
            f.form->CheckBoxSpeed->setChecked(true);
        }
        const std::string hidden = f.file(".ukryty.tmp");
        fs::permissions(hidden, fs::perms::owner_write, fs::perm_options::remove);
        f.scan();
        QCOMPARE(f.form->ListBox1->lines(), QStringList{f.q(hidden)});
        struct stat status {};
        QCOMPARE(::stat(hidden.c_str(), &status), 0);
        QCOMPARE(bool(status.st_mode & S_IWUSR), writable);
    }

    void closeButtonQuestionWhileScanning_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes ends the program") << true;
        QTest::newRow("No goes on scanning") << false;
    }
    void closeButtonQuestionWhileScanning()
    {
        QFETCH(bool, yes);
        ScanFixture f;
        f.form->LabelProgres = QStringLiteral("1000");
        for (int i = 0; i < 6; ++i) f.file("dir" + std::to_string(i) + "/x.tmp");
        QSignalSpy ended(f.form.get(), &TSearchForm::endRequested);
        f.platform.dialogs.answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
        bool asked = false;
        bool gaugeTimerAfter = false;
        f.platform.pump.onPending = [&] {
            if (!asked && f.form->ListBox1->count() == 1) {
                asked = true;
                QVERIFY(f.form->scan->closeWhileScanning());
                gaugeTimerAfter = f.form->Timer1->isActive();
            }
        };
        f.platform.dialogs.onMessage = [&](const MessageRequest&) { QVERIFY(!f.form->Timer1->isActive()); };
        f.scan();

        QVERIFY(asked);
        const MessageRequest& question = f.platform.dialogs.messages.front();
        QCOMPARE(QString::fromStdString(question.title), QStringLiteral("Ostrzeżenie o niestabilności"));
        QVERIFY(question.buttons == MessageButtons::YesNo);
        QVERIFY(question.icon == MessageIcon::Error);
        QVERIFY(QString::fromStdString(question.text).startsWith(QStringLiteral("Trwa skanowanie dysku !\n")));
        QCOMPARE(ended.count(), yes ? 1 : 0);
        QCOMPARE(gaugeTimerAfter, !yes);
        if (yes) {
            QCOMPARE(f.form->ListBox1->count(), 1);  // the walk stopped at once
            QVERIFY(!f.form->Timer2->isActive());
        } else {
            QCOMPARE(f.form->ListBox1->count(), 6);
            QCOMPARE(f.text("Label12"), QStringLiteral("Wyszukiwanie gotowe !"));
        }
        // Outside a scan the close button goes on with its own steps, without asking.
        const std::size_t asked_ = f.platform.dialogs.messages.size();
        QVERIFY(!f.form->scan->closeWhileScanning());
        QCOMPARE(f.platform.dialogs.messages.size(), asked_);
    }

    void commandLineScanOfTheFirstShow()
    {
        FormFixture f;
        f.storeUsualSettings();
        const fs::path root = f.platform.scratch() / "z-linii";
        fs::create_directories(root);
        writeFile(root / "x.tmp", "abc");
        f.create({root.string() + "/", "drugi-argument"});
        f.form->ListBoxFiltry->setLines({QStringLiteral("*.tmp")});
        f.form->CheckBox149->setChecked(true);
        QSignalSpy ended(f.form.get(), &TSearchForm::endRequested);
        f.form->scan->commandLineScan();

        QCOMPARE(f.form->SkanujDysk->text(), QString::fromStdString(root.string() + "/"));
        QVERIFY(f.form->Praca_W_Tle->isHidden());
        QCOMPARE(f.form->ListBox1->lines(), QStringList{QString::fromStdString((root / "x.tmp").string())});
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyszukiwanie gotowe !"));
        QCOMPARE(ended.count(), 0);
    }

    void commandLineScanInTheFailureStateEndsTheProgram()
    {
        FormFixture f;
        f.storeUsualSettings();
        fs::remove(f.platform.filtersFolder() / "sygn.dll");
        f.create({f.platform.scratch().string()});
        QSignalSpy ended(f.form.get(), &TSearchForm::endRequested);
        f.form->scan->commandLineScan();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(f.form->ListBox1->count(), 0);
        QVERIFY(f.platform.sounds.played.empty());
        QCOMPARE(f.text("Label12"), QStringLiteral("Nie można skanować !"));
    }

    void noArgumentNoScan()
    {
        ScanFixture f;
        f.file("a.tmp");
        QSignalSpy ended(f.form.get(), &TSearchForm::endRequested);
        f.form->scan->commandLineScan();
        QCOMPARE(ended.count(), 0);
        QCOMPARE(f.form->ListBox1->count(), 0);
    }

    void folderChoiceSetsTheScanPath()
    {
        ScanFixture f;
        f.form->StatusSkanowania->hide();
        f.form->StatusGotowe->show();
        f.form->StatusGotowe->setText(QStringLiteral("x"));
        emit f.form->DhCheckFolder1->folderChanged(QStringLiteral("/tmp/wybrany"));
        QCOMPARE(f.form->SkanujDysk->text(), QStringLiteral("/tmp/wybrany"));
        QVERIFY(!f.form->StatusSkanowania->isHidden());
        QVERIFY(f.form->StatusGotowe->isHidden());
        QCOMPARE(f.form->StatusGotowe->text(), QString());
    }
};

QTEST_MAIN(ScanTest)
#include "scan_test.moc"
