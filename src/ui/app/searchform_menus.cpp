// Construction of the main window's popup menus and non-visual parts: the tray icon, the
// timers, the file dialog descriptions, the image list and the hidden buttons that run
// internal steps when clicked from code.
#include "ui/app/searchform.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/pictures.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#include <initializer_list>

namespace {

struct Item {
    QAction** action;  // nullptr: a separator
    const char* name;
    const char* caption;
};

QMenu* makeMenu(QWidget* owner, const char* name, std::initializer_list<Item> items)
{
    auto* menu = new QMenu(owner);
    menu->setObjectName(QString::fromLatin1(name));
    for (const Item& item : items) {
        if (!item.action) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        *item.action = action;
    }
    return menu;
}

constexpr Item kSeparator{nullptr, nullptr, nullptr};

// Shows a list's popup menu at the clicked point of its viewport.
void attachMenu(mtl::ui::CheckListBox* list, QMenu* menu)
{
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [list, menu](const QPoint& point) {
                         menu->popup(list->viewport()->mapToGlobal(point));
                     });
}

} // namespace

void TSearchForm::buildMenus()
{
    PopupGlowny = makeMenu(this, "PopupGlowny", {
        {&Szczegyobiektu1, "Szczegyobiektu1", "Szczegóły obiektu"},
        kSeparator,
        {&Zaznaczwszystko1, "Zaznaczwszystko1", "Zaznacz wszystkie pliki"},
        {&Usuplik1, "Usuplik1", "Usuń tylko jeden zaznaczony plik"},
        {&Usuwszystko1, "Usuwszystko1", "Usuń wszystkie zaznaczone pliki"},
        kSeparator,
        {&Utwrzkopizapasowpliku1, "Utwrzkopizapasowpliku1", "Zrób kopię tylko wybranego pliku"},
        {&Utwrzkopiwszystkichplikw1, "Utwrzkopiwszystkichplikw1", "Utwórz kopię wszystkich plików"},
        kSeparator,
        {&Odzyskajplikizkopiizapas1, "Odzyskajplikizkopiizapas1", "Odzyskaj pliki z kopii zapasowej"},
        kSeparator,
        {&ylkowyrzuzlistynieusuwaj1, "ylkowyrzuzlistynieusuwaj1", "Wyrzuć pliki z listy (nie usuwaj)"},
        {&Usuignorowane1, "Usuignorowane1", "Dodaj pliki do listy Ignorowań"},
        {&ZaznaczIgnorujdlawszystkichplikw1, "ZaznaczIgnorujdlawszystkichplikw1",
         "Zaznacz pliki jako \"Ignorowane\""},
        {&df1, "df1", "Odznacz pliki jako \"Ignorowane\""},
        kSeparator,
        {&Uruchomplik1, "Uruchomplik1", "Uruchom zaznaczony plik"},
        {&Zmie1, "Zmie1", "Ustaw normalny atrybut"},
        {&Iddolokalizacjipliku1, "Iddolokalizacjipliku1", "Idź do lokalizacji pliku..."},
        {&Sortujlist1, "Sortujlist1", "Sortuj alfabetycznie listę "},
        {&Sprawdantywirusem1, "Sprawdantywirusem1", "Sprawdź antywirusem"},
        kSeparator,
        {&RaportHTML, "RaportHTML", "Exportuj raport do HTMa"},
        {&Zapiszlist1, "Zapiszlist1", "Zapisz listę plików"},
        {&Wczytajlist1, "Wczytajlist1", "Wczytaj listę plików"},
        {&Naprawbdnewpisylisty1, "Naprawbdnewpisylisty1", "Napraw błędne wpisy listy"},
        {&Wyczylist1, "Wyczylist1", "Czyść listę znalez. plików"},
    });

    PopupIgnorujPliki = makeMenu(this, "PopupIgnorujPliki", {
        {&Szczegyobiektu2, "Szczegyobiektu2", "Szczegóły obiektu"},
        kSeparator,
        {&Usutenplikzdysku1, "Usutenplikzdysku1", "Usuń zaznaczone pliki z dysku"},
        kSeparator,
        {&Usunieistnijcepliki1, "Usunieistnijcepliki1", "Napraw błędne wpisy ścieżek"},
        {&Usuzlistyignorowania1, "Usuzlistyignorowania1", "Usuń zazn. z listy ignorowania"},
        {&Posortujlist1, "Posortujlist1", "Posortuj listę"},
        {&Czylist1, "Czylist1", "Usuń listę"},
    });

    PopupIgnorujTypy = makeMenu(this, "PopupIgnorujTypy", {
        {&Usufiltrzlisty1, "Usufiltrzlisty1", "Usuń filtr z listy"},
        {&Posortujlist2, "Posortujlist2", "Posortuj listę"},
        {&Czylist2, "Czylist2", "Usuń listę"},
    });

    PopupTray = makeMenu(this, "PopupTray", {
        {&Przywrokno1, "Przywrokno1", "Przywróć menu \"Skanowanie...\""},
    });
    Przywrokno1->setIcon(mtl::ui::pictures::applicationIcon());

    attachMenu(ListBox1, PopupGlowny);
    attachMenu(ListaIgnorowania, PopupIgnorujPliki);
    attachMenu(ListBoxIgnorujTypy, PopupIgnorujTypy);
}

void TSearchForm::buildComponents()
{
    auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        return timer;
    };
    Timer1 = makeTimer("Timer1", 2000);  // progress gauge; the interval is set per scan
    Timer2 = makeTimer("Timer2", 1000);  // scan clock and tray hint
    Timer4 = makeTimer("Timer4", 5);     // reopens the details dialog on the next file

    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setIcon(mtl::ui::pictures::applicationIcon());
    TrayIcon->setToolTip(QStringLiteral("Miotlarz 9"));
    TrayIcon->setContextMenu(PopupTray);

    Zapisz.filter = "Miotlarz Find Files - *.MFF|*.mff";
    Otworz.filter = "Miotlarz Find Files - *.MFF|*.mff";
    ExportHTML.filter = "Strona HTML|*.htm";
    WczytajSkin.filter = "Plik Skórki   (SKN)|*.skn";
    WczytajPlik.filter = "Dowolny plik do Ignorowania|*.*";
    WczytajAntywir.filter = "Pliki wykonalne (EXE)|*.exe;*.bat";

    for (int index = 0; index < 8; ++index)
        ImageFormaty.append(mtl::ui::pictures::categoryIcon(index));

    // Internal steps that other commands run by clicking them from code; never shown.
    UsunNormalnie = makeButton(this, "UsunNormalnie", QStringLiteral("usun norm"), {0, 0, 75, 25});
    UsunSzybko = makeButton(this, "UsunSzybko", QStringLiteral("usun speed"), {0, 0, 75, 25});
    Button15 = makeButton(this, "Button15", QStringLiteral("porownaj"), {0, 0, 75, 25});
    for (QPushButton* hidden : {UsunNormalnie, UsunSzybko, Button15})
        hidden->hide();
}
