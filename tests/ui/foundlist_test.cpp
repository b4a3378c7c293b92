// The found list and the risk alert, driven through the window's controls: the click's details
// in the status line, the alert indicator and the details dialog, the alert sound, opening the
// dialog, and the list's mark, throw-out, select, sort and clear commands.
#include "formfixture.h"

#include "ui/filters/form8.h"
#include "ui/results/foundlist.h"
#include "ui/widgets/checklistbox.h"

#include <QAction>
#include <QtTest>

#include <filesystem>
#include <sys/stat.h>

using namespace mtl;
using namespace mtl::test;
using mtl::ui::CheckListBox;

namespace {

QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

struct FoundFixture : FormFixture {
    TForm8 dialog;
    int modalRuns = 0;
    QString nameWhenShown;

    FoundFixture()
    {
        storeUsualSettings();
        create();
        form->setDialogs(&dialog, nullptr, nullptr, nullptr);
        dialog.runModal = [this](TForm8& shown) {
            ++modalRuns;
            nameWhenShown = shown.Label9->text();
        };
        std::filesystem::create_directories(folder());
        form->show();
        platform.dialogs.messages.clear();
        platform.sounds.played.clear();
    }
    ~FoundFixture() { form.reset(); }

    std::filesystem::path folder() const { return platform.scratch() / "found"; }
    // A file of the given size; large ones are sparse, so they cost no disk.
    QString file(const std::string& name, std::uintmax_t size)
    {
        const auto path = folder() / name;
        writeFile(path, "");
        std::filesystem::resize_file(path, size);
        return QString::fromStdString(path.string());
    }
    void clickLine(int row)
    {
        CheckListBox* list = form->ListBox1;
        const QRect place = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    QStringList visiblePictures(QLabel* low, QLabel* medium, QLabel* high) const
    {
        QStringList shown;
        if (!low->isHidden()) shown << QStringLiteral("Niski");
        if (!medium->isHidden()) shown << QStringLiteral("Sredni");
        if (!high->isHidden()) shown << QStringLiteral("Wysoki");
        return shown;
    }
    QList<bool> checks() const
    {
        QList<bool> states;
        for (int i = 0; i < form->ListBox1->count(); ++i) states << form->ListBox1->isChecked(i);
        return states;
    }
};

const QString kSound = QStringLiteral("alert.wav");

} // namespace

class FoundListTest : public QObject {
    Q_OBJECT
private slots:
    void clickShowsBandEverywhere_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("indicator");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QColor>("commentColour");
        QTest::addColumn<bool>("sound");
        const QColor green(0x16, 0x87, 0x3E), yellow(0x8F, 0x69, 0x18), red(255, 0, 0);
        const QString medium = QStringLiteral("Plik jest z przedziału 650KB - 4,5MB i klasyfikuje się do "
                                              "zwrócenia uwagi ze względu na swój rozmiar");
        const QString high = QStringLiteral("Plik jest z przedziału 4,5 MB - 10 MB i jest podejrzanie duży. "
                                            "Przeczytaj dostępny opis.");
        QTest::newRow("empty") << qint64(0) << "Niski" << "Niski" << "Niski" << green
                               << QStringLiteral("Plik jest pusty (0 bajtów). Utworzony po zamknięciu programu "
                                                 "i nie został skasowany.")
                               << QColor(Qt::black) << false;
        QTest::newRow("1 byte") << qint64(1) << "Niski" << "Niski" << "Niski" << green << "-" << QColor(Qt::black)
                                << false;
        QTest::newRow("669 999") << qint64(669'999) << "Niski" << "Niski" << "Niski" << green << "-"
                                 << QColor(Qt::black) << false;
        QTest::newRow("670 000") << qint64(670'000) << "Średni" << "Średni" << "Sredni" << yellow << medium
                                 << QColor(Qt::black) << true;
        QTest::newRow("4 749 999") << qint64(4'749'999) << "Średni" << "Średni" << "Sredni" << yellow << medium
                                   << QColor(Qt::black) << true;
        QTest::newRow("4 750 002") << qint64(4'750'002) << "Wysoki" << "Wysoki" << "Wysoki" << red << high
                                   << QColor(Qt::black) << true;
        QTest::newRow("10 199 999") << qint64(10'199'999) << "Wysoki" << "Wysoki" << "Wysoki" << red << high
                                    << QColor(Qt::black) << true;
        QTest::newRow("10 200 002") << qint64(10'200'002) << "Wysoki" << "Wysoki !" << "Wysoki" << red
                                    << QStringLiteral("Podejrzany, duży rozmiar pliku - ponad 10 MB. Zaleca się "
                                                      "utworzenie kopii zapasowej tego pliku.")
                                    << QColor(0, 0, 255) << true;
    }
    void clickShowsBandEverywhere()
    {
        QFETCH(qint64, size);
        QFETCH(QString, level);
        QFETCH(QString, indicator);
        QFETCH(QString, picture);
        QFETCH(QColor, colour);
        QFETCH(QString, comment);
        QFETCH(QColor, commentColour);
        QFETCH(bool, sound);

        FoundFixture f;
        TSearchForm& form = *f.form;
        form.CheckBoxDzwieki->setChecked(true);
        // A very large file first, so that a blue comment would have to be undone.
        form.ListBox1->addLine(f.file("ogromny.bin", 20'000'000));
        const QString path = f.file("plik.tmp", std::uintmax_t(size));
        form.ListBox1->addLine(path);
        f.clickLine(0);
        f.platform.sounds.played.clear();
        f.clickLine(1);

        QCOMPARE(form.Edit3, path);
        QCOMPARE(form.LabelAlerty->text(), indicator);
        QCOMPARE(textColour(form.LabelAlerty), colour);
        QCOMPARE(f.visiblePictures(form.Alert_Niski, form.Alert_Sredni, form.Alert_Wysoki), QStringList{picture});
        QCOMPARE(f.visiblePictures(f.dialog.Alert_Niski, f.dialog.Alert_Sredni, f.dialog.Alert_Wysoki),
                 QStringList{picture});
        QCOMPARE(f.dialog.Label9->text(), QStringLiteral("plik.tmp"));
        QCOMPARE(f.dialog.Label10->text(), QStringLiteral(".tmp"));
        QCOMPARE(f.dialog.Label11->text(),
                 QStringLiteral("%1 bajtów, %2 KB").arg(size).arg(size / 1024));
        QCOMPARE(f.dialog.Label12->text(), path);
        QCOMPARE(f.dialog.Label13->text(), comment);
        QCOMPARE(textColour(f.dialog.Label13), commentColour);
        QCOMPARE(f.dialog.Label14->text(), level);
        QCOMPARE(textColour(f.dialog.Label14), colour);
        QCOMPARE(f.dialog.Label16->text(), QStringLiteral("Normalny (ustawiony automatycznie)"));
        QVERIFY(f.dialog.Label15->text().contains(QStringLiteral(",  ")));

        const QString status = form.StatusGotowe->text();
        QVERIFY2(status.startsWith(QStringLiteral("Plik: plik.tmp    Rozmiar: %1 KB (%2 b)    Dane modyfikacji: ")
                                       .arg(size / 1024)
                                       .arg(size)),
                 qPrintable(status));
        // The status line ends with this file's own level, not the previous file's.
        QVERIFY2(status.endsWith(QStringLiteral(",  Alert: ") + level), qPrintable(status));
        QVERIFY(status.contains(f.dialog.Label15->text()));

        const std::vector<std::string> expected =
            sound ? std::vector<std::string>{(f.platform.programFolder() / "alert.wav").string()}
                  : std::vector<std::string>{};
        QCOMPARE(f.platform.sounds.played, expected);
    }

    void soundsOffPlayNothingInAnyBand()
    {
        FoundFixture f;
        f.form->CheckBoxDzwieki->setChecked(false);
        f.form->ListBox1->setLines({f.file("a", 700'000), f.file("b", 5'000'000), f.file("c", 11'000'000)});
        for (int row = 0; row < 3; ++row) f.clickLine(row);
        QCOMPARE(f.form->LabelAlerty->text(), QStringLiteral("Wysoki !"));
        QVERIFY(f.platform.sounds.played.empty());
    }

    void hiddenReadOnlyFileShowsItsAttributes()
    {
        FoundFixture f;
        const QString path = f.file(".ukryty.log", 10);
        std::filesystem::permissions(path.toStdString(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        f.form->ListBox1->addLine(path);
        f.clickLine(0);
        QCOMPARE(f.dialog.Label16->text(), QStringLiteral("Tylko do odczytu, Ukryty"));
        QCOMPARE(f.dialog.Label10->text(), QStringLiteral(".log"));
    }

    void missingFileOrEmptyListChangesNothing()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        const QString big = f.file("duzy.iso", 6'000'000);
        form.ListBox1->setLines({big, QString::fromStdString((f.folder() / "zniknal.tmp").string())});
        f.clickLine(0);
        const QString status = form.StatusGotowe->text();
        f.clickLine(1);
        QCOMPARE(form.Edit3, big);
        QCOMPARE(form.StatusGotowe->text(), status);
        QCOMPARE(form.LabelAlerty->text(), QStringLiteral("Wysoki"));
        QCOMPARE(f.dialog.Label9->text(), QStringLiteral("duzy.iso"));
        QVERIFY(!form.Alert_Wysoki->isHidden());

        // A click reaction with no entries at all.
        form.ListBox1->clearLines();
        form.foundList->ListBox1Click();
        QCOMPARE(form.Edit3, big);
        QVERIFY(f.platform.dialogs.messages.empty());
    }

    void doubleClickAndMenuOpenTheDialogFilledByTheClick()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        form.ListBox1->setLines({f.file("pierwszy.tmp", 5), f.file("drugi.tmp", 6)});
        // As the path ignore list leaves it.
        f.dialog.Label18->hide();
        f.dialog.Button4->setEnabled(false);
        f.dialog.Button5->setEnabled(false);

        CheckListBox* list = form.ListBox1;
        // A double click: the first press and release click the line, the second press doubles.
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(f.modalRuns, 1);
        QCOMPARE(f.nameWhenShown, QStringLiteral("drugi.tmp"));
        QVERIFY(!f.dialog.Label18->isHidden());
        QVERIFY(f.dialog.Button4->isEnabled());
        QVERIFY(f.dialog.Button5->isEnabled());

        f.dialog.Label18->hide();
        f.clickLine(0);
        form.Szczegyobiektu1->trigger();
        QCOMPARE(f.modalRuns, 2);
        QCOMPARE(f.nameWhenShown, QStringLiteral("pierwszy.tmp"));
        QVERIFY(!f.dialog.Label18->isHidden());
    }

    void pathIgnoreListShowsDetailsAndOpensTheDialogWithoutStepping()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        form.PageControl1->setCurrentWidget(form.TabSheet7);
        const QString hidden = f.file(".ukryty.log", 5'000'000);
        std::filesystem::permissions(hidden.toStdString(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        form.ListaIgnorowania->setLines({f.file("maly.tmp", 3), hidden});

        CheckListBox* list = form.ListaIgnorowania;
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        // The details of the found list's click, but the attributes always read as normal.
        QCOMPARE(form.Edit3, hidden);
        QCOMPARE(f.dialog.Label9->text(), QStringLiteral(".ukryty.log"));
        QCOMPARE(f.dialog.Label16->text(), QStringLiteral("Normalny (ustawiony automatycznie)"));
        QCOMPARE(form.LabelAlerty->text(), QStringLiteral("Wysoki"));
        QCOMPARE(f.visiblePictures(form.Alert_Niski, form.Alert_Sredni, form.Alert_Wysoki),
                 QStringList{QStringLiteral("Wysoki")});
        QVERIFY(form.StatusGotowe->text().contains(QStringLiteral(".ukryty.log")));
        QCOMPARE(f.platform.sounds.played.size(), std::size_t(1));

        // The double click opens the dialog without the found list's position and stepping.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(f.modalRuns, 1);
        QCOMPARE(f.nameWhenShown, QStringLiteral(".ukryty.log"));
        QVERIFY(f.dialog.Label18->isHidden());
        QVERIFY(!f.dialog.Button4->isEnabled());
        QVERIFY(!f.dialog.Button5->isEnabled());

        f.dialog.Label18->show();
        form.findChild<QAction*>(QStringLiteral("Szczegyobiektu2"))->trigger();
        QCOMPARE(f.modalRuns, 2);
        QVERIFY(f.dialog.Label18->isHidden());
    }

    void markUnmarkAndThrowOutActOnSelectedAndCheckedEntries()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        CheckListBox* list = form.ListBox1;
        QStringList paths;
        for (const char* name : {"a.tmp", "b.tmp", "c.tmp", "d.tmp", "e.tmp"}) paths << f.file(name, 1);
        list->setLines(paths);

        for (int row : {1, 2, 4}) list->item(row)->setSelected(true);
        form.ZaznaczIgnorujdlawszystkichplikw1->trigger();
        QCOMPARE(f.checks(), (QList<bool>{false, true, true, false, true}));

        list->clearSelection();
        list->item(2)->setSelected(true);
        list->item(3)->setSelected(true);
        form.df1->trigger();
        QCOMPARE(f.checks(), (QList<bool>{false, true, false, false, true}));
        // The selection is left as it was.
        QVERIFY(list->isSelected(2) && list->isSelected(3) && !list->isSelected(1));

        form.ylkowyrzuzlistynieusuwaj1->trigger();
        QCOMPARE(list->lines(), (QStringList{paths[0], paths[2], paths[3]}));
        QCOMPARE(f.checks(), (QList<bool>{false, false, false}));
        QVERIFY(list->isSelected(1) && list->isSelected(2) && !list->isSelected(0));
        for (const QString& path : paths) QVERIFY(std::filesystem::exists(path.toStdString()));
        QCOMPARE(f.text("Label11"), QStringLiteral("Zostało: "));
        QCOMPARE(f.text("Label50"), QStringLiteral("3 plików"));
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyrzucono pliki z listy"));
        QVERIFY(f.platform.dialogs.messages.empty());
    }

    void commandsNeedingEntriesRefuseAnEmptyList_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("mark") << "ZaznaczIgnorujdlawszystkichplikw1";
        QTest::newRow("unmark") << "df1";
        QTest::newRow("throw out") << "ylkowyrzuzlistynieusuwaj1";
    }
    void commandsNeedingEntriesRefuseAnEmptyList()
    {
        QFETCH(QString, action);
        FoundFixture f;
        const QString counter = f.text("Label50");
        const QString status = f.text("Label12");
        f.form->findChild<QAction*>(action)->trigger();
        QCOMPARE(f.platform.dialogs.messages.size(), std::size_t(1));
        const MessageRequest& box = f.platform.dialogs.messages.front();
        QCOMPARE(QString::fromStdString(box.text), QStringLiteral("Brak plików na liście !"));
        QVERIFY(QString::fromStdString(box.title).startsWith(QStringLiteral("Błąd ")));
        QCOMPARE(QString::fromStdString(box.title).trimmed(), QStringLiteral("Błąd"));
        QVERIFY(box.icon == MessageIcon::Error);
        QVERIFY(box.buttons == MessageButtons::Ok);
        QCOMPARE(f.text("Label50"), counter);
        QCOMPARE(f.text("Label12"), status);
    }

    void selectAllSelectsEveryEntryAndResetsTheAlert()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        form.ListBox1->setLines({f.file("x.bak", 800'000), f.file("y.bak", 2)});
        f.clickLine(0);
        QString statusWhilePumping;
        f.platform.pump.onPending = [&] { statusWhilePumping = form.Label12->text(); };
        const int pumped = f.platform.pump.pendingCalls;
        form.Zaznaczwszystko1->trigger();
        QCOMPARE(statusWhilePumping, QStringLiteral("Zaznaczanie plików"));
        QCOMPARE(f.platform.pump.pendingCalls, pumped + 1);
        QVERIFY(form.ListBox1->isSelected(0) && form.ListBox1->isSelected(1));
        QCOMPARE(f.text("Label12"), QStringLiteral("Zaznaczono wszystkie pliki"));
        QCOMPARE(form.LabelAlerty->text(), QStringLiteral("-"));
        QVERIFY(form.Alert_Niski->isHidden() && form.Alert_Sredni->isHidden() && form.Alert_Wysoki->isHidden());
        // The dialog's pictures are not the reset's business.
        QVERIFY(!f.dialog.Alert_Sredni->isHidden());
    }

    void sortedModeKeepsChecksAndPlacesLaterEntries()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        CheckListBox* list = form.ListBox1;
        list->setLines({"/d/Beta", "/d/alfa", "/d/GAMMA", "/d/Alfa2", "/d/delta"});
        list->setChecked(0, true);  // Beta
        list->setChecked(2, true);  // GAMMA
        form.Alert_Sredni->show();
        form.LabelAlerty->setText(QStringLiteral("Średni"));

        form.Sortujlist1->trigger();
        QCOMPARE(list->lines(), (QStringList{"/d/alfa", "/d/Alfa2", "/d/Beta", "/d/delta", "/d/GAMMA"}));
        QCOMPARE(f.checks(), (QList<bool>{false, false, true, false, true}));
        QCOMPARE(form.LabelAlerty->text(), QStringLiteral("-"));
        QVERIFY(form.Alert_Sredni->isHidden());

        // Later entries, as a scan adds them, go to their places; the checks stay put.
        list->addLine("/d/CHARLIE");
        list->addLine("/d/aaa");
        list->addLine("/d/zeta");
        QCOMPARE(list->lines(), (QStringList{"/d/aaa", "/d/alfa", "/d/Alfa2", "/d/Beta", "/d/CHARLIE", "/d/delta",
                                             "/d/GAMMA", "/d/zeta"}));
        QCOMPARE(f.checks(), (QList<bool>{false, false, false, true, false, false, true, false}));
        // A loaded list is put in order as well.
        list->setLines({"/b", "/A", "/c"});
        QCOMPARE(list->lines(), (QStringList{"/A", "/b", "/c"}));

        // Letters beyond ASCII fold too; lines equal but for case keep the order they came in,
        // and later lines find their place among them by the same order.
        list->setLines({QStringLiteral("/ŁĄKA"), QStringLiteral("/łódź"), QStringLiteral("/las"),
                        QStringLiteral("/łąka"), QStringLiteral("/b")});
        list->addLine(QStringLiteral("/Łąka2"));
        list->addLine(QStringLiteral("/Ł"));
        list->addLine(QStringLiteral("/ŁąKa"));
        QCOMPARE(list->lines(), (QStringList{QStringLiteral("/b"), QStringLiteral("/las"), QStringLiteral("/Ł"),
                                             QStringLiteral("/łódź"), QStringLiteral("/ŁĄKA"), QStringLiteral("/łąka"),
                                             QStringLiteral("/ŁąKa"), QStringLiteral("/Łąka2")}));
    }

    void showLastLineComesOncePerEventLoopPass()
    {
        FoundFixture f;
        CheckListBox* list = f.form->ListBox1;
        list->setLines({"/a", "/b"});
        list->item(0)->setSelected(true);
        list->showLastLine();
        list->addLine("/c");
        list->showLastLine();
        QCOMPARE(list->currentRow(), -1);  // nothing yet: it waits for the event loop
        QCoreApplication::processEvents();
        QCOMPARE(list->currentRow(), 2);
        QVERIFY(list->isSelected(0) && !list->isSelected(2));
        list->clearLines();
        list->showLastLine();
        QCoreApplication::processEvents();
        QCOMPARE(list->count(), 0);
    }

    void clearEmptiesListAndShownCountersOnly()
    {
        FoundFixture f;
        TSearchForm& form = *f.form;
        form.ListBox1->setLines({f.file("p.tmp", 700'000), "/x/q.tmp"});
        f.clickLine(0);
        form.ListBoxDodajPodejrzane = QStringList{"1", "1"};
        form.ListBoxRozmiar = QStringList{"700000", "12"};
        for (QLabel* counter : {form.Label48, form.Label50, form.Label53}) counter->setText(QStringLiteral("2 plików"));
        form.Label57->setText(QStringLiteral("683 KB"));

        form.Wyczylist1->trigger();
        QCOMPARE(form.ListBox1->count(), 0);
        QVERIFY(form.ListBoxDodajPodejrzane.isEmpty());
        QCOMPARE(form.ListBoxRozmiar, (QStringList{"700000", "12"}));
        QCOMPARE(f.text("Label12"), QStringLiteral("Wyczyszczono listę"));
        for (const char* counter : {"Label48", "Label50", "Label53"}) QCOMPARE(f.text(counter), QStringLiteral("0 plików"));
        QCOMPARE(f.text("Label57"), QStringLiteral("0 KB"));
        QCOMPARE(form.LabelAlerty->text(), QStringLiteral("-"));
        QVERIFY(form.Alert_Sredni->isHidden());
        QVERIFY(std::filesystem::exists(f.folder() / "p.tmp"));
    }
};

QTEST_MAIN(FoundListTest)
#include "foundlist_test.moc"
