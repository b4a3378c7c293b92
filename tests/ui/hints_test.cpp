// The hints switch "Pokaż podpowiedzi do przycisków": it takes the hints of exactly its
// controls away and gives the same texts back, leaves every other hint alone, and runs only
// when the box's state changes. The folder tree starts without its hint.
#include "formfixture.h"

#include "ui/app/hints.h"
#include "ui/widgets/foldertree.h"

#include <QMap>
#include <QtTest>

using namespace mtl;
using namespace mtl::test;

namespace {

const QStringList kSwitched{
    "DhCheckFolder1", "SpeedButton1", "SpeedButton4", "Button1",      "Button2",          "Button3",
    "Button4",        "Button5",      "Button6",      "ZapiszUstawienia", "Button10",     "Button14",
    "Button16",       "Button17",     "Button20",     "ZapiszWyborTrybu", "Button23",     "Button24",
    "Button27",       "Button29",     "Button31",     "Button35",     "btnStop",          "EditWyszukaj",
    "LabelAlerty",    "RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4",     "RadioButton5",
    "RadioButton6",   "CheckBoxSpeed", "Alert_Niski", "Alert_Sredni", "Alert_Wysoki",     "FileListBox1",
    "FileListBox2",   "Praca_W_Tle",
};

const QString kFolderHint = QString::fromUtf8(
    "Zaznacz folder lub dysk.\r\n\r\nObiekt musi być podświetlony.\r\nMożesz wybrać dowolny\r\nfolder "
    "podrzędny.");

// Every named control's tool tip.
QMap<QString, QString> toolTips(const QWidget& window)
{
    QMap<QString, QString> tips;
    for (const QWidget* control : window.findChildren<QWidget*>())
        if (!control->objectName().isEmpty()) tips.insert(control->objectName(), control->toolTip());
    return tips;
}

} // namespace

class HintsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<FormFixture>();
        f->storeUsualSettings();
        f->create();
    }
    void cleanup() { f.reset(); }

    void switchCoversThirtyEightNamedControls()
    {
        QCOMPARE(kSwitched.size(), 38);
        for (const QString& name : kSwitched)
            QVERIFY2(f->form->findChild<QWidget*>(name), qPrintable(name));
    }

    void folderTreeStartsWithoutItsHint()
    {
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), QString());
        QCOMPARE(mtl::ui::hintOf(*f->form->DhCheckFolder1), kFolderHint);
        f->form->setFolderTreeHintOn();
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), kFolderHint);
    }

    void uncheckingClearsExactlyTheSwitchedHints()
    {
        const QMap<QString, QString> before = toolTips(*f->form);
        f->form->CheckBox99->setChecked(false);
        const QMap<QString, QString> after = toolTips(*f->form);
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QString& name = it.key();
            if (kSwitched.contains(name))
                QVERIFY2(after[name].isEmpty(), qPrintable(name));
            else
                QVERIFY2(after[name] == it.value(), qPrintable(name));
        }
        // These go on showing theirs.
        for (const char* name : {"RozpocznijSkanowanie", "SkanujDysk", "EditRozmiarIgnorowania"})
            QVERIFY(!after[QString::fromLatin1(name)].isEmpty());
    }

    void checkingGivesTheSameTextsBack()
    {
        f->form->setFolderTreeHintOn();
        const QMap<QString, QString> before = toolTips(*f->form);
        int withHints = 0;
        for (const QString& name : kSwitched)
            withHints += before[name].isEmpty() ? 0 : 1;
        QCOMPARE(withHints, 37);  // the search field has no hint text of its own
        f->form->CheckBox99->setChecked(false);
        f->form->CheckBox99->setChecked(true);
        QCOMPARE(toolTips(*f->form), before);
    }

    void switchingOnAlsoGivesTheFolderTreeItsHint()
    {
        f->form->CheckBox99->setChecked(false);
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), QString());
        f->form->CheckBox99->setChecked(true);
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), kFolderHint);
        // A folder choice after switching off turns the tree's hint on by itself.
        f->form->CheckBox99->setChecked(false);
        f->form->setFolderTreeHintOn();
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), kFolderHint);
    }

    void settingTheSameStateRunsNothing()
    {
        // Checked at design: checking it again must not run the switch, which would give the
        // folder tree its hint before any folder was chosen.
        f->form->CheckBox99->setChecked(true);
        QCOMPARE(f->form->DhCheckFolder1->toolTip(), QString());
        QVERIFY(!f->form->Button4->toolTip().isEmpty());
    }

    void storedSettingOffStartsWithHintsOff()
    {
        f.reset();
        f = std::make_unique<FormFixture>();
        f->storeUsualSettings();
        f->setting("Podpowiedzi", "0");
        f->create();
        QVERIFY(!f->form->CheckBox99->isChecked());
        for (const QString& name : kSwitched)
            QVERIFY2(f->form->findChild<QWidget*>(name)->toolTip().isEmpty(), qPrintable(name));
        QVERIFY(!f->form->RozpocznijSkanowanie->toolTip().isEmpty());
        f->form->CheckBox99->setChecked(true);
        QCOMPARE(f->form->Button31->toolTip(),
                 QString::fromUtf8("Wczytaj ścieżkę automatycznie, wybierając plik do ignorowania z dysku"));
    }

    void userClickSwitches()
    {
        f->form->show();
        f->form->PageControl1->setCurrentWidget(f->form->TabSheet2);
        f->form->CheckBox99->click();
        QVERIFY(!f->form->CheckBox99->isChecked());
        QCOMPARE(f->form->btnStop->toolTip(), QString());
        f->form->CheckBox99->click();
        QCOMPARE(f->form->btnStop->toolTip(), QString::fromUtf8("Wstrzymuje skanowanie na żądanie użytkownika"));
    }
};

QTEST_MAIN(HintsTest)
#include "hints_test.moc"
