// The main window after an ordinary start: every named control with its caption and hint,
// the tabs, the popup menus, the idle state, the mode group, the hidden parts and the dialog
// frames.
#include "formfixture.h"

#include "core/platform/programfolder.h"
#include "ui/backup/form7.h"
#include "ui/backup/form9.h"
#include "ui/filters/form8.h"
#include "ui/results/form1.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/filelistbox.h"
#include "ui/widgets/foldertree.h"
#include "ui/widgets/radiogroup.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>


using namespace mtl;
using namespace mtl::test;

namespace {

QString homeRoot() { return QString::fromStdString(withTrailingSlash(homeFolder().string())); }

// The visible text a control carries: a button's or label's caption, a field's text, a
// group's title; lists and bars carry none.
QString captionOf(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    return QString();
}

// A start with statistics at zero, the usual threshold and folders, and no option stored:
// every control shows the window's design state.
void storeInstallerStatistics(FormFixture& f)
{
    auto& r = f.platform.registry;
    for (const char* name : {"Liczba", "Skasowano", "Data", "SkasowanoMB"})
        r.set(Hive::CurrentUser, kStatsKey, name, "0");
    r.set(Hive::CurrentUser, kStatsKey, "LOGKatalog", f.platform.scratch().string() + "/");
    r.set(Hive::CurrentUser, kStatsKey, "BAKKatalog", f.platform.scratch().string() + "/");
    r.set(Hive::CurrentUser, kStatsKey, "RozmiarIgnoral", "2570000");
}

const QString kAlertHint = QString::fromUtf8(
    "Pokazuje alert możliwej niestabilności po usunięciu pliku.\r\nZielony - Niski, Żółty - Średni, "
    "Czerwony - Wysoki");
const QString kSaveHint = QString::fromUtf8(
    "Zapisz ustawienia programu. Będą one zawsze automatycznie ustawiane po uruchomieniu programu");
QString minutes(const char* count)
{
    return QString::fromUtf8("Skanowanie potrwa około %1 minut (w zależności od ilości plików na dysku)")
        .arg(QString::fromLatin1(count));
}

struct Expected {
    const char* name;
    QString caption;
    QString hint;
};

QList<Expected> expectedControls()
{
    auto u = [](const char* text) { return QString::fromUtf8(text); };
    return {
        // Left column, top right, bottom.
        {"RozpocznijSkanowanie", u(">> Rozpocznij skanowanie"),
         u("Rozpocznij wyszukiwanie.\r\n\r\nUpewnij się, czy wybrałeś\r\nodpowiedni tryb szukania.\r\n"
           "(domyślnie: \"bezpieczny\").")},
        {"SpeedButton4", u(""),
         u("Szybkie usunięcie plików.\r\nAutomatycznie zaznacza i\r\nusuwa wszystkie pliki z listy.\r\n"
           "(Kopia tworzona domyślnie)")},
        {"Label12", u("Gotowy do skanowania...."), u("")},
        {"Label11", u("Znalazłem:"), u("")},
        {"Label50", u("0 plików"), u("")},
        {"Label57", u("0 KB"), u("")},
        {"Label48", u("0 plików"), u("")},
        {"Label53", u("0 plików"), u("")},
        {"Label24", u("0 plików"), u("")},
        {"Label18", u("0 KB"), u("")},
        {"Label15", u("0"), u("")},
        {"Label16", u("0"), u("")},
        {"Label20", u("0"), u("")},
        {"Label26", u("0"), u("")},
        {"Label22", u("0"), u("")},
        {"LabelAlerty", u("-"), kAlertHint},
        {"Alert_Niski", u(""), kAlertHint},
        {"Alert_Sredni", u(""), kAlertHint},
        {"Alert_Wysoki", u(""), kAlertHint},
        {"btnStop", u("Pauza"), u("Wstrzymuje skanowanie na żądanie użytkownika")},
        {"Button4", u("Pełna lista"), u("Pokaż ścieżki do znalezionych plików na pełnym ekranie")},
        {"Praca_W_Tle", u("W tle"), u("Zminimalizuj do zasobnika jeśli chcesz pracować w tle...")},
        {"Label27", u("00:00"), u("")},
        {"Button1", u("Zamknij program"),
         u("Zamknij aplikację. \r\nJeśli jeszcze skanuje - powinieneś cierpliwie poczekać.")},
        {"StatusSkanowania", u(""), u("")},
        {"StatusGotowe", u(""), u("")},
        // "Skanowanie..."
        {"ListBox1", u(""), u("")},
        // "Wybór trybu"
        {"ListBoxFiltry", u(""), u("")},
        {"RadioButton4", u("Bezpieczny"), minutes("2")},
        {"RadioButton7", u("Express"), u("")},
        {"RadioButton1", u("Pośredni"), minutes("5")},
        {"RadioButton8", u("Express"), u("")},
        {"RadioButton3", u("Zaawansowany"), minutes("8")},
        {"RadioButton9", u("Express"), u("")},
        {"RadioButton2", u("Ustawienia użytkownika"),
         u("W tym trybie możesz sam zadecydować jakie typy plików mają być usuwane")},
        {"RadioButton5", u("Tryb wyszukiwania szpiegów i trojanów"), minutes("16")},
        {"RadioButton6", u("Tryb wyszukiwania plików o treści porno"), minutes("4")},
        {"ZapiszWyborTrybu", u("Zastosuj wprowadzone zmiany"), kSaveHint},
        {"Button25", u("Edytor baz filtrów"), u("")},
        {"Label_EdytowanyTryb", u("?"), u("")},
        {"LabelKomunikat", u("-"), u("")},
        {"EditSzukajFiltra", u(""), u("")},
        {"EditDodajFiltr", u(""), u("")},
        {"Button10", u("Dodaj filtr"), u("Dodaj własny typ filtra do wyszukiwania")},
        {"Button27", u("Zamień nazwę filtra"), u("Zmień nazwę (sygnaturę) edytowanego filtra")},
        {"Button14", u("Usuń filtr"), u("Zaznacz wybrany filtr i usuń")},
        {"Button20", u("Sortuj listę filtrów"), u("Posortuj listę filtrów według kolejności alfabetycznej")},
        {"Button29", u("Edytuj plik bazy"), u("Edytuj plik ręcznie za pomocą notatnika systemowego")},
        // "Opisy filtrów"
        {"ListView", u(""), u("")},
        {"Sorted", u("Sortuj listę opisów plików tymczasowych według kolejności alfabetycznej"), u("")},
        {"EditWyszukaj", u(""), u("")},
        {"Button11", u("Szukaj pliku"), u("")},
        // "Odzyskiwanie"
        {"Label43", u("Dostępne pliki kopii zapasowych. Liczba kopii:"), u("")},
        {"Label62", u("?"), u("")},
        {"FileListBox1", u(""),
         u("Porada: Jeśli chcesz  usunąć wszystkie kopie zaznacz je najeżdżając myszką na pierwszą pozycję "
           "i przeciągając kursorem na ostatnią. Teraz naciśnij \"Usuń wybrane kopie\".")},
        {"Button23", u("Usuń wybrane kopie"),
         u("Zaznacz jedną lub kilka\r\nkopii i usuń - jeśli nie\r\nwystąpiły problemy z\r\naplikacjami lub "
           "nie\r\npotrzebujesz trzymać\r\nich na dysku")},
        {"Button3", u("Odzyskaj pliki z wybranej kopii"),
         u("Wybierz kopię zapasową i naciśnij, aby odzyskać wszystkie pliki z tej kopii do pierwotnej "
           "lokalizacji")},
        {"Button2", u("Zaawansowane odzyskiwanie"), u("Wybierz zaawansowane odzyskiwanie plików z wybranej kopii")},
        {"Label3", u("Utworzone pliki LOG. Liczba logów:"), u("")},
        {"Label63", u("?"), u("")},
        {"FileListBox2", u(""),
         u("Porada: Jeśli chcesz  usunąć wszystkie raporty zaznacz je najeżdżając myszką na pierwszą "
           "pozycję i przeciągając kursorem na ostatnią. Teraz naciśnij \"Usuń wybrane raporty\".")},
        {"Button24", u("Usuń wybrane raporty"),
         u("Zaznacz jeden lub kilka\r\nraportów i usuń - jeśli\r\nnie potrzebujesz\r\ntrzymać ich na dysku")},
        {"Button17", u("Przeglądaj wybrany raport"),
         u("Wybierz plik raportu i naciśnij w celu przejrzenia jego zawartości")},
        {"ProgressBar2", u(""), u("")},
        // "Ignorowania"
        {"Edit6", u(""), u("")},
        {"Button5", u("Dodaj ścieżkę"),
         u("Dodaj własny plik łącznie ze ścieżką, aby przy kolejnym skanowaniu był ignorowany")},
        {"Button31", u("Wczytaj"), u("Wczytaj ścieżkę automatycznie, wybierając plik do ignorowania z dysku")},
        {"Edit7", u(""), u("")},
        {"Button16", u("Dodaj rozszerzenie"),
         u("Dodaj własny typ filtra do ignorowania składający się ze znaków wieloznacznych np: r?port.*")},
        {"ListaIgnorowania", u(""), u("")},
        {"ListBoxIgnorujTypy", u(""), u("")},
        // "Ustawienia"
        {"GroupBox5", u("Ustawienia główne"), u("")},
        {"CheckBox141", u("Automatycznie dodawaj pliki o podwyższonym ryzyku do listy Ignorowań większe od:"), u("")},
        {"EditRozmiarIgnorowania", u("2570000"),
         u("Liczba musi być podana w bajtach (domyślnie około 2570000 bajtów ~ 2,5 MB)")},
        {"CheckBox122", u("Automatycznie twórz kopię bezpieczeństwa usuwanych plików (zalecane)"), u("")},
        {"CheckBox100", u("Zapisuj logi ze skanowania systemu"), u("")},
        {"CheckBox102", u("Włącz możliwość tworzenia raportów HTML"), u("")},
        {"CheckBox1", u("Integruj skanowanie folderów poprzez wybór z menu systemowego Windows"), u("")},
        {"CheckBoxSpeed", u("Przyśpiesz szukanie i usuwanie plików - wyłącz monitorowanie pracy (nie zalecane)"),
         u("Włączenie tej opcji spowoduje wyłączenie wszystkich statystyk, tworzenia logów i raportów, "
           "rozmiarów plików i kasowania atrybutów ! (nie zalecane)")},
        {"CheckBoxDzwieki", u("Odtwarzaj dźwięki dla alertów, skanowania i tworzenia kopii (zalecane)"), u("")},
        {"Label81", u("Plik modułu skanowania od programu antywirusowego"), u("")},
        {"EditAntywirus", u(""), u("")},
        {"Button8", u("Zmień antywirusa"), u("")},
        {"Label74", u("Zmień wygląd wybraną skórką. Puste pole - skórka domyślna."), u("")},
        {"EditSkin", u(""), u("")},
        {"Button30", u("Zmień skórkę"), u("")},
        {"cbRecursive", u("Przeszukuj podfoldery dysku"), u("")},
        {"CheckBox144", u("Szukaj w plikach z atrybutem tylko do odczytu"), u("")},
        {"CheckBox145", u("Szukaj w plikach z atrybutem ukryty"), u("")},
        {"CheckBox146", u("Szukaj w plikach z atrybutem systemowy"), u("")},
        {"CheckBox148", u("Szukaj w plikach z atrybutem archiwalny"), u("")},
        {"CheckBox149", u("Szukaj w plikach bez atrybutów"), u("")},
        {"CheckBox147", u("Szukaj jako nazw folderów"), u("")},
        {"CheckBox103", u("Automatycznie kasuj atrybuty pliku"), u("")},
        {"CheckBox99", u("Pokaż podpowiedzi do przycisków"), u("")},
        {"CheckBoxUpdate", u("Poinformuj jeśli bazy mają ponad"), u("")},
        {"EditWiekBazy", u("21"), u("")},
        {"SpeedButton1", u("      Odśwież statystyki       "), u("Usuwanie wszystkich statystyk ze skanowania")},
        {"Label40", u("Więcej skór..."), u("")},
        {"Button6", u("Monitor Instalacji Programów"),
         u("Monitor instalacji oprogramowania pozwoli dokładnie usunąć pozostałości po odinstalowanym "
           "programie...")},
        {"Button35", u("Kreator ustawień"),
         u("Kreator ustawień pomoże Ci w zarządzaniu opcjami Miotlarza i jego modułami.")},
        {"GroupBox6", u("Ustawienia - Monitor Czystości Dysku"), u("")},
        {"CheckBox2", u("Uruchamiaj monitor co 4 start systemu, a po przeanalizowaniu wyłącz monitor"), u("")},
        {"Label66", u("Analizowany dysk"), u("")},
        {"EditDysk", homeRoot(), u("")},
        {"Label67", u("Analizowany folder Temporary Internet Files"), u("")},
        {"EditTemporary", u(""), u("")},
        {"Button28", u("Zmień katalog"), u("")},
        {"Button26", u("Przeprowadź teraz analizę dysku"), u("")},
        {"rgCompressionLevel", u("Ustawienia metody kompresji dla kopii zapasowej"), u("")},
        {"SpeedButton3", u("Wczytaj"), u("")},
        {"SpeedButton2", u("Zapisz"), u("")},
        {"GroupBox4", u("Ustawienie ścieżek dla kopii zapasowej (BACKUP) i plików raportu (MTL)"), u("")},
        {"Label44", u("Aktualna ścieżka do plików kopii zapasowej"), u("")},
        {"Label42", u("Aktualna ścieżka do pliku LOG"), u("")},
        {"Button18", u("Zmień katalog"), u("")},
        {"Button19", u("Zmień katalog"), u("")},
        {"SkanujDysk", homeRoot(),
         u("Ta opcja nie podlega modyfikacjom przez użytkownika. Pokazuje tylko ścieżkę przeznaczoną do "
           "skanowania.")},
        {"ZapiszUstawienia", u("Zastosuj wprowadzone zmiany"), kSaveHint},
        // "Info i Pomoc"
        {"Label5", u("Zapraszam na Oficjalną Stronę Programu:"), u("")},
        {"Label55", u("Pytania do programu - Kontakt:"), u("")},
        {"Label75", u("Pomoc w obsłudze Miotlarza:"), u("")},
        {"Label76", u("Poczytaj plik pomocy"), u("")},
        {"Label61", u("Uaktualnienie bazy:"), u("")},
        {"Label80", u("Sprawdź, czy jest nowsza baza"), u("")},
        {"Button34", u("Uruchom kreatora ustawień"), u("")},
        {"PobierzBaze", u("Upd"), u("")},
        {"Instaluj", u("Inst"), u("")},
        {"Label37",
         u("Jeśli chcesz, aby program Miotlarz był dalej rozwijany i unowocześniany, przyślij swoje sugestie i "
           "uwagi o programie pod adres podany powyżej. Dzięki temu usuwanie plików tymczasowych stanie się "
           "jeszcze doskonalsze..."),
         u("")},
        {"GroupBox8", u("Wersja bazy i modułów"), u("")},
        {"Label39", u("Wersja bazy:\r\nData używanej bazy:"), u("")},
        {"Label38", u("Wersja:\r\nWersja kodowa:\r\nModuły:"), u("")},
        {"Label51", u("9.0 Pro\r\n9.0.03.05.361 build 21\r\n(mtl_mon 1.26), (mtl_inst 1.0)"), u("")},
        {"Label52", u("Status bazy:"), u("")},
        {"Label82", u("Używanych filtrów:"), u("")},
        {"Label83", u("Wszystkich filtrów:"), u("")},
        {"Label84", u("Spyware i trojanów:"), u("")},
        {"Label85", u("Pornware:"), u("")},
        {"RoznicaDat", u(">> Nie aktualna !:      opublikowana ? dni temu"), u("")},
        // Hidden buttons run by clicks from code.
        {"UsunNormalnie", u("usun norm"), u("")},
        {"UsunSzybko", u("usun speed"), u("")},
        {"Button15", u("porownaj"), u("")},
    };
}

// Each menu's entries in order: "name|caption", or "-" for a separator.
QStringList menuEntries(const QMenu* menu)
{
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + u'|' + action->text());
    return entries;
}

} // namespace

class SearchFormLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<FormFixture>();
        storeInstallerStatistics(*f);
        f->create();
    }
    void cleanup() { f.reset(); }

    void startsWithoutMessages()
    {
        // With complete data and stored folders, creation asks nothing of the user.
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(0));
    }

    void windowFrame()
    {
        TSearchForm& form = *f->form;
        QCOMPARE(form.objectName(), QStringLiteral("SearchForm"));
        const QString title = form.windowTitle();
        QVERIFY(title.startsWith(QStringLiteral(" Miotlarz 9.0 Professional ")));
        QVERIFY(title.mid(26).trimmed().isEmpty());
        QCOMPARE(form.minimumSize(), QSize(939, 510));
        QCOMPARE(form.maximumSize(), QSize(939, 510));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    }

    void controlsHaveDesignCaptionsAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        for (const Expected& control : expectedControls())
            QTest::newRow(control.name) << QString::fromLatin1(control.name) << control.caption << control.hint;
    }
    void controlsHaveDesignCaptionsAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        const QList<QWidget*> found = f->form->findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);  // one control per design name
        QCOMPARE(captionOf(found.front()), caption);
        QCOMPARE(found.front()->toolTip(), hint);
    }

    void tabsInDesignOrder()
    {
        const QTabWidget* pages = f->get<QTabWidget>("PageControl1");
        QVERIFY(pages);
        const std::pair<const char*, const char*> tabs[] = {
            {"TabSheet1", "Skanowanie..."}, {"TabSheet3", "Wybór trybu"}, {"TabSheet4", "Opisy filtrów"},
            {"TabSheet6", "Odzyskiwanie"},  {"TabSheet7", "Ignorowania"}, {"TabSheet2", "Ustawienia"},
            {"TabSheet5", "Info i Pomoc"},
        };
        QCOMPARE(pages->count(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(pages->widget(i)->objectName(), QString::fromLatin1(tabs[i].first));
            QCOMPARE(pages->tabText(i), QString::fromUtf8(tabs[i].second));
        }
        QCOMPARE(pages->currentIndex(), 0);
        // The working controls sit on their tabs.
        QVERIFY(f->form->TabSheet1->isAncestorOf(f->form->ListBox1));
        QVERIFY(f->form->TabSheet3->isAncestorOf(f->form->RadioButton9));
        QVERIFY(f->form->TabSheet4->isAncestorOf(f->form->ListView));
        QVERIFY(f->form->TabSheet6->isAncestorOf(f->form->FileListBox2));
        QVERIFY(f->form->TabSheet7->isAncestorOf(f->form->ListBoxIgnorujTypy));
        QVERIFY(f->form->TabSheet2->isAncestorOf(f->form->SkanujDysk));
        QVERIFY(f->form->TabSheet5->isAncestorOf(f->form->Sygnatura_Status));
    }

    void popupMenusInDesignOrder_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("entries");
        auto u = [](const char* text) { return QString::fromUtf8(text); };
        const QString sep = QStringLiteral("-");
        QTest::newRow("PopupGlowny") << u("PopupGlowny") << QStringList{
            u("Szczegyobiektu1|Szczegóły obiektu"), sep,
            u("Zaznaczwszystko1|Zaznacz wszystkie pliki"),
            u("Usuplik1|Usuń tylko jeden zaznaczony plik"),
            u("Usuwszystko1|Usuń wszystkie zaznaczone pliki"), sep,
            u("Utwrzkopizapasowpliku1|Zrób kopię tylko wybranego pliku"),
            u("Utwrzkopiwszystkichplikw1|Utwórz kopię wszystkich plików"), sep,
            u("Odzyskajplikizkopiizapas1|Odzyskaj pliki z kopii zapasowej"), sep,
            u("ylkowyrzuzlistynieusuwaj1|Wyrzuć pliki z listy (nie usuwaj)"),
            u("Usuignorowane1|Dodaj pliki do listy Ignorowań"),
            u("ZaznaczIgnorujdlawszystkichplikw1|Zaznacz pliki jako \"Ignorowane\""),
            u("df1|Odznacz pliki jako \"Ignorowane\""), sep,
            u("Uruchomplik1|Uruchom zaznaczony plik"),
            u("Zmie1|Ustaw normalny atrybut"),
            u("Iddolokalizacjipliku1|Idź do lokalizacji pliku..."),
            u("Sortujlist1|Sortuj alfabetycznie listę "),
            u("Sprawdantywirusem1|Sprawdź antywirusem"), sep,
            u("RaportHTML|Exportuj raport do HTMa"),
            u("Zapiszlist1|Zapisz listę plików"),
            u("Wczytajlist1|Wczytaj listę plików"),
            u("Naprawbdnewpisylisty1|Napraw błędne wpisy listy"),
            u("Wyczylist1|Czyść listę znalez. plików"),
        };
        QTest::newRow("PopupIgnorujPliki") << u("PopupIgnorujPliki") << QStringList{
            u("Szczegyobiektu2|Szczegóły obiektu"), sep,
            u("Usutenplikzdysku1|Usuń zaznaczone pliki z dysku"), sep,
            u("Usunieistnijcepliki1|Napraw błędne wpisy ścieżek"),
            u("Usuzlistyignorowania1|Usuń zazn. z listy ignorowania"),
            u("Posortujlist1|Posortuj listę"),
            u("Czylist1|Usuń listę"),
        };
        QTest::newRow("PopupIgnorujTypy") << u("PopupIgnorujTypy") << QStringList{
            u("Usufiltrzlisty1|Usuń filtr z listy"),
            u("Posortujlist2|Posortuj listę"),
            u("Czylist2|Usuń listę"),
        };
        QTest::newRow("PopupTray") << u("PopupTray") << QStringList{
            u("Przywrokno1|Przywróć menu \"Skanowanie...\""),
        };
    }
    void popupMenusInDesignOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, entries);
        const QMenu* popup = f->form->findChild<QMenu*>(menu);
        QVERIFY(popup);
        QCOMPARE(menuEntries(popup), entries);
    }

    void listsOfferTheirMenusOnRightClick()
    {
        for (QWidget* list : std::initializer_list<QWidget*>{f->form->ListBox1, f->form->ListaIgnorowania,
                                                             f->form->ListBoxIgnorujTypy}) {
            QCOMPARE(list->contextMenuPolicy(), Qt::CustomContextMenu);
        }
        QCOMPARE(f->form->TrayIcon->contextMenu(), f->form->PopupTray);
    }

    void idleStateAfterStart()
    {
        TSearchForm& form = *f->form;
        QVERIFY(!form.RozpocznijSkanowanie->isHidden());
        QVERIFY(form.RozpocznijSkanowanie->isEnabled());
        QVERIFY(!form.btnStop->isEnabled());
        QVERIFY(!form.StatusSkanowania->isHidden());
        QVERIFY(form.StatusGotowe->isHidden());
        QVERIFY(form.Label27->isHidden());
        QVERIFY(!form.Animacja->isActive());
        QCOMPARE(form.EncartaGauge->value(), 0);
        QCOMPARE(form.EncartaGauge->minimum(), 0);
        QCOMPARE(form.EncartaGauge->maximum(), 100);
        QCOMPARE(form.ProgressBar2->value(), 0);
        for (const auto& [timer, interval] : {std::pair{form.Timer1, 2000}, std::pair{form.Timer2, 1000},
                                              std::pair{form.Timer4, 5}}) {
            QVERIFY(!timer->isActive());
            QCOMPARE(timer->interval(), interval);
        }
        QCOMPARE(form.findChild<QTimer*>(QStringLiteral("Timer2")), form.Timer2);
        QCOMPARE(form.TrayIcon->objectName(), QStringLiteral("TrayIcon"));
        QCOMPARE(form.TrayIcon->toolTip(), QStringLiteral("Miotlarz 9"));
        QVERIFY(!form.TrayIcon->isVisible());
        QCOMPARE(form.LabelProgres, QStringLiteral("0"));
        QCOMPARE(form.Zaznaczone, QStringLiteral("0"));
        QVERIFY(!form.filtersSorted);
        QCOMPARE(form.ImageFormaty.size(), 8);
        // The folder tree starts on the folder the scan path shows.
        QCOMPARE(form.DhCheckFolder1->selectedPath(), QString::fromStdString(homeFolder().string()));
    }

    void designCheckStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checked");
        for (const char* on : {"CheckBox141", "CheckBox122", "CheckBox100", "CheckBox1", "CheckBoxDzwieki",
                               "cbRecursive", "CheckBox144", "CheckBox145", "CheckBox146", "CheckBox148",
                               "CheckBox149", "CheckBox103", "CheckBox99", "CheckBoxUpdate", "CheckBox2"})
            QTest::newRow(on) << QString::fromLatin1(on) << true;
        for (const char* off : {"CheckBox102", "CheckBoxSpeed", "CheckBox147", "Sorted"})
            QTest::newRow(off) << QString::fromLatin1(off) << false;
    }
    void designCheckStates()
    {
        QFETCH(QString, name);
        QFETCH(bool, checked);
        const QCheckBox* box = f->form->findChild<QCheckBox*>(name);
        QVERIFY(box);
        QCOMPARE(box->isChecked(), checked);
    }

    void compressionChoiceDesign()
    {
        const mtl::ui::RadioGroup* choice = f->form->rgCompressionLevel;
        QCOMPARE(choice->itemCount(), 4);
        const QStringList items{QStringLiteral("Szybka"), QStringLiteral("Normalna"), QStringLiteral("Najlepsza"),
                                QStringLiteral("Bez kompresji")};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(choice->itemText(i), items[i]);
        QCOMPARE(choice->itemIndex(), 0);
    }

    void hiddenPartsStayHidden()
    {
        TSearchForm& form = *f->form;
        for (QWidget* hidden : std::initializer_list<QWidget*>{
                 form.PanelLokalizacja, form.WskazTemporary, form.PanelError, form.PanelEdytorFiltrow,
                 form.CheckBox147, form.PobierzBaze, form.Instaluj, form.ProgressBar, form.LabelAktualizacjaInfo,
                 form.LabelPostep, form.Alert_Niski, form.Alert_Sredni, form.Alert_Wysoki, form.UsunNormalnie,
                 form.UsunSzybko, form.Button15}) {
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
        }
        for (const char* name : {"PanelLokalizacja", "WskazTemporary", "PanelError", "PanelEdytorFiltrow"})
            QVERIFY(f->get<QFrame>(name));
        // A hidden button still runs its reaction when clicked from code.
        QSignalSpy clicks(form.Button15, &QPushButton::clicked);
        form.Button15->click();
        QCOMPARE(clicks.count(), 1);
        // The mask editor covers the mode group exactly.
        QCOMPARE(form.PanelEdytorFiltrow->geometry(), form.modeGroupBox->geometry());
    }

    void designColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        for (const char* red : {"Label_LiczbaFiltrow", "Label_EdytowanyTryb", "LabelKomunikat", "Label62", "Label63",
                                "Label_Ignorowan", "Label_IgnorowanTypy", "Sygnatura_Data", "Sygnatura_WersjaCODE",
                                "Sygnatura_WersjaMODE", "Sygnatura_Uzywane", "Sygnatura_Wszystkie",
                                "Sygnatura_Spyware", "Sygnatura_Pornware", "RoznicaDat"})
            QTest::newRow(red) << QString::fromLatin1(red) << QColor(Qt::red);
        for (const char* blue : {"Label40", "Label76", "Label80"})
            QTest::newRow(blue) << QString::fromLatin1(blue) << QColor(Qt::blue);
    }
    void designColours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        const QLabel* label = f->form->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    }

    void dialogDescriptorsCarryTheirFilters()
    {
        TSearchForm& form = *f->form;
        QCOMPARE(form.Zapisz.filter, std::string("Miotlarz Find Files - *.MFF|*.mff"));
        QCOMPARE(form.Otworz.filter, std::string("Miotlarz Find Files - *.MFF|*.mff"));
        QCOMPARE(form.ExportHTML.filter, std::string("Strona HTML|*.htm"));
        QCOMPARE(form.WczytajSkin.filter, std::string("Plik Skórki   (SKN)|*.skn"));
        QCOMPARE(form.WczytajPlik.filter, std::string("Dowolny plik do Ignorowania|*.*"));
        QCOMPARE(form.WczytajAntywir.filter, std::string("Pliki wykonalne (EXE)|*.exe;*.bat"));
    }

    void nineModeButtonsExcludeEachOther()
    {
        const QStringList names{"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4", "RadioButton5",
                                "RadioButton6", "RadioButton7", "RadioButton8", "RadioButton9"};
        QCOMPARE(f->form->RadioButton4->isChecked(), true);
        for (const QString& chosen : names) {
            f->form->findChild<QRadioButton*>(chosen)->click();
            for (const QString& other : names)
                QCOMPARE(f->form->findChild<QRadioButton*>(other)->isChecked(), other == chosen);
        }
    }

    void modeReactionRunsOnlyForTheButtonThatBecomesChecked()
    {
        auto& dialogs = f->platform.dialogs;
        // Zaawansowany warns (W1), its Express variant warns too (W2). Leaving Zaawansowany
        // must not run its reaction again, and choosing the checked mode again runs nothing.
        f->form->RadioButton3->click();
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        f->form->RadioButton3->click();
        f->form->RadioButton3->setChecked(true);
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        f->form->RadioButton9->setChecked(true);
        QCOMPARE(dialogs.messages.size(), std::size_t(2));
        QVERIFY(dialogs.messages[0].title != dialogs.messages[1].title);
        f->form->RadioButton4->click();
        QCOMPARE(dialogs.messages.size(), std::size_t(2));
        QCOMPARE(f->form->Label_EdytowanyTryb->text(), QStringLiteral("Bezpieczny"));
    }

    void clickingAMaskCopiesItIntoTheEditorField()
    {
        TSearchForm& form = *f->form;
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet3);
        form.RadioButton1->click();
        QVERIFY(form.ListBoxFiltry->count() > 1);
        const QRect second = form.ListBoxFiltry->visualItemRect(form.ListBoxFiltry->item(1));
        QTest::mouseClick(form.ListBoxFiltry->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(form.EditDodajFiltr->text(), form.ListBoxFiltry->line(1));
        // Setting the current line from code is no click.
        form.EditDodajFiltr->clear();
        form.ListBoxFiltry->setCurrentRow(0);
        QCOMPARE(form.EditDodajFiltr->text(), QString());
    }

    void firstShowRunsOnce()
    {
        // The recovery branch of the first show announces itself, so each run is visible.
        f.reset();
        f = std::make_unique<FormFixture>();
        storeInstallerStatistics(*f);
        writeFile(f->platform.programFolder() / "autosave.mff", "/tmp/a.tmp\r\n");
        f->create();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(0));
        f->form->show();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        f->form->hide();
        f->form->show();
        f->form->showMinimized();
        f->form->showNormal();
        QCOMPARE(f->platform.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f->form->ListBox1->count(), 1);
    }

    void closeButtonRunsItsReaction()
    {
        QSignalSpy ends(f->form.get(), &TSearchForm::endRequested);
        f->form->Button1->click();
        QCOMPARE(ends.count(), 1);
    }

    void dialogFrames()
    {
        TForm8 form8;
        QCOMPARE(form8.objectName(), QStringLiteral("TForm8"));
        QCOMPARE(form8.size(), QSize(467, 440));
        QVERIFY(form8.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form8.windowFlags() & Qt::WindowStaysOnTopHint);

        TForm1 form1;
        QCOMPARE(form1.objectName(), QStringLiteral("TForm1"));
        QCOMPARE(form1.size(), QSize(832, 238));
        QVERIFY(form1.windowTitle().startsWith(QStringLiteral("Wszystkie znalezione pliki ")));
        auto* fullList = form1.findChild<mtl::ui::CheckListBox*>(QStringLiteral("ListBox2"));
        QVERIFY(fullList);
        QCOMPARE(fullList->selectionMode(), QAbstractItemView::SingleSelection);
        fullList->addLine(QStringLiteral("/tmp/a.tmp"));
        // A plain list: its lines carry no check box.
        QVERIFY(!(fullList->item(0)->flags() & Qt::ItemIsUserCheckable));
        QVERIFY(!fullList->item(0)->data(Qt::CheckStateRole).isValid());
        QCOMPARE(fullList->palette().color(QPalette::Base), QColor(Qt::black));

        TForm9 form9;
        QCOMPARE(form9.objectName(), QStringLiteral("TForm9"));
        QCOMPARE(form9.minimumSize(), QSize(582, 486));
        QCOMPARE(form9.maximumSize(), QSize(582, 486));
        QVERIFY(form9.windowTitle().startsWith(
            QString::fromUtf8("Zaawansowanego odzyskiwania plików z kopii bezpieczeństwa ")));
        QVERIFY(!(form9.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        TForm7 form7;
        QCOMPARE(form7.objectName(), QStringLiteral("TForm7"));
        QCOMPARE(form7.size(), QSize(394, 144));
        QVERIFY(form7.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form7.windowFlags() & Qt::WindowStaysOnTopHint);

        f->form->setDialogs(&form8, &form1, &form9, &form7);
        QCOMPARE(f->form->Form9, &form9);
    }
};

QTEST_MAIN(SearchFormLayoutTest)
#include "searchform_layout_test.moc"
