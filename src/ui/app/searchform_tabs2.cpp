// Construction of the last three tabs of the page control: the ignore lists, the settings
// and the information tab with the database version and the update controls.
#include "ui/app/hints.h"
#include "ui/app/searchform.h"

#include "ui/app/formstate.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/pictures.h"
#include "ui/widgets/radiogroup.h"

#include "core/platform/programfolder.h"

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

using mtl::ui::makeWrappedLabel;

// Design default of the folder fields that stand for the system drive's root.
QString homeRoot()
{
    return QString::fromStdString(mtl::withTrailingSlash(mtl::homeFolder().string()));
}

} // namespace

void TSearchForm::buildIgnoreTab()
{
    using mtl::ui::setHint;

    makeWrappedLabel(
        TabSheet7,
        QStringLiteral("Te dwie listy ignorują poszczególne typy plików przy wyszukiwaniu. "
                       "Umożliwia to większe bezpieczeństwo przy natrafieniu na plik o "
                       "podwyższonym ryzyku niestabilności systemu lub aplikacji.\r\nLista "
                       "pierwsza blokuje plik ze wskazanego folderu.\r\nDruga lista blokuje "
                       "każdy plik według zdefiniowanej nazwy lub/i rozszerzenia pliku."),
        {6, 4, 702, 72});

    Edit6 = makeEdit(TabSheet7, "Edit6", QString(), {6, 80, 430, 21});
    Button5 = makeButton(TabSheet7, "Button5", QStringLiteral("Dodaj ścieżkę"), {440, 79, 130, 23});
    Button31 = makeButton(TabSheet7, "Button31", QStringLiteral("Wczytaj"), {574, 79, 134, 23});
    Edit7 = makeEdit(TabSheet7, "Edit7", QString(), {6, 106, 430, 21});
    Button16 = makeButton(TabSheet7, "Button16", QStringLiteral("Dodaj rozszerzenie"),
                          {440, 105, 130, 23});
    setHint(*Button5, QStringLiteral("Dodaj własny plik łącznie ze ścieżką, aby przy kolejnym "
                                     "skanowaniu był ignorowany"));
    setHint(*Button31, QStringLiteral("Wczytaj ścieżkę automatycznie, wybierając plik do "
                                      "ignorowania z dysku"));
    setHint(*Button16, QStringLiteral("Dodaj własny typ filtra do ignorowania składający się ze "
                                      "znaków wieloznacznych np: r?port.*"));

    makeLabel(TabSheet7, nullptr, QStringLiteral("Aktualnie ignorowanych na liście jest:"),
              {6, 134, 210, 16});
    Label_Ignorowan = makeLabel(TabSheet7, "Label_Ignorowan", QStringLiteral("0"),
                                {218, 134, 50, 16});
    makeLabel(TabSheet7, nullptr, QStringLiteral("plików +"), {270, 134, 50, 16});
    Label_IgnorowanTypy = makeLabel(TabSheet7, "Label_IgnorowanTypy", QStringLiteral("0"),
                                    {322, 134, 50, 16});
    makeLabel(TabSheet7, nullptr, QStringLiteral("typów filtrów"), {374, 134, 100, 16});
    for (QLabel* counter : {Label_Ignorowan, Label_IgnorowanTypy}) {
        counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        mtl::ui::setTextColor(counter, Qt::red);
        setBold(counter);
    }

    ListaIgnorowania = place(new mtl::ui::CheckListBox(TabSheet7), "ListaIgnorowania",
                             {6, 154, 516, 242});
    ListBoxIgnorujTypy = place(new mtl::ui::CheckListBox(TabSheet7), "ListBoxIgnorujTypy",
                               {526, 154, 182, 242});
    for (mtl::ui::CheckListBox* list : {ListaIgnorowania, ListBoxIgnorujTypy})
        list->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TSearchForm::buildSettingsTab()
{
    using mtl::ui::setHint;

    // More options than the page has room for at a readable size: they scroll.
    auto* scroller = new QScrollArea(TabSheet2);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* fill = new QVBoxLayout(TabSheet2);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroller);
    auto* page = new QWidget;
    page->setFixedSize(692, 600);
    scroller->setWidget(page);

    GroupBox5 = place(new QGroupBox(QStringLiteral("Ustawienia główne"), page), "GroupBox5",
                      {4, 4, 684, 300});
    QGroupBox* main = GroupBox5;
    constexpr int row = 18;
    auto rowY = [](int index) { return 18 + index * row; };
    constexpr int right = 346;  // the right column of the two-column rows

    CheckBox141 = makeCheckBox(main, "CheckBox141",
                               QStringLiteral("Automatycznie dodawaj pliki o podwyższonym ryzyku "
                                              "do listy Ignorowań większe od:"),
                               true, {8, rowY(0), 494, row});
    EditRozmiarIgnorowania = makeEdit(main, "EditRozmiarIgnorowania", QStringLiteral("2570000"),
                                      {504, rowY(0) - 1, 80, 20});
    makeLabel(main, nullptr, QStringLiteral("bajtów"), {588, rowY(0), 60, row});
    setHint(*EditRozmiarIgnorowania, QStringLiteral("Liczba musi być podana w bajtach (domyślnie "
                                                    "około 2570000 bajtów ~ 2,5 MB)"));
    CheckBox122 = makeCheckBox(main, "CheckBox122",
                               QStringLiteral("Automatycznie twórz kopię bezpieczeństwa usuwanych "
                                              "plików (zalecane)"),
                               true, {8, rowY(1), 660, row});
    CheckBoxSpeed = makeCheckBox(main, "CheckBoxSpeed",
                                 QStringLiteral("Przyśpiesz szukanie i usuwanie plików - wyłącz "
                                                "monitorowanie pracy (nie zalecane)"),
                                 false, {8, rowY(2), 660, row});
    setHint(*CheckBoxSpeed, QStringLiteral("Włączenie tej opcji spowoduje wyłączenie wszystkich "
                                           "statystyk, tworzenia logów i raportów, rozmiarów "
                                           "plików i kasowania atrybutów ! (nie zalecane)"));
    CheckBox1 = makeCheckBox(main, "CheckBox1",
                             QStringLiteral("Integruj skanowanie folderów poprzez wybór z menu "
                                            "systemowego Windows"),
                             true, {8, rowY(3), 660, row});
    CheckBoxDzwieki = makeCheckBox(main, "CheckBoxDzwieki",
                                   QStringLiteral("Odtwarzaj dźwięki dla alertów, skanowania i "
                                                  "tworzenia kopii (zalecane)"),
                                   true, {8, rowY(4), 660, row});

    CheckBox100 = makeCheckBox(main, "CheckBox100",
                               QStringLiteral("Zapisuj logi ze skanowania systemu"), true,
                               {8, rowY(5), 330, row});
    CheckBox102 = makeCheckBox(main, "CheckBox102",
                               QStringLiteral("Włącz możliwość tworzenia raportów HTML"), false,
                               {8, rowY(6), 330, row});
    CheckBox103 = makeCheckBox(main, "CheckBox103",
                               QStringLiteral("Automatycznie kasuj atrybuty pliku"), true,
                               {8, rowY(7), 330, row});
    CheckBox99 = makeCheckBox(main, "CheckBox99",
                              QStringLiteral("Pokaż podpowiedzi do przycisków"), true,
                              {8, rowY(8), 330, row});
    CheckBoxUpdate = makeCheckBox(main, "CheckBoxUpdate",
                                  QStringLiteral("Poinformuj jeśli bazy mają ponad"), true,
                                  {8, rowY(9), 214, row});
    EditWiekBazy = makeEdit(main, "EditWiekBazy", QStringLiteral("21"),
                            {224, rowY(9) - 1, 40, 20});
    makeLabel(main, nullptr, QStringLiteral("dni"), {268, rowY(9), 40, row});
    // Searching for folder names is not offered; the option stays off and out of sight.
    CheckBox147 = makeCheckBox(main, "CheckBox147", QStringLiteral("Szukaj jako nazw folderów"),
                               false, {8, rowY(10), 330, row});
    CheckBox147->hide();

    cbRecursive = makeCheckBox(main, "cbRecursive", QStringLiteral("Przeszukuj podfoldery dysku"),
                               true, {right, rowY(5), 330, row});
    struct Attribute {
        QCheckBox** box;
        const char* name;
        const char* caption;
    };
    const Attribute attributes[] = {
        {&CheckBox144, "CheckBox144", "Szukaj w plikach z atrybutem tylko do odczytu"},
        {&CheckBox145, "CheckBox145", "Szukaj w plikach z atrybutem ukryty"},
        {&CheckBox146, "CheckBox146", "Szukaj w plikach z atrybutem systemowy"},
        {&CheckBox148, "CheckBox148", "Szukaj w plikach z atrybutem archiwalny"},
        {&CheckBox149, "CheckBox149", "Szukaj w plikach bez atrybutów"},
    };
    for (int i = 0; i < 5; ++i)
        *attributes[i].box = makeCheckBox(main, attributes[i].name,
                                          QString::fromUtf8(attributes[i].caption), true,
                                          {right, rowY(6 + i), 330, row});

    Label81 = makeLabel(main, "Label81",
                        QStringLiteral("Plik modułu skanowania od programu antywirusowego"),
                        {8, 222, 330, 16});
    EditAntywirus = makeEdit(main, "EditAntywirus", QString(), {8, 238, 212, 21});
    Button8 = makeButton(main, "Button8", QStringLiteral("Zmień antywirusa"), {224, 237, 114, 23});
    Label74 = makeLabel(main, "Label74",
                        QStringLiteral("Zmień wygląd wybraną skórką. Puste pole - skórka "
                                       "domyślna."),
                        {right - 4, 222, 340, 16});
    EditSkin = makeEdit(main, "EditSkin", QString(), {right, 238, 222, 21});
    Button30 = makeButton(main, "Button30", QStringLiteral("Zmień skórkę"),
                          {right + 226, 237, 104, 23});

    SpeedButton1 = makeButton(main, "SpeedButton1",
                              QStringLiteral("      Odśwież statystyki       "),
                              {8, 268, 184, 24});
    setHint(*SpeedButton1, QStringLiteral("Usuwanie wszystkich statystyk ze skanowania"));
    Button6 = makeButton(main, "Button6", QStringLiteral("Monitor Instalacji Programów"),
                         {196, 268, 190, 24});
    setHint(*Button6, QStringLiteral("Monitor instalacji oprogramowania pozwoli dokładnie usunąć "
                                     "pozostałości po odinstalowanym programie..."));
    Button35 = makeButton(main, "Button35", QStringLiteral("Kreator ustawień"),
                          {390, 268, 130, 24});
    setHint(*Button35, QStringLiteral("Kreator ustawień pomoże Ci w zarządzaniu opcjami "
                                      "Miotlarza i jego modułami."));
    Label40 = makeLabel(main, "Label40", QStringLiteral("Więcej skór..."),
                        {right + 226, 272, 104, 16});
    Label40->setCursor(Qt::PointingHandCursor);
    mtl::ui::setTextColor(Label40, Qt::blue);

    GroupBox6 = place(new QGroupBox(QStringLiteral("Ustawienia - Monitor Czystości Dysku"), page),
                      "GroupBox6", {4, 310, 684, 90});
    CheckBox2 = makeCheckBox(GroupBox6, "CheckBox2",
                             QStringLiteral("Uruchamiaj monitor co 4 start systemu, a po "
                                            "przeanalizowaniu wyłącz monitor"),
                             true, {8, 20, 470, row});
    Button26 = makeButton(GroupBox6, "Button26", QStringLiteral("Przeprowadź teraz analizę dysku"),
                          {480, 17, 196, 24});
    Label66 = makeLabel(GroupBox6, "Label66", QStringLiteral("Analizowany dysk"),
                        {8, 44, 200, 16});
    EditDysk = makeEdit(GroupBox6, "EditDysk", homeRoot(), {8, 60, 200, 21});
    Label67 = makeLabel(GroupBox6, "Label67",
                        QStringLiteral("Analizowany folder Temporary Internet Files"),
                        {214, 44, 300, 16});
    EditTemporary = makeEdit(GroupBox6, "EditTemporary", QString(), {214, 60, 360, 21});
    Button28 = makeButton(GroupBox6, "Button28", QStringLiteral("Zmień katalog"),
                          {580, 59, 96, 23});

    rgCompressionLevel = place(
        new mtl::ui::RadioGroup(QStringLiteral("Ustawienia metody kompresji dla kopii zapasowej"),
                                {QStringLiteral("Szybka"), QStringLiteral("Normalna"),
                                 QStringLiteral("Najlepsza"), QStringLiteral("Bez kompresji")},
                                2, page),
        "rgCompressionLevel", {4, 406, 340, 62});
    rgCompressionLevel->setItemIndex(0);

    auto* listGroup = new QGroupBox(QStringLiteral("Lista znalezionych plików"), page);
    listGroup->setGeometry(350, 406, 338, 62);
    SpeedButton3 = makeButton(listGroup, "SpeedButton3", QStringLiteral("Wczytaj"),
                              {8, 24, 156, 26});
    SpeedButton2 = makeButton(listGroup, "SpeedButton2", QStringLiteral("Zapisz"),
                              {172, 24, 156, 26});

    GroupBox4 = place(new QGroupBox(QStringLiteral("Ustawienie ścieżek dla kopii zapasowej "
                                                   "(BACKUP) i plików raportu (MTL)"),
                                    page),
                      "GroupBox4", {4, 474, 684, 68});
    Label44 = makeLabel(GroupBox4, "Label44",
                        QStringLiteral("Aktualna ścieżka do plików kopii zapasowej"),
                        {8, 18, 330, 16});
    Edit4 = makeEdit(GroupBox4, "Edit4", QString(), {8, 36, 236, 21});
    Button18 = makeButton(GroupBox4, "Button18", QStringLiteral("Zmień katalog"),
                          {248, 35, 90, 23});
    Label42 = makeLabel(GroupBox4, "Label42", QStringLiteral("Aktualna ścieżka do pliku LOG"),
                        {right, 18, 330, 16});
    Edit5 = makeEdit(GroupBox4, "Edit5", QString(), {right, 36, 236, 21});
    Button19 = makeButton(GroupBox4, "Button19", QStringLiteral("Zmień katalog"),
                          {right + 240, 35, 90, 23});

    makeLabel(page, nullptr, QStringLiteral("Wybrany dysk/folder do skanowania"),
              {8, 548, 330, 16});
    SkanujDysk = makeEdit(page, "SkanujDysk", homeRoot(), {8, 566, 440, 21});
    SkanujDysk->setReadOnly(true);
    setHint(*SkanujDysk, QStringLiteral("Ta opcja nie podlega modyfikacjom przez użytkownika. "
                                        "Pokazuje tylko ścieżkę przeznaczoną do skanowania."));
    ZapiszUstawienia = makeButton(page, "ZapiszUstawienia",
                                  QStringLiteral("Zastosuj wprowadzone zmiany"),
                                  {488, 562, 200, 26});
    ZapiszUstawienia->setDefault(true);
    setHint(*ZapiszUstawienia, QStringLiteral("Zapisz ustawienia programu. Będą one zawsze "
                                              "automatycznie ustawiane po uruchomieniu "
                                              "programu"));
}

void TSearchForm::buildInfoTab()
{
    QWidget* tab = TabSheet5;
    Logo = makeLabel(tab, "Logo", QString(), {0, 0, 715, 60});
    Logo->setPixmap(mtl::ui::pictures::logo(715, 60));

    Info = makeWrappedLabel(tab,
                            QStringLiteral("Miotlarz rozpoznaje najróżniejesze typy plików "
                                           "tymczasowych pojawiających się po zainstalowaniu, "
                                           "odinstalowaniu programów, przeglądaniu stron, "
                                           "codziennej pracy z systemem i aplikacjami oraz "
                                           "potencjalnie niebezpiecznych skryptów i "
                                           "przemianowanych plików z wirusami."),
                            {8, 64, 699, 44});
    Info->setObjectName(QStringLiteral("Info"));
    setBold(Info);
    mtl::ui::setTextColor(Info, Qt::black);

    auto link = [this, tab](const char* name, const QString& text, const QRect& geometry) {
        QLabel* label = makeLabel(tab, name, text, geometry);
        label->setCursor(Qt::PointingHandCursor);
        mtl::ui::setTextColor(label, Qt::blue);
        return label;
    };
    constexpr int left = 8;
    constexpr int width = 340;
    Label5 = makeLabel(tab, "Label5", QStringLiteral("Zapraszam na Oficjalną Stronę Programu:"),
                       {left, 114, width, 15});
    // The maker's addresses are filled in with the links' reactions.
    Label7 = link("Label7", QString(), {left + 10, 130, width - 10, 15});
    Label17 = link("Label17", QString(), {left + 10, 145, width - 10, 15});
    Label55 = makeLabel(tab, "Label55", QStringLiteral("Pytania do programu - Kontakt:"),
                        {left, 164, width, 15});
    Label41 = link("Label41", QString(), {left + 10, 180, width - 10, 15});
    Label60 = link("Label60", QString(), {left + 10, 195, width - 10, 15});
    Label75 = makeLabel(tab, "Label75", QStringLiteral("Pomoc w obsłudze Miotlarza:"),
                        {left, 214, width, 15});
    Label76 = link("Label76", QStringLiteral("Poczytaj plik pomocy"), {left + 10, 230, 200, 15});
    Label61 = makeLabel(tab, "Label61", QStringLiteral("Uaktualnienie bazy:"),
                        {left, 250, width, 15});
    Label80 = link("Label80", QStringLiteral("Sprawdź, czy jest nowsza baza"),
                   {left + 10, 266, 220, 15});
    for (QLabel* caption : {Label5, Label55, Label75, Label61})
        setBold(caption);

    // The update's display and its two internal steps stay hidden until an update check.
    LabelAktualizacjaInfo = makeWrappedLabel(tab, QString(), {left, 284, width, 44});
    LabelAktualizacjaInfo->setObjectName(QStringLiteral("LabelAktualizacjaInfo"));
    setBold(LabelAktualizacjaInfo);
    LabelPostep = makeLabel(tab, "LabelPostep", QString(), {left, 330, width, 15});
    ProgressBar = place(new QProgressBar(tab), "ProgressBar", {left, 347, width, 14});
    ProgressBar->setValue(0);
    PobierzBaze = makeButton(tab, "PobierzBaze", QStringLiteral("Upd"), {250, 262, 44, 22});
    Instaluj = makeButton(tab, "Instaluj", QStringLiteral("Inst"), {298, 262, 44, 22});
    for (QWidget* hidden : std::initializer_list<QWidget*>{LabelAktualizacjaInfo, LabelPostep,
                                                          ProgressBar, PobierzBaze, Instaluj})
        hidden->hide();

    GroupBox8 = place(new QGroupBox(QStringLiteral("Wersja bazy i modułów"), tab), "GroupBox8",
                      {356, 110, 352, 200});
    QGroupBox* version = GroupBox8;
    constexpr int valueX = 124;
    Label39 = makeLabel(version, "Label39", QStringLiteral("Wersja bazy:\r\nData używanej bazy:"),
                        {8, 18, 114, 30});
    Sygnatura_WersjaCODE = makeLabel(version, "Sygnatura_WersjaCODE", QStringLiteral("( ! )"),
                                     {valueX, 18, 64, 15});
    Sygnatura_WersjaMODE = makeLabel(version, "Sygnatura_WersjaMODE", QStringLiteral("( ! )"),
                                     {valueX + 64, 18, 100, 15});
    Sygnatura_Data = makeLabel(version, "Sygnatura_Data", QStringLiteral("( ! )"),
                               {valueX, 33, 220, 15});
    RoznicaDat = makeLabel(version, "RoznicaDat",
                           QStringLiteral(">> Nie aktualna !:      opublikowana ? dni temu"),
                           {8, 50, 336, 15});
    Label38 = makeLabel(version, "Label38", QStringLiteral("Wersja:\r\nWersja kodowa:\r\nModuły:"),
                        {8, 70, 114, 45});
    Label51 = makeLabel(version, "Label51",
                        QStringLiteral("9.0 Pro\r\n9.0.03.05.361 build 21\r\n(mtl_mon 1.26), "
                                       "(mtl_inst 1.0)"),
                        {valueX, 70, 220, 45});
    for (QLabel* block : {Label39, Label38, Label51})
        block->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label52 = makeLabel(version, "Label52", QStringLiteral("Status bazy:"), {8, 120, 114, 15});
    Sygnatura_Status = makeLabel(version, "Sygnatura_Status",
                                 QStringLiteral("Bazy są uszkodzone !"), {valueX, 120, 220, 15});
    Label82 = makeLabel(version, "Label82", QStringLiteral("Używanych filtrów:"), {8, 138, 114, 15});
    Sygnatura_Uzywane = makeLabel(version, "Sygnatura_Uzywane", QStringLiteral("( ! )"),
                                  {valueX, 138, 220, 15});
    Label83 = makeLabel(version, "Label83", QStringLiteral("Wszystkich filtrów:"),
                        {8, 153, 114, 15});
    Sygnatura_Wszystkie = makeLabel(version, "Sygnatura_Wszystkie", QStringLiteral("( ! )"),
                                    {valueX, 153, 220, 15});
    Label84 = makeLabel(version, "Label84", QStringLiteral("Spyware i trojanów:"),
                        {8, 168, 114, 15});
    Sygnatura_Spyware = makeLabel(version, "Sygnatura_Spyware", QStringLiteral("( ! )"),
                                  {valueX, 168, 220, 15});
    Label85 = makeLabel(version, "Label85", QStringLiteral("Pornware:"), {8, 183, 114, 15});
    Sygnatura_Pornware = makeLabel(version, "Sygnatura_Pornware", QStringLiteral("( ! )"),
                                   {valueX, 183, 220, 15});
    for (QLabel* value : {Sygnatura_WersjaCODE, Sygnatura_WersjaMODE, Sygnatura_Data, RoznicaDat,
                          Sygnatura_Status, Sygnatura_Uzywane, Sygnatura_Wszystkie,
                          Sygnatura_Spyware, Sygnatura_Pornware})
        mtl::ui::setTextColor(value, Qt::red);

    Button34 = makeButton(tab, "Button34", QStringLiteral("Uruchom kreatora ustawień"),
                          {356, 316, 200, 24});
    Label91 = link("Label91", QString(), {560, 316, 148, 15});
    Label92 = link("Label92", QString(), {560, 332, 148, 15});

    Label37 = makeWrappedLabel(tab,
                               QStringLiteral("Jeśli chcesz, aby program Miotlarz był dalej "
                                              "rozwijany i unowocześniany, przyślij swoje "
                                              "sugestie i uwagi o programie pod adres podany "
                                              "powyżej. Dzięki temu usuwanie plików "
                                              "tymczasowych stanie się jeszcze doskonalsze..."),
                               {8, 364, 699, 32});
    Label37->setObjectName(QStringLiteral("Label37"));
    Label37->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}
