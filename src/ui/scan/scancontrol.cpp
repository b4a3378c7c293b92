#include "ui/scan/scancontrol.h"

#include "core/common/countertext.h"
#include "core/common/timestamp.h"
#include "core/platform/registry.h"
#include "core/platform/shell.h"
#include "core/platform/sounds.h"
#include "ui/app/formstate.h"
#include "ui/app/searchform.h"
#include "ui/filters/form8.h"
#include "ui/platform/errorreport.h"
#include "ui/results/form1.h"
#include "ui/results/foundlist.h"
#include "ui/results/ignorelists.h"
#include "ui/widgets/animation.h"
#include "ui/widgets/checklistbox.h"
#include "ui/widgets/foldertree.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

namespace mtl::ui {

namespace {

const char* const kErrorLink = "http://support.microsoft.com/kb/309531/PL/";
const char* const kScanningText = "Skanuję. Proszę zaczekaj...";

// The registry's scan count, read strictly; a count that is absent or not a number starts
// again from nothing rather than keeping the scan from running.
std::int64_t storedScanCount(const std::string& text)
{
    try {
        return parseInteger(text);
    } catch (const ConversionError&) {
        return 0;
    }
}

} // namespace

ScanControl::ScanControl(TSearchForm& form) : QObject(&form), Skaner(form.m_services.pump), m_form(form)
{
    Dialogs& dialogs = form.m_services.dialogs;
    auto guard = [&dialogs](auto handler) { return [&dialogs, handler] { runGuarded(dialogs, handler); }; };

    buildErrorPanel();
    connect(form.RozpocznijSkanowanie, &QPushButton::clicked, this, guard([this] { RozpocznijSkanowanieClick(); }));
    connect(form.btnStop, &QPushButton::clicked, this, guard([this] { btnStopClick(); }));
    connect(form.Timer1, &QTimer::timeout, this, guard([this] { Timer1Timer(); }));
    connect(form.Timer2, &QTimer::timeout, this, guard([this] { Timer2Timer(); }));
    connect(ButtonError, &QPushButton::clicked, this, guard([this] { ButtonErrorClick(); }));
    connect(Label93, &QLabel::linkActivated, this, guard([this] { Label93Click(); }));
    connect(form.DhCheckFolder1, &FolderTree::folderChanged, this, [this, &dialogs](const QString& path) {
        runGuarded(dialogs, [this, &path] { DhCheckFolder1ChangeFolder(path); });
    });

    // The engine's events run inside the scan handler, whose guard reports what they throw;
    // a failure in one of them ends the walk rather than showing a message per entry.
    Skaner.OnChangeFolder = [this](const std::string& folder) { SkanerChangeFolder(folder); };
    Skaner.OnFileFound = [this](const TFileInformations& file) { SkanerFileFound(file); };
    Skaner.OnStatistics = [this](const TStatistics& statistics) { SkanerStatistics(statistics); };

    watchList(form.ListBox1, m_listedStale);
    watchList(form.ListBox1, m_mirrorStale);
    watchList(form.ListaIgnorowania, m_ignoredStale);
}

void ScanControl::buildErrorPanel()
{
    QFrame* panel = m_form.PanelError;
    auto label = [panel](const char* name, const QString& text, const QRect& geometry, bool bold = false) {
        auto* control = new QLabel(text, panel);
        if (name) control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        control->setWordWrap(true);
        if (bold) {
            QFont font = control->font();
            font.setBold(true);
            control->setFont(font);
        }
        return control;
    };
    label(nullptr, QStringLiteral("Wystąpił błąd podczas skanowania folderu !!"), {12, 8, 516, 20}, true);
    label(nullptr,
          QStringLiteral("Ten błąd mógł wystapić ponieważ używasz systemu plików NTFS, który jest chroniony przez "
                         "system Windows"),
          {12, 32, 516, 34});
    label(nullptr, QStringLiteral("Zatrzymanie nastąpiło podczas skanowania folderu:"), {12, 70, 516, 18});
    LabelErrorPath = label("LabelErrorPath", QString(), {12, 90, 516, 34}, true);
    label(nullptr, QStringLiteral("Wejdź na stronę Microsoft, aby przeczytać jak rozwiązać ten problem:"),
          {12, 128, 516, 18});
    const QString link = QString::fromLatin1(kErrorLink);
    Label93 = label("Label93", QStringLiteral("<a href=\"%1\">%1</a>").arg(link), {12, 150, 516, 18});
    Label93->setTextFormat(Qt::RichText);
    Label93->setOpenExternalLinks(false);
    ButtonError = new QPushButton(QStringLiteral("Zamknij"), panel);
    ButtonError->setObjectName(QStringLiteral("ButtonError"));
    ButtonError->setGeometry(225, 190, 90, 25);
    ButtonError->setAutoDefault(false);
}

void ScanControl::watchList(CheckListBox* list, bool& stale)
{
    QAbstractItemModel* model = list->model();
    auto markStale = [this, &stale] {
        if (!m_ownChange) stale = true;
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, markStale);
    connect(model, &QAbstractItemModel::rowsRemoved, this, markStale);
    connect(model, &QAbstractItemModel::rowsMoved, this, markStale);
    connect(model, &QAbstractItemModel::modelReset, this, markStale);
    connect(model, &QAbstractItemModel::layoutChanged, this, markStale);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this, &stale](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                // Checking or selecting a line leaves its text as it was.
                if (m_ownChange) return;
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole)) stale = true;
            });
}

bool ScanControl::isScanning() const { return m_form.btnStop->isEnabled(); }

void ScanControl::playSound(const char* file)
{
    m_form.m_services.sounds.play((m_form.m_services.programFolder / file).string());
}

void ScanControl::hideDetailsAlerts()
{
    if (TForm8* details = m_form.Form8) {
        for (QLabel* alert : {details->Alert_Niski, details->Alert_Sredni, details->Alert_Wysoki}) alert->hide();
    }
}

void ScanControl::mirrorFoundList(const std::optional<NewLine>& added)
{
    TForm1* window = m_form.Form1;
    if (!window) return;
    if (window != m_mirrored) {
        m_mirrored = window;
        m_mirrorStale = true;
    }
    CheckListBox* copy = window->ListBox2;
    if (m_mirrorStale) {
        copy->setLines(m_form.ListBox1->lines());
        m_mirrorStale = false;
    } else if (added) {
        // The copy held the found list's lines before this one, so the line goes to the same
        // row; a sorted copy puts it at its own sorted place, as a whole copy would.
        copy->insertLine(added->row, added->text);
    }
}

void ScanControl::startGaugeTimer()
{
    // A step of 0 (no mode reaction has run yet) means the gauge does not move during a walk;
    // a zero-interval timer would instead fire at every pass of the event loop.
    const std::int64_t step = parseInteger(m_form.LabelProgres.toStdString());
    if (step <= 0) return;
    m_form.Timer1->setInterval(int(step));
    m_form.Timer1->start();
}

void ScanControl::RozpocznijSkanowanieClick()
{
    TSearchForm& f = m_form;
    const Services& services = f.m_services;
    const DateTime now = services.clock.now();

    if (f.CheckBoxDzwieki->isChecked()) playSound("start.wav");
    f.EncartaGauge->setValue(0);
    f.Label48->setText(qs(filesText(0)));
    f.Label53->setText(qs(filesText(0)));
    f.Label57->setText(qs(kbText(0)));
    f.Animacja->setActive(true);
    f.ListBoxRozmiar.clear();
    f.ListBoxDodajPodejrzane.clear();
    f.ListBoxLiczbaZnalez.clear();
    m_sizes.clear();
    f.Label11->setText(QStringLiteral("Znalazłem:"));
    f.Label12->setText(QString::fromUtf8(kScanningText));
    f.Label22->setText(qs(shortDate(now) + ", " + longTime(now)));
    startGaugeTimer();
    f.Timer2->start();
    f.Label27->show();
    f.RozpocznijSkanowanie->setEnabled(false);
    f.UsunNormalnie->setEnabled(false);
    f.btnStop->setEnabled(true);
    alertReset(m_form);
    f.StatusSkanowania->show();
    f.StatusGotowe->hide();
    f.StatusSkanowania->clear();
    f.StatusGotowe->clear();

    Skaner.RootPath = toBytes(f.SkanujDysk->text());
    {
        std::vector<std::string>& names = Skaner.FileNames();
        names = toStdStrings(f.ListBoxFiltry->lines());
    }

    {
        auto stats = RegistryKey::open(services.registry, Hive::CurrentUser, programKey("Skanowan"), false);
        f.Label16->setText(QString::number(storedScanCount(stats.readString("Liczba")) + 1));
        // The key is made by the settings save; without it the date has nowhere to go.
        if (stats.isOpen()) stats.writeString("Data", shortDate(now) + " " + longTime(now));
    }

    const std::pair<QCheckBox*, TOptionsKind> options[] = {
        {f.cbRecursive, okIncludeSubfolder},   {f.CheckBox144, okLookForReadOnlyFile},
        {f.CheckBox145, okLookForHiddenFile},  {f.CheckBox146, okLookForSystemFile},
        {f.CheckBox147, okLookForDirectory},   {f.CheckBox148, okLookForArchiveFile},
        {f.CheckBox149, okLookForAnyFile},
    };
    TOptions searchOptions;
    for (const auto& [box, kind] : options) {
        if (box->isChecked()) searchOptions.include(kind);
    }
    Skaner.SearchOptions = searchOptions;
    Skaner.FilterKind = TFilter{};
    Skaner.setExcludedFiles(toStdStrings(f.ListBoxIgnorujTypy->lines()));

    services.pump.processPending();

    bool complete = false;
    try {
        complete = Skaner.Execute();
    } catch (const Cancelled&) {
        // The program is ending (the close button's question was answered Yes).
        m_cancelRequested = false;
        f.Timer1->stop();
        f.Timer2->stop();
        f.Animacja->setActive(false);
        f.btnStop->setEnabled(false);
        f.RozpocznijSkanowanie->setEnabled(true);
        return;
    } catch (...) {
        // An engine failure such as a malformed mask: the window goes back to idle before
        // the failure is reported.
        m_cancelRequested = false;
        runGuarded(services.dialogs, [this] { endSteps(false); });
        throw;
    }
    if (!complete) failureStep();
    endSteps(!complete);
}

void ScanControl::SkanerChangeFolder(const std::string& folder)
{
    if (m_cancelRequested) throw Cancelled{};
    m_form.StatusSkanowania->setText(QStringLiteral("Szukam w:  ") + qs(folder));
}

void ScanControl::SkanerStatistics(const TStatistics& statistics)
{
    m_form.Label50->setText(qs(filesText(statistics.FilesFound)));
}

void ScanControl::Timer1Timer()
{
    QProgressBar* gauge = m_form.EncartaGauge;
    if (gauge->value() < 100) gauge->setValue(gauge->value() + 1);
}

void ScanControl::Timer2Timer()
{
    m_clock.tick();
    m_form.Label27->setText(qs(m_clock.text()));
    m_form.m_services.pump.processPending();
    m_form.TrayIcon->setToolTip(
        qs(scanTrayHint(m_form.EncartaGauge->value(), m_form.Label50->text().toStdString())));
}

void ScanControl::btnStopClick()
{
    TSearchForm& f = m_form;
    f.Label12->setText(QStringLiteral("Pauza skanowania"));
    f.Timer1->stop();
    f.Animacja->setActive(false);
    // Shown from inside one of the walk's yields, so the walk waits until it is closed.
    f.m_services.dialogs.message({"Naciśnij \"OK\", aby kontynuować skanowanie.", "Pauza skanowania      ",
                                  MessageIcon::Information, MessageButtons::Ok});
    startGaugeTimer();
    f.Animacja->setActive(true);
    f.Label12->setText(QString::fromUtf8(kScanningText));
}

void ScanControl::failureStep()
{
    LabelErrorPath->setText(m_form.StatusSkanowania->text());
    m_form.Label12->setText(QStringLiteral("Wystąpiły błędy !"));
    m_form.PanelError->show();
    m_form.PanelError->raise();
}

std::string ScanControl::sizeTotalText()
{
    // The size list changes only here and at scan start; should anything else have touched
    // it, the total is counted again from its lines.
    if (m_sizes.count() != std::size_t(m_form.ListBoxRozmiar.size()))
        m_sizes.reset(toStdStrings(m_form.ListBoxRozmiar));
    return m_sizes.text();
}

void ScanControl::endSteps(bool failed)
{
    TSearchForm& f = m_form;
    f.EditKBznalezion = qs(sizeTotalText());
    f.Label57->setText(qs(kbTextOfBytes(f.EditKBznalezion.toStdString())));
    f.Button15->click();
    const int found = f.ListBox1->count();
    f.Label50->setText(qs(filesText(found)));
    f.ListBoxLiczbaZnalez.append(QString::number(found));
    mirrorFoundList(std::nullopt);
    f.Timer1->stop();
    f.Timer2->stop();
    f.RozpocznijSkanowanie->setEnabled(true);
    f.UsunNormalnie->setEnabled(true);
    f.btnStop->setEnabled(false);
    alertReset(m_form);
    hideDetailsAlerts();
    f.StatusSkanowania->hide();
    f.StatusGotowe->show();
    f.StatusSkanowania->clear();
    f.StatusGotowe->clear();
    f.Animacja->setActive(false);
    f.EncartaGauge->setValue(100);
    f.ignoreLists->savePathList();
    if (f.CheckBoxDzwieki->isChecked()) playSound("gotowe.wav");
    if (!failed) f.Label12->setText(QStringLiteral("Wyszukiwanie gotowe !"));
    f.TrayIcon->setToolTip(QStringLiteral("Miotlarz 9"));
    if (f.TrayIcon->isVisible()) f.Przywrokno1->trigger();
}

bool ScanControl::alreadyIn(CheckListBox* list, LineIndex& index, bool& stale, const std::string& line)
{
    if (stale) {
        index.rebuild(toStdStrings(list->lines()));
        stale = false;
    }
    return index.contains(line);
}

int ScanControl::append(CheckListBox* list, LineIndex& index, bool stale, const QString& line,
                        const std::string& key)
{
    m_ownChange = true;
    const int row = list->addLine(line);
    m_ownChange = false;
    if (!stale) index.add(key);
    return row;
}

void ScanControl::SkanerFileFound(const TFileInformations& file)
{
    if (m_cancelRequested) throw Cancelled{};
    TSearchForm& f = m_form;
    const std::string path = file.Path + file.Name;
    const QString line = qs(path);

    // One lookup serves both the size test and the size line: nothing yields in between.
    std::optional<std::optional<std::int64_t>> lookup;
    auto size = [&]() -> const std::optional<std::int64_t>& {
        if (!lookup) lookup = currentSize(path);
        return *lookup;
    };

    bool movedAside = false;
    if (f.CheckBox141->isChecked() && size()) {
        const std::int64_t threshold = parseInteger(f.EditRozmiarIgnorowania->text().toStdString());
        if (*size() > threshold) {
            movedAside = true;
            if (!alreadyIn(f.ListaIgnorowania, m_ignored, m_ignoredStale, path)) {
                append(f.ListaIgnorowania, m_ignored, m_ignoredStale, line, path);
                f.ListBoxDodajPodejrzane.append(QStringLiteral("x"));
                f.Label53->setText(qs(filesText(f.ListBoxDodajPodejrzane.size())));
            }
        }
    }
    const bool listed = !movedAside && !alreadyIn(f.ListBox1, m_listed, m_listedStale, path);
    std::optional<NewLine> added;
    if (listed) added.emplace(NewLine{line, append(f.ListBox1, m_listed, m_listedStale, line, path)});

    if (size()) {
        f.ListBoxRozmiar.append(QString::number(*size()));
        m_sizes.add(*size());
    }

    if (f.CheckBoxSpeed->isChecked()) {
        // The full-list window's copy now lacks this line; the next copy is taken whole.
        if (listed) m_mirrorStale = true;
        return;
    }
    f.EditKBznalezion = qs(sizeTotalText());
    mirrorFoundList(added);
    f.Label50->setText(qs(filesText(f.ListBox1->count())));
    f.Label12->setText(QString::fromUtf8(kScanningText));
    f.Label11->setText(QStringLiteral("Znalazłem:"));
    f.Label57->setText(qs(kbTextOfBytes(f.EditKBznalezion.toStdString())));
    // The newest entry comes into view at the next yield, when the window is painted anyway;
    // what the user has selected stays selected.
    f.ListBox1->showLastLine();
    if (f.CheckBox103->isChecked()) clearAllAttributes(path);
}

void ScanControl::DhCheckFolder1ChangeFolder(const QString& path)
{
    TSearchForm& f = m_form;
    f.setFolderTreeHintOn();
    f.SkanujDysk->setText(path);
    f.StatusSkanowania->show();
    f.StatusGotowe->hide();
    f.StatusSkanowania->clear();
    f.StatusGotowe->clear();
}

void ScanControl::ButtonErrorClick() { m_form.PanelError->hide(); }

void ScanControl::Label93Click() { m_form.m_services.shell.open(kErrorLink); }

void ScanControl::commandLineScan()
{
    TSearchForm& f = m_form;
    if (f.m_arguments.empty()) return;
    f.SkanujDysk->setText(qs(f.m_arguments.front()));
    // Maximised and at once restored, which brings the window to the front; the states are
    // set without showing a window that is not shown yet.
    f.setWindowState(f.windowState() | Qt::WindowMaximized);
    f.setWindowState(f.windowState() & ~Qt::WindowMaximized);
    f.m_services.pump.processPending();
    // The tray icon takes no part in a scan started from outside.
    f.TrayIcon->hide();
    f.Praca_W_Tle->hide();
    if (!f.RozpocznijSkanowanie->isHidden())
        RozpocznijSkanowanieClick();
    else
        emit f.endRequested();
}

bool ScanControl::closeWhileScanning()
{
    TSearchForm& f = m_form;
    if (!isScanning()) return false;
    f.Timer1->stop();
    const MessageAnswer answer = f.m_services.dialogs.message(
        {"Trwa skanowanie dysku !\nZamknięcie teraz może spowodować błąd w programie.\nZaleca się dokończenie "
         "skanowania.\n\nCzy napewno anulować skanowanie i zamknąć program ?",
         "Ostrzeżenie o niestabilności", MessageIcon::Error, MessageButtons::YesNo});
    if (answer == MessageAnswer::Yes) {
        // The walk ends at its next event, before the window is torn down.
        m_cancelRequested = true;
        emit f.endRequested();
    } else {
        startGaugeTimer();
    }
    return true;
}

} // namespace mtl::ui
