// A scan from the start button to the idle window again: the engine `Skaner` configured from
// the window, its events, the gauge and clock timers, pause, the error panel, the end steps and
// the intake of every found entry. Also the two places outside a scan that start or stop one:
// the command-line scan of the first show and the close button's question while a scan runs.
#pragma once

#include "core/scan/easyfilesearch.h"
#include "core/scan/intake.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QLabel;
class QPushButton;
class TForm1;
class TSearchForm;

namespace mtl::ui {

class CheckListBox;

class ScanControl : public QObject {
    Q_OBJECT
public:
    // Wires its reactions to the window's controls and fills the error panel; owned by the
    // window.
    explicit ScanControl(TSearchForm& form);

    // The window's search engine.
    TEasyFileSearch Skaner;

    // Handlers.
    void RozpocznijSkanowanieClick();
    void SkanerChangeFolder(const std::string& folder);
    void SkanerFileFound(const TFileInformations& file);
    void SkanerStatistics(const TStatistics& statistics);
    void Timer1Timer();
    void Timer2Timer();
    void btnStopClick();
    void DhCheckFolder1ChangeFolder(const QString& path);
    void ButtonErrorClick();
    void Label93Click();

    // The first show's scan of the folder given on the command line (nothing without an
    // argument). In the database failure state it ends the program instead.
    void commandLineScan();
    // The close button's first step. While a scan runs it asks whether to cancel it: Yes stops
    // the walk and ends the program, No goes on scanning. Returns true when the close button
    // has nothing more to do (a scan ran), false when no scan was running.
    bool closeWhileScanning();

    bool isScanning() const;

    // The error panel's controls.
    QLabel* LabelErrorPath = nullptr;
    QPushButton* ButtonError = nullptr;
    QLabel* Label93 = nullptr;

private:
    // Thrown from the engine's events to end a walk the user has cancelled.
    struct Cancelled {};

    void buildErrorPanel();
    void watchList(CheckListBox* list, bool& dirty);
    void startGaugeTimer();
    void failureStep();
    void endSteps(bool failed);
    void hideDetailsAlerts();
    // A line the intake has just put into the found list, and the row it went to.
    struct NewLine {
        const QString& text;
        int row;
    };
    // Brings the full-list window's list up to the found list, given the one line added to it
    // since the last copy, if any.
    void mirrorFoundList(const std::optional<NewLine>& added);
    void playSound(const char* file);
    bool alreadyIn(CheckListBox* list, LineIndex& index, bool& dirty, const std::string& line);
    // Adds a line to a watched list and its index; returns the row it went to.
    int append(CheckListBox* list, LineIndex& index, bool dirty, const QString& line,
                const std::string& key);
    std::string sizeTotalText();

    TSearchForm& m_form;
    ScanClock m_clock;
    // Indexes of the found list and the path ignore list; a change that does not come from
    // the intake marks them stale, and the next lookup rebuilds them once.
    LineIndex m_listed;
    LineIndex m_ignored;
    bool m_listedStale = true;
    bool m_ignoredStale = true;
    // The full-list window's copy of the found list no longer matches it (or the window is
    // not the one copied to), so the next copy is taken whole.
    bool m_mirrorStale = true;
    const TForm1* m_mirrored = nullptr;
    // Set while the intake itself changes a watched list.
    bool m_ownChange = false;
    RunningTotal m_sizes;
    bool m_cancelRequested = false;
};

} // namespace mtl::ui
