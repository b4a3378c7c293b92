// Construction of the main window's left column, the close button at the top right, the
// gauge and status bars along the bottom, and the floating panels.
#include "ui/app/hints.h"
#include "ui/app/searchform.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/foldertree.h"
#include "ui/widgets/pictures.h"

#include "core/platform/programfolder.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kLeft = 6;          // left edge of the left column
constexpr int kColumnWidth = 200;

const QString kAlertHint = QStringLiteral(
    "Pokazuje alert możliwej niestabilności po usunięciu pliku.\r\n"
    "Zielony - Niski, Żółty - Średni, Czerwony - Wysoki");

} // namespace

void TSearchForm::buildLeftColumn()
{
    using mtl::ui::setHint;

    RozpocznijSkanowanie = makeButton(this, "RozpocznijSkanowanie",
                                      QStringLiteral(">> Rozpocznij skanowanie"),
                                      {kLeft, 6, 168, 26});
    setHint(*RozpocznijSkanowanie,
            QStringLiteral("Rozpocznij wyszukiwanie.\r\n\r\nUpewnij się, czy wybrałeś\r\n"
                           "odpowiedni tryb szukania.\r\n(domyślnie: \"bezpieczny\")."));

    SpeedButton4 = makeButton(this, "SpeedButton4", QString(), {kLeft + 172, 6, 28, 26});
    SpeedButton4->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    setHint(*SpeedButton4,
            QStringLiteral("Szybkie usunięcie plików.\r\nAutomatycznie zaznacza i\r\n"
                           "usuwa wszystkie pliki z listy.\r\n(Kopia tworzona domyślnie)"));

    DhCheckFolder1 = place(new mtl::ui::FolderTree(this), "DhCheckFolder1",
                           {kLeft, 36, kColumnWidth, 150});
    // The tree starts at the user's home folder, the same folder the scan path shows.
    DhCheckFolder1->setSelectedPath(QDir::homePath());
    mtl::ui::setHintOff(*DhCheckFolder1,
                        QStringLiteral("Zaznacz folder lub dysk.\r\n\r\nObiekt musi być "
                                       "podświetlony.\r\nMożesz wybrać dowolny\r\nfolder "
                                       "podrzędny."));

    Label12 = makeLabel(this, "Label12", QStringLiteral("Gotowy do skanowania...."),
                        {kLeft, 190, kColumnWidth, 16});
    setBold(Label12);

    // Counters: a fixed caption and the value label beside it; the value is the text.
    struct Counter {
        const char* caption;
        QLabel** value;
        const char* name;
        const char* initial;
    };
    QLabel* caption11 = nullptr;
    const Counter counters[] = {
        {"Znalazłem:", &Label50, "Label50", "0 plików"},
        {"Rozmiar:", &Label57, "Label57", "0 KB"},
        {"Zignorowano:", &Label48, "Label48", "0 plików"},
        {"Podejrzanych:", &Label53, "Label53", "0 plików"},
        {"Usunięto teraz:", &Label24, "Label24", "0 plików"},
        {nullptr, &Label18, "Label18", "0 KB"},
        {"Usunięto plików:", &Label15, "Label15", "0"},
        {"Ilość skanowań:", &Label16, "Label16", "0"},
        {"Usunięto bajtów:", &Label20, "Label20", "0"},
        {"Rozmiar całości:", &Label26, "Label26", "0"},
        {"Ostatnio skanow.:", &Label22, "Label22", "0"},
    };
    int y = 210;
    for (const Counter& counter : counters) {
        if (counter.caption) {
            QLabel* caption = makeLabel(this, nullptr, QString::fromUtf8(counter.caption),
                                        {kLeft, y, 92, 14});
            if (!caption11) caption11 = caption;
        }
        *counter.value = makeLabel(this, counter.name, QString::fromUtf8(counter.initial),
                                   {kLeft + 94, y, kColumnWidth - 94, 14});
        y += 14;
    }
    // The caption of the found count is itself a label the program rewrites.
    Label11 = caption11;
    Label11->setObjectName(QStringLiteral("Label11"));

    makeLabel(this, nullptr, QStringLiteral("Alert o typie pliku:"), {kLeft, y + 8, 100, 14});
    LabelAlerty = makeLabel(this, "LabelAlerty", QStringLiteral("-"), {kLeft + 102, y + 8, 66, 14});
    setBold(LabelAlerty);
    setHint(*LabelAlerty, kAlertHint);
    // The three pictures stand in one place; at most one of them is visible.
    const QRect alertPlace(kLeft + kColumnWidth - 28, y + 3, 24, 24);
    Alert_Niski = makeLabel(this, "Alert_Niski", QString(), alertPlace);
    Alert_Niski->setPixmap(mtl::ui::pictures::alertLow());
    Alert_Sredni = makeLabel(this, "Alert_Sredni", QString(), alertPlace);
    Alert_Sredni->setPixmap(mtl::ui::pictures::alertMedium());
    Alert_Wysoki = makeLabel(this, "Alert_Wysoki", QString(), alertPlace);
    Alert_Wysoki->setPixmap(mtl::ui::pictures::alertHigh());
    for (QLabel* alert : {Alert_Niski, Alert_Sredni, Alert_Wysoki}) {
        setHint(*alert, kAlertHint);
        alert->hide();
    }
    y += 32;

    btnStop = makeButton(this, "btnStop", QStringLiteral("Pauza"), {kLeft, y, 64, 22});
    btnStop->setEnabled(false);
    setHint(*btnStop, QStringLiteral("Wstrzymuje skanowanie na żądanie użytkownika"));
    Button4 = makeButton(this, "Button4", QStringLiteral("Pełna lista"), {kLeft + 67, y, 68, 22});
    setHint(*Button4, QStringLiteral("Pokaż ścieżki do znalezionych plików na pełnym ekranie"));
    Praca_W_Tle = makeButton(this, "Praca_W_Tle", QStringLiteral("W tle"),
                             {kLeft + 138, y, 62, 22});
    setHint(*Praca_W_Tle,
            QStringLiteral("Zminimalizuj do zasobnika jeśli chcesz pracować w tle..."));
    y += 28;

    Animacja = place(new mtl::ui::AnimationControl(this), "Animacja", {kLeft, y, 38, 33});
    Label27 = makeLabel(this, "Label27", QStringLiteral("00:00"), {kLeft + 46, y + 8, 60, 16});
    setBold(Label27);
    Label27->hide();  // shown from the first scan on

    Button1 = makeButton(this, "Button1", QStringLiteral("Zamknij program"), {813, 5, 120, 24});
    setHint(*Button1, QStringLiteral("Zamknij aplikację. \r\nJeśli jeszcze skanuje - powinieneś "
                                     "cierpliwie poczekać."));
}

void TSearchForm::buildBottom()
{
    EncartaGauge = place(new QProgressBar(this), "EncartaGauge", {212, 466, 721, 16});
    EncartaGauge->setRange(0, 100);
    EncartaGauge->setValue(0);

    // Two status bars in one place across the whole width; only one shows at a time.
    const QRect statusPlace(0, 486, 939, 24);
    StatusSkanowania = makeLabel(this, "StatusSkanowania", QString(), statusPlace);
    StatusGotowe = makeLabel(this, "StatusGotowe", QString(), statusPlace);
    for (QLabel* status : {StatusSkanowania, StatusGotowe}) {
        status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->setIndent(4);
        status->setAutoFillBackground(true);
    }
    StatusGotowe->raise();
    StatusGotowe->hide();
}

void TSearchForm::buildFloatingPanels()
{
    // Hidden until a command shows them over the page control; their contents belong to
    // the commands that use them.
    auto makePanel = [this](const char* name, const QRect& geometry) {
        auto* panel = place(new QFrame(this), name, geometry);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        panel->setAutoFillBackground(true);
        panel->hide();
        return panel;
    };
    PanelLokalizacja = makePanel("PanelLokalizacja", {330, 150, 480, 150});
    WskazTemporary = makePanel("WskazTemporary", {375, 170, 395, 147});
    PanelError = makePanel("PanelError", {300, 120, 540, 230});
}
