// The controls the main window is built from: the check list's lines and check states, the
// radio group's choice by position, the file list's masks and the folder tree's reports.
#include "support/fakes.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/filelistbox.h"
#include "ui/widgets/foldertree.h"
#include "ui/widgets/radiogroup.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>
#include <stdexcept>

using mtl::test::TempDir;
using mtl::test::writeFile;

class SearchFormControlsTest : public QObject {
    Q_OBJECT

    TempDir m_scratch;

private slots:
    void checkListLinesStartUncheckedAndRejectBadIndices()
    {
        mtl::ui::CheckListBox list;
        list.setLines({QStringLiteral("a"), QString(), QStringLiteral("  c ")});
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.lines(), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("  c ")}));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!list.isChecked(i));
        list.setChecked(2, true);
        QVERIFY(list.isChecked(2));
        // Replacing the lines drops the old check states.
        list.setLines({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
        QVERIFY(!list.isChecked(2));
        list.addLine(QStringLiteral("w"));
        QCOMPARE(list.line(3), QStringLiteral("w"));
        QVERIFY(!list.isChecked(3));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.line(4));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.line(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.setChecked(9, true));
        list.clearLines();
        QCOMPARE(list.count(), 0);
    }

    void radioGroupChoiceByPosition()
    {
        mtl::ui::RadioGroup group(QStringLiteral("g"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 2);
        QCOMPARE(group.itemIndex(), -1);
        QSignalSpy changes(&group, &mtl::ui::RadioGroup::itemIndexChanged);
        group.setItemIndex(2);
        QCOMPARE(group.itemIndex(), 2);
        group.setItemIndex(0);
        QCOMPARE(group.itemIndex(), 0);
        QVERIFY(!group.itemButton(2)->isChecked());
        // No choice at all is a state of its own, which an exclusive group alone cannot reach.
        group.setItemIndex(-1);
        QCOMPARE(group.itemIndex(), -1);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!group.itemButton(i)->isChecked());
        QCOMPARE(changes.count(), 3);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, group.setItemIndex(3));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, group.setItemIndex(-2));
    }

    void fileListFollowsItsMasks()
    {
        const auto folder = m_scratch.path() / "archives";
        std::filesystem::create_directories(folder / "sub.mtb");
        for (const char* name : {"b.mtb", "A.MTB", "c.backup", ".ukryty.mtb", "d.mtl", "e.txt", "bez_kropki"})
            writeFile(folder / name, "x");
        mtl::ui::FileListBox list;
        list.setMask(QStringLiteral("*.mtb;*.backup"));
        list.setDirectory(QString::fromStdString(folder.string()));
        // Hidden files are listed, folders are not, masks ignore letter case.
        QCOMPARE(list.fileNames(), (QStringList{QStringLiteral(".ukryty.mtb"), QStringLiteral("A.MTB"),
                                                QStringLiteral("b.mtb"), QStringLiteral("c.backup")}));
        QCOMPARE(list.filePath(2), QString::fromStdString((folder / "b.mtb").string()));
        list.setMask(QStringLiteral("*.*"));
        QCOMPARE(list.count(), 7);  // "*.*" also takes names without a dot
        writeFile(folder / "f.mtl", "x");
        list.setMask(QStringLiteral("*.mtl"));
        QCOMPARE(list.count(), 2);
        std::filesystem::remove(folder / "f.mtl");
        list.refresh();
        QCOMPARE(list.count(), 1);
        list.setDirectory(QString::fromStdString((folder / "brak").string()));
        QCOMPARE(list.count(), 0);
    }

    void folderTreeReportsEachNewSelection()
    {
        mtl::ui::FolderTree tree;
        QSignalSpy changes(&tree, &mtl::ui::FolderTree::folderChanged);
        const auto folder = m_scratch.path() / "drzewo";
        std::filesystem::create_directories(folder / "podfolder");
        const QString path = QString::fromStdString(folder.string());
        QVERIFY(tree.setSelectedPath(path));
        QCOMPARE(tree.selectedPath(), path);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toString(), path);
        QVERIFY(tree.setSelectedPath(path));
        QCOMPARE(changes.count(), 1);  // the same folder again is no change
        QVERIFY(!tree.setSelectedPath(path + QStringLiteral("/brak")));
        QCOMPARE(tree.selectedPath(), path);
    }
};

QTEST_MAIN(SearchFormControlsTest)
#include "searchform_controls_test.moc"
