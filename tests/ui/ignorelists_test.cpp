// The ignore lists driven through the window's controls: adding paths and masks, the two
// popup menus, the found list's "Dodaj pliki do listy Ignorowań", the compare step, the
// sorted mode, the counters and the list files written after every change.
#include "formfixture.h"

#include "core/common/linelist.h"
#include "ui/widgets/checklistbox.h"

#include <QAction>
#include <QtTest>

#include <filesystem>
#include <stdexcept>

using namespace mtl;
using namespace mtl::test;
namespace fs = std::filesystem;
using mtl::ui::CheckListBox;

namespace {

const char* const kPathFile = "filtr_ignoralplik.dat";
const char* const kMaskFile = "filtr_ignoraltyp.dat";

QStringList qlist(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines) list.append(QString::fromUtf8(line));
    return list;
}

QStringList qlist(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const auto& line : lines) list.append(QString::fromStdString(line));
    return list;
}

} // namespace

class IgnoreListsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

    // A window whose ignore files hold these bytes at start-up.
    void start(const std::string& paths, const std::string& masks)
    {
        f = std::make_unique<FormFixture>();
        f->storeUsualSettings();
        f->platform.writeFilter(kPathFile, paths);
        f->platform.writeFilter(kMaskFile, masks);
        f->create();
        f->platform.dialogs.messages.clear();
    }
    // A real file of the scratch folder; its path as the lists hold it.
    std::string file(const std::string& name) const
    {
        const auto path = f->platform.scratch() / name;
        writeFile(path, "dane");
        return path.string();
    }
    std::string raw(const char* name) const { return readFile(f->platform.filtersFolder() / name); }
    QStringList stored(const char* name) const { return qlist(readLineList(f->platform.filtersFolder() / name)); }
    CheckListBox* pathBox() const { return f->form->ListaIgnorowania; }
    CheckListBox* maskBox() const { return f->form->ListBoxIgnorujTypy; }
    // The one message shown; a test that sees none or several fails here.
    const MessageRequest& onlyMessage() const
    {
        const auto& shown = f->platform.dialogs.messages;
        if (shown.size() != 1)
            throw std::runtime_error(std::to_string(shown.size()) + " messages instead of one");
        return shown.front();
    }
    static void select(CheckListBox* list, std::initializer_list<int> rows)
    {
        for (int row : rows) list->item(row)->setSelected(true);
    }

private slots:
    void cleanup() { f.reset(); }

    // ---- "Wczytaj" and "Dodaj ścieżkę" ----

    void loadPutsTheChosenPathIntoTheField()
    {
        start("", "");
        f->form->Edit6->setText(QStringLiteral("/stary/tekst"));
        f->platform.dialogs.fileAnswers = {std::string("/home/u/plik.tmp")};
        f->form->Button31->click();
        QCOMPARE(f->form->Edit6->text(), QStringLiteral("/home/u/plik.tmp"));
        QCOMPARE(f->platform.dialogs.fileRequests.back().filter, std::string("Dowolny plik do Ignorowania|*.*"));

        f->platform.dialogs.fileAnswers = {std::nullopt};
        f->form->Button31->click();
        QCOMPARE(f->form->Edit6->text(), QString());
        QCOMPARE(pathBox()->count(), 0);
    }

    void addPath_data()
    {
        QTest::addColumn<QString>("entry");  // "@name": a real file of the scratch folder
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("empty field") << "" << false << "Nie podano ścieżki do żadnego pliku !" << "Brak ścieżki";
        QTest::newRow("no such file") << "/nie/ma/takiego.tmp" << false
                                      << "We wskazanej ścieżce nie istnieje taki plik !" << "Błąd";
        QTest::newRow("a folder is no file") << "@" << false << "We wskazanej ścieżce nie istnieje taki plik !"
                                             << "Błąd";
        QTest::newRow("new file") << "@nowy.tmp" << true << "" << "";
        QTest::newRow("already listed") << "@stary.tmp" << false << "" << "";
        // Another letter case is another file on Linux.
        QTest::newRow("other letter case") << "@STARY.tmp" << true << "" << "";
    }
    void addPath()
    {
        QFETCH(QString, entry);
        QFETCH(bool, added);
        QFETCH(QString, message);
        QFETCH(QString, title);
        f = std::make_unique<FormFixture>();
        const std::string old = (f->platform.scratch() / "stary.tmp").string();
        writeFile(old, "x");
        f->storeUsualSettings();
        // LF line ends: a save shows as the file rewritten with CR LF.
        f->platform.writeFilter(kPathFile, old + "\n");
        f->create();
        f->platform.dialogs.messages.clear();

        QString path = entry;
        if (entry == u"@") {
            path = QString::fromStdString((f->platform.scratch() / "folder").string());
            fs::create_directory(path.toStdString());
        } else if (entry.startsWith(u'@')) {
            path = QString::fromStdString(file(entry.mid(1).toStdString()));
        }
        f->form->Edit6->setText(path);
        f->form->Button5->click();

        QStringList expected{QString::fromStdString(old)};
        if (added) expected.append(path);
        QCOMPARE(pathBox()->lines(), expected);
        QCOMPARE(f->text("Label_Ignorowan"), QString::number(expected.size()));
        QCOMPARE(stored(kPathFile), expected);
        QVERIFY(raw(kPathFile).find("\r\n") != std::string::npos);
        QCOMPARE(f->form->Edit6->text(), path);
        if (message.isEmpty()) {
            QVERIFY(f->platform.dialogs.messages.empty());
        } else {
            const auto& shown = onlyMessage();
            QCOMPARE(QString::fromStdString(shown.text), message);
            QVERIFY(QString::fromStdString(shown.title).startsWith(title + u' '));
            QVERIFY(shown.icon == MessageIcon::Error);
        }
    }

    // ---- "Dodaj rozszerzenie" ----

    void addMask_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("added");
        QTest::newRow("empty field") << "" << false;
        QTest::newRow("new mask") << "*.bak" << true;
        QTest::newRow("same mask") << "r?port.*" << false;
        QTest::newRow("ascii case differs") << "R?PORT.*" << false;
        QTest::newRow("not validated") << "[[**" << true;
    }
    void addMask()
    {
        QFETCH(QString, mask);
        QFETCH(bool, added);
        start("", "r?port.*\n");
        f->form->Edit7->setText(mask);
        f->form->Button16->click();
        QStringList expected = qlist({"r?port.*"});
        if (added) expected.append(mask);
        QCOMPARE(maskBox()->lines(), expected);
        QCOMPARE(f->text("Label_IgnorowanTypy"), QString::number(expected.size()));
        QCOMPARE(raw(kMaskFile), expected.join(QStringLiteral("\r\n")).toStdString() + "\r\n");
        if (mask.isEmpty()) {
            const auto& shown = onlyMessage();
            QCOMPARE(shown.text, std::string("Nie podano żadnego typu filtra !"));
            QVERIFY(QString::fromStdString(shown.title).startsWith(QStringLiteral("Błąd ")));
            QVERIFY(shown.icon == MessageIcon::Warning);
        } else {
            QVERIFY(f->platform.dialogs.messages.empty());
        }
    }

    void emptyMaskLineIsLoadedAndKept()
    {
        start("", "*.tmp\r\n\r\n*.bak\r\n");
        QCOMPARE(maskBox()->lines(), qlist({"*.tmp", "", "*.bak"}));
        QCOMPARE(f->text("Label_IgnorowanTypy"), QStringLiteral("3"));
    }

    void unwritableListFileIsReportedAndTheListKeepsItsLine()
    {
        start("", "*.tmp\r\n");
        // Without the data folder the file cannot be replaced.
        fs::remove_all(f->platform.filtersFolder());
        f->form->Edit7->setText(QStringLiteral("*.bak"));
        f->form->Button16->click();
        QCOMPARE(maskBox()->lines(), qlist({"*.tmp", "*.bak"}));
        const auto& shown = onlyMessage();
        QCOMPARE(shown.title, std::string(kApplicationTitle));
        QVERIFY(shown.icon == MessageIcon::Error);
        QVERIFY(shown.text.find(kMaskFile) != std::string::npos);
    }

    // ---- Popup menu of the path list ----

    void deleteFromDiskTakesOnlySelectedExistingFiles()
    {
        start("", "");
        const std::string a = file("a.tmp"), b = file("b.tmp"), c = file("c.tmp");
        const std::string gone = (f->platform.scratch() / "gone.tmp").string();
        for (const auto& path : {a, b, gone, c}) pathBox()->addLine(QString::fromStdString(path));
        select(pathBox(), {0, 2, 3});
        f->form->Alert_Wysoki->show();
        f->form->LabelAlerty->setText(QStringLiteral("Wysokie !"));

        f->form->Usutenplikzdysku1->trigger();

        QVERIFY(!fs::exists(a));
        QVERIFY(!fs::exists(c));
        QVERIFY(fs::exists(b));
        const QStringList left{QString::fromStdString(b), QString::fromStdString(gone)};
        QCOMPARE(pathBox()->lines(), left);
        QCOMPARE(stored(kPathFile), left);
        QCOMPARE(f->text("Label_Ignorowan"), QStringLiteral("2"));
        QVERIFY(f->form->Alert_Wysoki->isHidden());
        QCOMPARE(f->text("LabelAlerty"), QStringLiteral("-"));
        QVERIFY(f->platform.dialogs.messages.empty());
    }

    void repairRemovesPathsWithoutFile_data()
    {
        QTest::addColumn<int>("missing");
        QTest::newRow("two of five missing") << 2;
        QTest::newRow("all present") << 0;
    }
    void repairRemovesPathsWithoutFile()
    {
        QFETCH(int, missing);
        start("", "");
        QStringList present;
        for (int i = 0; i < 5; ++i) {
            const auto path = QString::fromStdString(file("f" + std::to_string(i)));
            pathBox()->addLine(path);
            if (i < missing) fs::remove(path.toStdString());
            else present.append(path);
        }
        QString duringPending;
        f->platform.pump.onPending = [&] { duringPending = f->text("Label12"); };

        f->form->Usunieistnijcepliki1->trigger();

        QCOMPARE(duringPending, QStringLiteral("Trwa naprawa wpisów..."));
        QCOMPARE(f->text("Label12"), QStringLiteral("Gotowe..."));
        QCOMPARE(pathBox()->lines(), present);
        QCOMPARE(stored(kPathFile), present);
        QCOMPARE(f->text("Label_Ignorowan"), QString::number(present.size()));
        const auto& shown = onlyMessage();
        QCOMPARE(QString::fromStdString(shown.text),
                 QStringLiteral("Usunięto błędnych odwołań do plików:  %1\nPozostało dobrych wpisów:                    %2")
                     .arg(missing)
                     .arg(5 - missing));
        QCOMPARE(shown.title, std::string(kApplicationTitle));
        QVERIFY(shown.icon == MessageIcon::None);
    }

    void repairOfAnEmptyListWarnsAndWritesNothing()
    {
        start("", "");
        fs::remove(f->platform.filtersFolder() / kPathFile);
        f->form->Usunieistnijcepliki1->trigger();
        const auto& shown = onlyMessage();
        QCOMPARE(shown.text, std::string("Nie ma żadnych ścieżek plików wymagających naprawienia !"));
        QVERIFY(shown.icon == MessageIcon::Warning);
        QVERIFY(!fs::exists(f->platform.filtersFolder() / kPathFile));
        QCOMPARE(f->platform.pump.pendingCalls, 0);
    }

    void removeSelectedFromTheList()
    {
        start("/a\r\n/b\r\n/c\r\n/d\r\n", "");
        select(pathBox(), {0, 2});
        f->form->Usuzlistyignorowania1->trigger();
        QCOMPARE(pathBox()->lines(), qlist({"/b", "/d"}));
        QCOMPARE(stored(kPathFile), qlist({"/b", "/d"}));
        QCOMPARE(f->text("Label_Ignorowan"), QStringLiteral("2"));
    }

    void clearList_data()
    {
        QTest::addColumn<bool>("pathList");
        QTest::addColumn<bool>("yes");
        QTest::newRow("paths, Yes") << true << true;
        QTest::newRow("paths, No") << true << false;
        QTest::newRow("masks, Yes") << false << true;
        QTest::newRow("masks, No") << false << false;
    }
    void clearList()
    {
        QFETCH(bool, pathList);
        QFETCH(bool, yes);
        // LF line ends, so the rewrite after a No shows in the file.
        start("/a\n/b\n", "*.tmp\n*.bak\n");
        f->platform.dialogs.answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
        CheckListBox* list = pathList ? pathBox() : maskBox();
        const char* fileName = pathList ? kPathFile : kMaskFile;
        const QStringList before = list->lines();

        (pathList ? f->form->Czylist1 : f->form->Czylist2)->trigger();

        const auto& asked = onlyMessage();
        QCOMPARE(QString::fromStdString(asked.text),
                 pathList ? QStringLiteral("Czy napewno chcesz usunąć całą listę ignorowanych plików ?")
                          : QStringLiteral("Czy napewno chcesz usunąć całą listę ignorowanych filtrów ?\nMożesz "
                                           "doprowadzić do destabilizacji systemu i aplikacji !"));
        QVERIFY(QString::fromStdString(asked.title)
                    .startsWith(pathList ? QStringLiteral("Usuwanie listy ignorowań ")
                                         : QStringLiteral("Usuwanie listy filtrów ")));
        QVERIFY(asked.icon == MessageIcon::Question);
        QVERIFY(asked.buttons == MessageButtons::YesNo);
        const QStringList after = yes ? QStringList() : before;
        QCOMPARE(list->lines(), after);
        QCOMPARE(raw(fileName), yes ? std::string() : after.join(QStringLiteral("\r\n")).toStdString() + "\r\n");
        QCOMPARE(f->text(pathList ? "Label_Ignorowan" : "Label_IgnorowanTypy"), QString::number(after.size()));
        // The other list is left alone.
        QCOMPARE(raw(pathList ? kMaskFile : kPathFile), std::string(pathList ? "*.tmp\n*.bak\n" : "/a\n/b\n"));
    }

    // ---- Popup menu of the mask list ----

    void removeMaskTakesOnlyTheCurrentOne()
    {
        start("", "*.a\r\n*.b\r\n*.c\r\n*.d\r\n");
        select(maskBox(), {0, 1, 3});
        maskBox()->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        QCOMPARE(maskBox()->selectedItems().size(), 3);
        f->form->Usufiltrzlisty1->trigger();
        QCOMPARE(maskBox()->lines(), qlist({"*.a", "*.c", "*.d"}));
        QCOMPARE(stored(kMaskFile), qlist({"*.a", "*.c", "*.d"}));
        QCOMPARE(f->text("Label_IgnorowanTypy"), QStringLiteral("3"));
    }

    void removeMaskWithoutCurrentLineRemovesNothing()
    {
        start("", "*.a\r\n*.b\r\n");
        maskBox()->setCurrentRow(-1);
        f->form->Usufiltrzlisty1->trigger();
        QCOMPARE(maskBox()->lines(), qlist({"*.a", "*.b"}));
        QVERIFY(f->platform.dialogs.messages.empty());
    }

    // ---- Sorted mode ----

    void sortedModeKeepsLaterLinesInPlace_data()
    {
        QTest::addColumn<bool>("pathList");
        QTest::newRow("paths") << true;
        QTest::newRow("masks") << false;
    }
    void sortedModeKeepsLaterLinesInPlace()
    {
        QFETCH(bool, pathList);
        start("", "");
        CheckListBox* list = pathList ? pathBox() : maskBox();
        const char* fileName = pathList ? kPathFile : kMaskFile;
        const QString p = pathList ? QString::fromStdString(f->platform.scratch().string() + "/") : QStringLiteral("*.");
        auto texts = [&](std::initializer_list<const char*> names) {
            QStringList result;
            for (const char* name : names) result.append(p + QString::fromLatin1(name));
            return result;
        };
        list->setLines(texts({"b", "C", "a"}));

        (pathList ? f->form->Posortujlist1 : f->form->Posortujlist2)->trigger();
        QCOMPARE(list->lines(), texts({"a", "b", "C"}));
        QCOMPARE(stored(fileName), texts({"a", "b", "C"}));

        // Lines arriving from elsewhere (the scan's intake, the details dialog) go to their place too.
        list->addLine(p + QStringLiteral("B2"));
        QCOMPARE(list->lines(), texts({"a", "b", "B2", "C"}));
        if (pathList) {
            file("aa");
            f->form->Edit6->setText(p + QStringLiteral("aa"));
        } else {
            f->form->Edit7->setText(p + QStringLiteral("aa"));
        }
        (pathList ? f->form->Button5 : f->form->Button16)->click();
        QCOMPARE(list->lines(), texts({"a", "aa", "b", "B2", "C"}));
        QCOMPARE(stored(fileName), list->lines());
        QVERIFY(f->platform.dialogs.messages.empty());
    }

    // ---- Found list and compare step ----

    void addCheckedFoundFilesToTheIgnoreList()
    {
        start("/t/b\r\n", "");
        f->form->ListBox1->setLines(qlist({"/t/a", "/t/b", "/t/c", "/t/d"}));
        for (int row : {0, 1, 3}) f->form->ListBox1->setChecked(row, true);

        f->form->Usuignorowane1->trigger();

        QCOMPARE(f->form->ListBox1->lines(), qlist({"/t/c"}));
        // Walked from the last entry; "/t/b" goes in a second time.
        QCOMPARE(pathBox()->lines(), qlist({"/t/b", "/t/d", "/t/b", "/t/a"}));
        QCOMPARE(stored(kPathFile), pathBox()->lines());
        QCOMPARE(f->text("Label_Ignorowan"), QStringLiteral("4"));
        QCOMPARE(f->text("Label11"), QStringLiteral("Zostało: "));
        QCOMPARE(f->text("Label50"), QStringLiteral("1 plików"));
        QCOMPARE(f->text("Label12"), QStringLiteral("Dodano plik(i) do listy ignorowań"));

        // Two ignore entries "/t/b" cancel two found copies, never a third.
        f->form->ListBox1->setLines(qlist({"/t/b", "/t/b", "/t/x", "/t/b"}));
        f->form->Button15->click();
        QCOMPARE(f->form->ListBox1->lines(), qlist({"/t/x", "/t/b"}));
        QCOMPARE(f->text("Label48"), QStringLiteral("2 plików"));
    }

    void addFoundFilesWithEmptyFoundList()
    {
        start("/t/b\n", "");
        f->form->Usuignorowane1->trigger();
        const auto& shown = onlyMessage();
        QCOMPARE(shown.text, std::string("Brak plików na liście !"));
        QVERIFY(QString::fromStdString(shown.title).startsWith(QStringLiteral("Błąd ")));
        QVERIFY(shown.icon == MessageIcon::Error);
        QCOMPARE(raw(kPathFile), std::string("/t/b\n"));
    }

    void compareStep_data()
    {
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("ignored");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("one line cancelled")
            << qlist({"/t/a.tmp", "/t/b.tmp", "/t/c.tmp"}) << qlist({"/t/b.tmp", "/t/q.tmp"})
            << qlist({"/t/a.tmp", "/t/c.tmp"});
        QTest::newRow("one entry, one of two equal lines")
            << qlist({"/t/a", "/t/a"}) << qlist({"/t/a"}) << qlist({"/t/a"});
        // The Windows example (C:\TEMP\A.TMP against c:\temp\a.tmp) names two files on Linux.
        QTest::newRow("letter case differs") << qlist({"/TEMP/A.TMP"}) << qlist({"/temp/a.tmp"})
                                             << qlist({"/TEMP/A.TMP"});
        QTest::newRow("same letter case") << qlist({"/TEMP/A.TMP"}) << qlist({"/TEMP/A.TMP"}) << QStringList();
        QTest::newRow("nothing to ignore") << qlist({"/t/a", "/t/b"}) << QStringList() << qlist({"/t/a", "/t/b"});
        QTest::newRow("empty found list") << QStringList() << qlist({"/t/a"}) << QStringList();
    }
    void compareStep()
    {
        QFETCH(QStringList, found);
        QFETCH(QStringList, ignored);
        QFETCH(QStringList, kept);
        start("", "");
        pathBox()->setLines(ignored);
        CheckListBox* list = f->form->ListBox1;
        list->setLines(found);
        for (int row = 0; row < list->count(); ++row) {
            list->setChecked(row, true);
            list->item(row)->setSelected(true);
        }
        f->form->Button15->click();

        QCOMPARE(list->lines(), kept);
        for (int row = 0; row < list->count(); ++row) {
            QVERIFY(!list->isChecked(row));
            QVERIFY(!list->item(row)->isSelected());
        }
        QCOMPARE(f->text("Label48"), QStringLiteral("%1 plików").arg(found.size() - kept.size()));
        QCOMPARE(f->text("Label50"), QStringLiteral("%1 plików").arg(kept.size()));
        QVERIFY(f->form->ListaPorownana.isEmpty());
        // The ignore list itself is not consumed.
        QCOMPARE(pathBox()->lines(), ignored);
        QVERIFY(f->platform.dialogs.messages.empty());
    }
};

QTEST_MAIN(IgnoreListsTest)
#include "ignorelists_test.moc"
