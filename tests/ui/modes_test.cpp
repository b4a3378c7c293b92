// The scan mode reactions: warnings, list loading, the counter and the gauge interval, and
// a mode file that has gone missing.
#include "formfixture.h"

#include "core/common/linelist.h"
#include "ui/widgets/checklistbox.h"

#include <QtTest>

using namespace mtl;
using namespace mtl::test;

class ModesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<FormFixture>();
        f->storeUsualSettings();
        f->create();
        f->platform.dialogs.messages.clear();
    }
    void cleanup() { f.reset(); }

    void intervalFollowsTheMaskCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("interval");
        QTest::newRow("99") << 99 << "99000";
        QTest::newRow("100") << 100 << "10000";
        QTest::newRow("250") << 250 << "25000";
        QTest::newRow("empty file") << 0 << "0000";
    }
    void intervalFollowsTheMaskCount()
    {
        QFETCH(int, count);
        QFETCH(QString, interval);
        f->platform.writeFilter("filtr_a2.dat", masks(count));
        f->form->RadioButton1->click();
        QVERIFY(f->form->RadioButton1->isChecked());
        QCOMPARE(f->form->ListBoxFiltry->count(), count);
        QCOMPARE(f->text("Label_LiczbaFiltrow"), QString::number(count));
        QCOMPARE(f->form->LabelProgres, interval);
        QCOMPARE(f->form->Label_EdytowanyTryb->text(), QStringLiteral("Pośredni"));
        QVERIFY(f->platform.dialogs.messages.empty());
    }

    void warningComesBeforeTheListChangesAndOnlyOnce()
    {
        f->platform.writeFilter("filtr_a3.dat", masks(3, "*.adv"));
        const QStringList before = f->form->ListBoxFiltry->lines();
        QStringList atWarning;
        f->platform.dialogs.onMessage = [&](const MessageRequest&) { atWarning = f->form->ListBoxFiltry->lines(); };
        f->form->RadioButton3->click();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f->platform.dialogs.messages[0].title), QStringLiteral("Uwaga !! "));
        QVERIFY(QString::fromStdString(f->platform.dialogs.messages[0].text)
                    .startsWith(QStringLiteral("Zaznaczyłeś opcję bardzo dokładnego szukania.\n\n")));
        QCOMPARE(atWarning, before);
        QCOMPARE(f->form->ListBoxFiltry->line(0), QStringLiteral("*.adv0"));
        // Choosing the checked mode again neither warns nor reloads.
        f->platform.writeFilter("filtr_a3.dat", masks(1, "*.new"));
        f->form->RadioButton3->click();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f->form->ListBoxFiltry->count(), 3);
    }

    void eachWarningHasItsTitle_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("express advanced") << "RadioButton9" << "Uwaga ! ";
        QTest::newRow("spyware") << "RadioButton5" << "Uwaga !";
        QTest::newRow("pornware") << "RadioButton6" << "Uwaga !";
    }
    void eachWarningHasItsTitle()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        f->get<QRadioButton>(button.toLatin1().constData())->click();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(f->platform.dialogs.messages[0].title).startsWith(title));
        QVERIFY(f->platform.dialogs.messages[0].icon == MessageIcon::Warning);
    }

    void expressUnchecksItsNormalModeAndLoadsItsOwnFile()
    {
        f->platform.writeFilter("filtr_exp-a1.dat", "Thumbs.db\r\n");
        QVERIFY(f->form->RadioButton4->isChecked());
        f->form->RadioButton7->click();
        QVERIFY(!f->form->RadioButton4->isChecked());
        QCOMPARE(f->form->ListBoxFiltry->lines(), QStringList{QStringLiteral("Thumbs.db")});
        QCOMPARE(f->form->Label_EdytowanyTryb->text(), QStringLiteral("Bezpieczny (Expresowy)"));
        // Any of the nine unchecks the other eight.
        f->form->RadioButton2->click();
        int checked = 0;
        for (int i = 1; i <= 9; ++i) checked += f->get<QRadioButton>(("RadioButton" + std::to_string(i)).c_str())->isChecked();
        QCOMPARE(checked, 1);
    }

    void lineEndsAndNulFollowTheListRules()
    {
        f->platform.writeFilter("filtr_user.dat", "*.a\r\n\r\n*.b");
        f->form->RadioButton2->click();
        QCOMPARE(f->form->ListBoxFiltry->lines(), (QStringList{"*.a", "", "*.b"}));
        QCOMPARE(f->text("Label_LiczbaFiltrow"), QStringLiteral("3"));

        f->platform.writeFilter("filtr_a2.dat", std::string("*.x\n*.y\0z\n*.w", 12));
        f->form->RadioButton1->click();
        QCOMPARE(f->form->ListBoxFiltry->lines(), (QStringList{"*.x", "*.y"}));
    }

    void missingModeFileIsReportedAndLeavesTheListEmpty()
    {
        f->platform.writeFilter("filtr_a2.dat", masks(120));
        f->form->RadioButton1->click();
        QCOMPARE(f->form->LabelProgres, QStringLiteral("12000"));
        std::filesystem::remove(f->platform.filtersFolder() / "filtr_user.dat");
        f->form->RadioButton2->click();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        const auto& report = f->platform.dialogs.messages[0];
        QVERIFY(report.icon == MessageIcon::Error);
        QCOMPARE(QString::fromStdString(report.title), QStringLiteral("Miotlarz 9.0 Pro"));
        QVERIFY(QString::fromStdString(report.text).contains(QStringLiteral("filtr_user.dat")));
        QVERIFY(f->form->RadioButton2->isChecked());
        QCOMPARE(f->form->ListBoxFiltry->count(), 0);
        QCOMPARE(f->form->Label_EdytowanyTryb->text(), QStringLiteral("Użytkownika"));
        QCOMPARE(f->text("Label_LiczbaFiltrow"), QStringLiteral("120"));
        QCOMPARE(f->form->LabelProgres, QStringLiteral("12000"));
    }

    void clickingAMaskCopiesItIntoTheEditorField()
    {
        f->platform.writeFilter("filtr_user.dat", "*.a\r\n*.b\r\n");
        f->form->RadioButton2->click();
        f->form->EditDodajFiltr->setText(QStringLiteral("unchanged"));
        f->form->ListBoxFiltryClick();  // no current line yet
        QCOMPARE(f->form->EditDodajFiltr->text(), QStringLiteral("unchanged"));
        f->form->ListBoxFiltry->setCurrentRow(1);
        f->form->ListBoxFiltryClick();
        QCOMPARE(f->form->EditDodajFiltr->text(), QStringLiteral("*.b"));
        // A line's check box has no meaning for the list: unchecking keeps the mask listed.
        f->form->ListBoxFiltry->setChecked(0, false);
        QCOMPARE(f->form->ListBoxFiltry->lines(), (QStringList{"*.a", "*.b"}));
    }

    void sortedFlagKeepsLaterListsSorted()
    {
        f->platform.writeFilter("filtr_user.dat", "*.zz\r\nB*\r\n*.aa\r\n");
        f->form->filtersSorted = true;
        f->form->RadioButton2->click();
        QCOMPARE(f->form->ListBoxFiltry->lines(), (QStringList{"*.aa", "*.zz", "B*"}));
    }
};

QTEST_MAIN(ModesTest)
#include "modes_test.moc"
