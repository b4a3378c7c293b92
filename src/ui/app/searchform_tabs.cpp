// Construction of the page control and its first four tabs: the found list, the scan modes
// with the mask editor, the file-type descriptions and the backup archives with the logs.
#include "ui/app/hints.h"
#include "ui/app/searchform.h"

#include "ui/app/formstate.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/filelistbox.h"
#include "ui/widgets/pictures.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using mtl::ui::makeWrappedLabel;

QWidget* makePage(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    pages->addTab(page, caption);
    return page;
}

} // namespace

void TSearchForm::buildScanTab()
{
    PageControl1 = place(new QTabWidget(this), "PageControl1", {212, 32, 721, 430});
    // The sheets in their design order; the first one shows at start.
    TabSheet1 = makePage(PageControl1, "TabSheet1", QStringLiteral("Skanowanie..."));
    TabSheet3 = makePage(PageControl1, "TabSheet3", QStringLiteral("Wybór trybu"));
    TabSheet4 = makePage(PageControl1, "TabSheet4", QStringLiteral("Opisy filtrów"));
    TabSheet6 = makePage(PageControl1, "TabSheet6", QStringLiteral("Odzyskiwanie"));
    TabSheet7 = makePage(PageControl1, "TabSheet7", QStringLiteral("Ignorowania"));
    TabSheet2 = makePage(PageControl1, "TabSheet2", QStringLiteral("Ustawienia"));
    TabSheet5 = makePage(PageControl1, "TabSheet5", QStringLiteral("Info i Pomoc"));
    PageControl1->setCurrentIndex(0);

    // The found list fills its tab.
    ListBox1 = new mtl::ui::CheckListBox(TabSheet1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->useDarkLook();
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* fill = new QVBoxLayout(TabSheet1);
    fill->setContentsMargins(2, 2, 2, 2);
    fill->addWidget(ListBox1);
}

void TSearchForm::buildModeTab()
{
    using mtl::ui::setHint;

    auto* typesGroup = place(
        new QGroupBox(QStringLiteral("Typy plików rozpoznawane przez program  (więcej informacji "
                                     "o formacie pliku w: \"Opisy formatów\")"),
                      TabSheet3),
        "typesGroupBox", {4, 2, 707, 398});

    makeLabel(typesGroup, nullptr, QStringLiteral("Ten tryb udostępnia:"), {8, 18, 110, 14});
    Label_LiczbaFiltrow = makeLabel(typesGroup, "Label_LiczbaFiltrow", QStringLiteral("-"),
                                    {120, 18, 38, 14});
    mtl::ui::setTextColor(Label_LiczbaFiltrow, Qt::red);
    setBold(Label_LiczbaFiltrow);
    makeLabel(typesGroup, nullptr, QStringLiteral("typów filtrów"), {8, 32, 150, 14});

    ListBoxFiltry = place(new mtl::ui::CheckListBox(typesGroup), "ListBoxFiltry",
                          {8, 48, 150, 310});
    ListBoxFiltry->useDarkLook();

    // The nine modes in one exclusive group: checking any one unchecks the other eight.
    modeGroupBox = place(new QGroupBox(QStringLiteral("Wybór trybu skanowania dysku"), typesGroup),
                         "modeGroupBox", {164, 14, 537, 346});
    modeButtons = new QButtonGroup(modeGroupBox);
    modeButtons->setExclusive(true);
    auto makeMode = [this](const char* name, const QString& caption, const QRect& geometry) {
        auto* button = place(new QRadioButton(caption, modeGroupBox), name, geometry);
        modeButtons->addButton(button);
        return button;
    };
    const QColor grey(128, 128, 128);
    constexpr int descLeft = 128;
    constexpr int descWidth = 401;

    // A normal mode, its Express variant indented under it, and their shared description.
    RadioButton4 = makeMode("RadioButton4", QStringLiteral("Bezpieczny"), {8, 18, 116, 17});
    RadioButton7 = makeMode("RadioButton7", QStringLiteral("Express"), {24, 36, 100, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("Domyślny wybór filtra dla początkujących użytkowników. "
                                    "Zapewnia 99% bezpieczeństwa stabilności po usunięciu.\r\n"
                                    "Tryb Expres znajdzie tylko pliki \"powracające\" i często "
                                    "występ."),
                     {descLeft, 18, descWidth, 44});
    RadioButton1 = makeMode("RadioButton1", QStringLiteral("Pośredni"), {8, 64, 116, 17});
    RadioButton8 = makeMode("RadioButton8", QStringLiteral("Express"), {24, 82, 100, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("Wyszukanie bezpiecznych typów dla większości użytkowników "
                                    "z podejrzeniem 2% plików o niewielkim zagrożeniu.\r\n"
                                    "Tryb Expres znajdzie tylko pliki \"powracające\" i często "
                                    "wystep."),
                     {descLeft, 64, descWidth, 44});
    RadioButton3 = makeMode("RadioButton3", QStringLiteral("Zaawansowany"), {8, 110, 116, 17});
    RadioButton9 = makeMode("RadioButton9", QStringLiteral("Express"), {24, 128, 100, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("Wszystkie typy z bazy będą wyszukane. Dla doświadczonych "
                                    "użytkowników, ze szczególnym zwróceniem uwagi na wynik "
                                    "skanowania (około 5% podejrzeń).\r\nTryb Expres znajdzie "
                                    "tylko pliki \"powracające\" i czesto występ."),
                     {descLeft, 110, descWidth, 58});
    for (QRadioButton* express : {RadioButton7, RadioButton8, RadioButton9})
        mtl::ui::setTextColor(express, grey);

    RadioButton2 = makeMode("RadioButton2", QStringLiteral("Ustawienia użytkownika"),
                            {8, 172, 300, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("Użytkownik sam decyduje jakie typy plików chce wyszukać."),
                     {24, 189, 505, 16});
    RadioButton5 = makeMode("RadioButton5", QStringLiteral("Tryb wyszukiwania szpiegów i trojanów"),
                            {8, 208, 300, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("W tym trybie wyszukane będą pliki, które są programami "
                                    "szpiegującymi i trojanami. Znalezionych plików nie należy "
                                    "usuwać bezmyślnie, lecz sprawdzić programem antyspyware i "
                                    "antywirusowym. Pliki znalezione w tym trybie są "
                                    "charakterystyczne dla najczęściej występujących aplikacji "
                                    "spyware, adware i trojanów. "),
                     {24, 225, 505, 58});
    RadioButton6 = makeMode("RadioButton6",
                            QStringLiteral("Tryb wyszukiwania plików o treści porno"),
                            {8, 286, 300, 17});
    makeWrappedLabel(modeGroupBox,
                     QStringLiteral("Tryb ten wyszuka pliki, które pojawiły się po przeglądaniu "
                                    "stron porno.\r\nPliki znalezione w tym trybie są "
                                    "charakterystyczne dla nazw zdjęć z tych stron."),
                     {24, 303, 505, 40});
    for (QRadioButton* special : {RadioButton5, RadioButton6})
        mtl::ui::setTextColor(special, Qt::red);
    RadioButton4->setChecked(true);

    const QString durationTail = QStringLiteral(" minut (w zależności od ilości plików na dysku)");
    setHint(*RadioButton4, QStringLiteral("Skanowanie potrwa około 2") + durationTail);
    setHint(*RadioButton1, QStringLiteral("Skanowanie potrwa około 5") + durationTail);
    setHint(*RadioButton3, QStringLiteral("Skanowanie potrwa około 8") + durationTail);
    setHint(*RadioButton2, QStringLiteral("W tym trybie możesz sam zadecydować jakie typy plików "
                                          "mają być usuwane"));
    setHint(*RadioButton5, QStringLiteral("Skanowanie potrwa około 16") + durationTail);
    setHint(*RadioButton6, QStringLiteral("Skanowanie potrwa około 4") + durationTail);

    Button25 = makeButton(typesGroup, "Button25", QStringLiteral("Edytor baz filtrów"),
                          {8, 366, 150, 24});
    ZapiszWyborTrybu = makeButton(typesGroup, "ZapiszWyborTrybu",
                                  QStringLiteral("Zastosuj wprowadzone zmiany"),
                                  {501, 366, 200, 24});
    ZapiszWyborTrybu->setDefault(true);
    setHint(*ZapiszWyborTrybu, QStringLiteral("Zapisz ustawienia programu. Będą one zawsze "
                                              "automatycznie ustawiane po uruchomieniu "
                                              "programu"));

    // The mask editor covers the mode group while it is open, so the mode cannot change
    // under it; the mask list and the two buttons stay usable beside and below it.
    PanelEdytorFiltrow = place(new QFrame(typesGroup), "PanelEdytorFiltrow", modeGroupBox->geometry());
    PanelEdytorFiltrow->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelEdytorFiltrow->setAutoFillBackground(true);
    QFrame* editor = PanelEdytorFiltrow;
    ImageDodajFiltr = makeLabel(editor, "ImageDodajFiltr", QString(), {8, 8, 32, 32});
    ImageDodajFiltr->setPixmap(mtl::ui::pictures::categoryIcon(5, 32));
    QLabel* intro = makeWrappedLabel(
        editor,
        QStringLiteral("Możesz dodać nowy typ filtra do wybranego trybu, jak również usunąć i "
                       "edytować istniejące. Możesz wprowadzać filtry ze znaków wieloznacznych "
                       "np: miot??rz*.jp?\r\n(? - zastępuje jednen dowolny znak, * - wiele "
                       "dowolnych znaków)"),
        {46, 6, 483, 60});
    QLabel* autosave = makeWrappedLabel(
        editor,
        QStringLiteral("Nie musisz zastosowywać wprowadzonych zmian. Edytor zapisuje je "
                       "automatycznie. Aby wyjść z edytora, naciśnij ponownie \"Edytuj filtry\""),
        {8, 70, 521, 30});
    setBold(intro);
    setBold(autosave);
    makeLabel(editor, nullptr, QStringLiteral("Edytujesz tryb:"), {8, 108, 90, 16});
    Label_EdytowanyTryb = makeLabel(editor, "Label_EdytowanyTryb", QStringLiteral("?"),
                                    {100, 108, 429, 16});
    mtl::ui::setTextColor(Label_EdytowanyTryb, Qt::red);
    setBold(Label_EdytowanyTryb);
    makeLabel(editor, nullptr, QStringLiteral("Szukaj filtra"), {8, 134, 90, 16});
    EditSzukajFiltra = makeEdit(editor, "EditSzukajFiltra", QString(), {100, 131, 220, 21});
    makeLabel(editor, nullptr, QStringLiteral("Zaznacz filtr z listy, aby zmienić sygnaturę lub "
                                              "usunąć"),
              {8, 160, 521, 16});
    EditDodajFiltr = makeEdit(editor, "EditDodajFiltr", QString(), {8, 178, 312, 21});
    Button10 = makeButton(editor, "Button10", QStringLiteral("Dodaj filtr"), {8, 208, 168, 24});
    Button27 = makeButton(editor, "Button27", QStringLiteral("Zamień nazwę filtra"),
                          {182, 208, 168, 24});
    Button14 = makeButton(editor, "Button14", QStringLiteral("Usuń filtr"), {356, 208, 168, 24});
    Button20 = makeButton(editor, "Button20", QStringLiteral("Sortuj listę filtrów"),
                          {8, 238, 168, 24});
    Button29 = makeButton(editor, "Button29", QStringLiteral("Edytuj plik bazy"),
                          {182, 238, 168, 24});
    setHint(*Button10, QStringLiteral("Dodaj własny typ filtra do wyszukiwania"));
    setHint(*Button27, QStringLiteral("Zmień nazwę (sygnaturę) edytowanego filtra"));
    setHint(*Button14, QStringLiteral("Zaznacz wybrany filtr i usuń"));
    setHint(*Button20, QStringLiteral("Posortuj listę filtrów według kolejności alfabetycznej"));
    setHint(*Button29, QStringLiteral("Edytuj plik ręcznie za pomocą notatnika systemowego"));
    makeLabel(editor, nullptr, QStringLiteral("Komunikaty:"), {8, 276, 70, 16});
    LabelKomunikat = makeWrappedLabel(editor, QStringLiteral("-"), {80, 276, 449, 60});
    LabelKomunikat->setObjectName(QStringLiteral("LabelKomunikat"));
    mtl::ui::setTextColor(LabelKomunikat, Qt::red);
    setBold(LabelKomunikat);
    PanelEdytorFiltrow->raise();
    PanelEdytorFiltrow->hide();
}

void TSearchForm::buildDescriptionsTab()
{
    ListView = place(new QTreeWidget(TabSheet4), "ListView", {4, 4, 707, 250});
    ListView->setColumnCount(2);
    ListView->setHeaderLabels({QStringLiteral("Typ pliku"),
                               QStringLiteral("Opis rozszerzenia używanego przez aplikację")});
    ListView->setColumnWidth(0, 150);
    ListView->setColumnWidth(1, 565);
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setIconSize({16, 16});
    ListView->setAllColumnsShowFocus(true);
    ListView->header()->setSectionsMovable(true);
    ListView->header()->setStretchLastSection(false);
    // Grid lines between the cells, as in a report view.
    ListView->setStyleSheet(QStringLiteral(
        "QTreeWidget::item { border-right: 1px solid #d4d0c8; border-bottom: 1px solid #d4d0c8; }"));
    // The selection stays visible while the list does not have the focus.
    QPalette colours = ListView->palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    ListView->setPalette(colours);

    auto* legend = new QGroupBox(
        QStringLiteral("Opisy ikonek, sortowanie listy i wyszukiwanie rozszerzenia"), TabSheet4);
    legend->setGeometry(4, 258, 707, 140);

    // The legend in two columns: the icon of each category of the image list and its name.
    struct Entry {
        QLabel** picture;
        const char* name;
        int index;
        const char* caption;
    };
    const Entry entries[] = {
        {&Image_tmp, "Image_tmp", 1, "Pliki tymczasowe"},
        {&Image_ie, "Image_ie", 2, "Pliki internetowe"},
        {&Image_txt, "Image_txt", 6, "Pliki informacyjne"},
        {&Image_reg, "Image_reg", 7, "Kopie zapasowe zmian w rejestrze"},
        {&Image_blank, "Image_blank", 0, "Pliki tymczasowe nieznanych aplikacji"},
        {&Image_log, "Image_log", 5, "Pliki LOG i raportów"},
        {&Image_blokow, "Image_blokow", 4, "Pliki o niebezpieczeństwie przy usuwaniu"},
        {&Image_bak, "Image_bak", 3, "Kopie zapasowe programów"},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = i < 4 ? 10 : 226;
        const int y = 20 + (i % 4) * 20;
        QLabel* picture = makeLabel(legend, entries[i].name, QString(), {x, y, 16, 16});
        picture->setPixmap(mtl::ui::pictures::categoryIcon(entries[i].index));
        *entries[i].picture = picture;
        makeLabel(legend, nullptr, QString::fromUtf8(entries[i].caption),
                  {x + 22, y, i < 4 ? 190 : 238, 16});
    }

    Sorted = makeCheckBox(legend, "Sorted",
                          QStringLiteral("Sortuj listę opisów plików tymczasowych według "
                                         "kolejności alfabetycznej"),
                          false, {10, 104, 450, 20});
    makeLabel(legend, nullptr, QStringLiteral("Wpisz rozszerzenie lub nazwę"),
              {494, 20, 203, 16});
    EditWyszukaj = makeEdit(legend, "EditWyszukaj", QString(), {494, 38, 203, 21});
    Button11 = makeButton(legend, "Button11", QStringLiteral("Szukaj pliku"), {494, 66, 203, 24});
}

void TSearchForm::buildRestoreTab()
{
    using mtl::ui::setHint;

    Label43 = makeLabel(TabSheet6, "Label43",
                        QStringLiteral("Dostępne pliki kopii zapasowych. Liczba kopii:"),
                        {6, 6, 306, 16});
    setBold(Label43);
    Label62 = makeLabel(TabSheet6, "Label62", QStringLiteral("?"), {314, 6, 40, 16});
    Label3 = makeLabel(TabSheet6, "Label3", QStringLiteral("Utworzone pliki LOG. Liczba logów:"),
                       {362, 6, 230, 16});
    setBold(Label3);
    Label63 = makeLabel(TabSheet6, "Label63", QStringLiteral("?"), {596, 6, 60, 16});
    for (QLabel* counter : {Label62, Label63}) {
        mtl::ui::setTextColor(counter, Qt::red);
        setBold(counter);
    }

    FileListBox1 = place(new mtl::ui::FileListBox(TabSheet6), "FileListBox1", {6, 26, 346, 282});
    FileListBox1->setMask(QStringLiteral("*.mtb;*.backup"));
    FileListBox2 = place(new mtl::ui::FileListBox(TabSheet6), "FileListBox2", {362, 26, 346, 282});
    FileListBox2->setMask(QStringLiteral("*.mtl"));
    // Archives in bold light green on black, logs in bold white on black.
    const std::pair<mtl::ui::FileListBox*, QColor> looks[] = {
        {FileListBox1, QColor(198, 254, 67)},
        {FileListBox2, QColor(Qt::white)},
    };
    for (const auto& [list, colour] : looks) {
        QPalette colours = list->palette();
        colours.setColor(QPalette::Base, Qt::black);
        colours.setColor(QPalette::Text, colour);
        list->setPalette(colours);
        setBold(list);
    }
    setHint(*FileListBox1,
            QStringLiteral("Porada: Jeśli chcesz  usunąć wszystkie kopie zaznacz je najeżdżając "
                           "myszką na pierwszą pozycję i przeciągając kursorem na ostatnią. "
                           "Teraz naciśnij \"Usuń wybrane kopie\"."));
    setHint(*FileListBox2,
            QStringLiteral("Porada: Jeśli chcesz  usunąć wszystkie raporty zaznacz je "
                           "najeżdżając myszką na pierwszą pozycję i przeciągając kursorem na "
                           "ostatnią. Teraz naciśnij \"Usuń wybrane raporty\"."));

    Button23 = makeButton(TabSheet6, "Button23", QStringLiteral("Usuń wybrane kopie"),
                          {6, 314, 150, 24});
    Button3 = makeButton(TabSheet6, "Button3", QStringLiteral("Odzyskaj pliki z wybranej kopii"),
                         {160, 314, 192, 24});
    Button2 = makeButton(TabSheet6, "Button2", QStringLiteral("Zaawansowane odzyskiwanie"),
                         {160, 342, 192, 24});
    Button24 = makeButton(TabSheet6, "Button24", QStringLiteral("Usuń wybrane raporty"),
                          {362, 314, 160, 24});
    Button17 = makeButton(TabSheet6, "Button17", QStringLiteral("Przeglądaj wybrany raport"),
                          {526, 314, 182, 24});
    setHint(*Button23, QStringLiteral("Zaznacz jedną lub kilka\r\nkopii i usuń - jeśli nie\r\n"
                                      "wystąpiły problemy z\r\naplikacjami lub nie\r\n"
                                      "potrzebujesz trzymać\r\nich na dysku"));
    setHint(*Button3, QStringLiteral("Wybierz kopię zapasową i naciśnij, aby odzyskać wszystkie "
                                     "pliki z tej kopii do pierwotnej lokalizacji"));
    setHint(*Button2,
            QStringLiteral("Wybierz zaawansowane odzyskiwanie plików z wybranej kopii"));
    setHint(*Button24, QStringLiteral("Zaznacz jeden lub kilka\r\nraportów i usuń - jeśli\r\n"
                                      "nie potrzebujesz\r\ntrzymać ich na dysku"));
    setHint(*Button17, QStringLiteral("Wybierz plik raportu i naciśnij w celu przejrzenia jego "
                                      "zawartości"));

    ProgressBar2 = place(new QProgressBar(TabSheet6), "ProgressBar2", {6, 376, 702, 16});
    ProgressBar2->setValue(0);
}
