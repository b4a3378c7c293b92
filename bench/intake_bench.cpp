// How the cost of a scan grows with the number of hits: trees yielding 2 000, 20 000 and
// 200 000 matches are scanned through the main window's own start button and intake (the
// found list and its copy in the full-list window, the duplicate tests, the totals, the
// counters), with work monitoring on and off, and the time per hit is printed. A flat intake
// keeps the largest within 1.5x of the smallest. Runs on the offscreen platform with the
// platform doubles and a real event pump.
#include "support/fakes.h"
#include "ui/app/searchform.h"
#include "ui/filters/form8.h"
#include "ui/platform/qtplatform.h"
#include "ui/results/form1.h"
#include "ui/results/foundlist.h"
#include "ui/widgets/checklistbox.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <utility>

namespace fs = std::filesystem;
using namespace mtl;

namespace {

constexpr int kFilesPerFolder = 1000;

// A tree of `hits` matching files and as many that do not match, 1000 of each per folder.
void makeTree(const fs::path& root, int hits)
{
    for (int folder = 0; folder * kFilesPerFolder < hits; ++folder) {
        const fs::path dir = root / ("d" + std::to_string(folder));
        fs::create_directories(dir);
        for (int i = 0; i < kFilesPerFolder && folder * kFilesPerFolder + i < hits; ++i) {
            std::ofstream(dir / ("plik" + std::to_string(i) + ".tmp")) << "x";
            std::ofstream(dir / ("inny" + std::to_string(i) + ".txt")) << "x";
        }
    }
}

// The main window set up to scan `root` for "*.tmp" with its full-list window and details
// dialog, as the program has them; the full-list window takes its copy as the scan goes.
struct ScanWindow {
    TSearchForm form;
    TForm1 fullList;
    TForm8 details;

    ScanWindow(const Services& services, const fs::path& root, bool monitoring, bool shown)
        : form(services, {})
    {
        form.setDialogs(&details, &fullList, nullptr, nullptr);
        if (shown) form.show();
        QApplication::processEvents();
        form.CheckBoxSpeed->setChecked(!monitoring);
        for (QCheckBox* on : {form.cbRecursive, form.CheckBox149}) on->setChecked(true);
        form.ListBoxFiltry->setLines({QStringLiteral("*.tmp")});
        form.SkanujDysk->setText(QString::fromStdString(root.string() + "/"));
    }
};

Services servicesOf(test::TestPlatform& platform, ui::QtEventPump& pump)
{
    return {platform.registry, platform.dialogs, platform.shell, platform.sounds, platform.clock,
            pump, platform.programFolder()};
}

double scanSecondsPerHit(test::TestPlatform& platform, ui::QtEventPump& pump, const fs::path& root, int hits,
                         bool monitoring, bool shown)
{
    ScanWindow window(servicesOf(platform, pump), root, monitoring, shown);
    TSearchForm& form = window.form;
    const auto start = std::chrono::steady_clock::now();
    form.RozpocznijSkanowanie->click();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (form.ListBox1->count() != hits || window.fullList.ListBox2->count() != hits) {
        std::fprintf(stderr, "expected %d hits, listed %d (%s)\n", hits, form.ListBox1->count(),
                     form.Label12->text().toUtf8().constData());
        for (const std::string& text : platform.dialogs.texts()) std::fprintf(stderr, "  %s\n", text.c_str());
    }
    return elapsed.count() / hits;
}

// The found list's commands on the whole result of a 200 000-hit scan, each timed with the
// event-loop pass that follows it (the list's relayout is part of what the user waits for).
void timeCommandsOnALargeList(test::TestPlatform& platform, ui::QtEventPump& pump, const fs::path& root)
{
    ScanWindow window(servicesOf(platform, pump), root, false, true);
    TSearchForm& form = window.form;
    form.RozpocznijSkanowanie->click();
    QApplication::processEvents();
    const int entries = form.ListBox1->count();

    auto timed = [](const char* what, const std::function<void()>& command) {
        const auto start = std::chrono::steady_clock::now();
        command();
        QApplication::processEvents();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("  %-48s %10.1f ms\n", what, elapsed.count());
        std::fflush(stdout);
    };
    auto selectFirstHalf = [&form] {
        ui::CheckListBox* list = form.ListBox1;
        list->clearSelection();
        list->selectionModel()->select(QItemSelection(list->model()->index(0, 0),
                                                      list->model()->index(list->count() / 2 - 1, 0)),
                                       QItemSelectionModel::Select);
    };

    std::printf("\ncommands on a found list of %d entries\n", entries);
    timed("click on a line (details)", [&] {
        form.ListBox1->setCurrentRow(entries / 2);
        form.foundList->ListBox1Click();
    });
    timed("Sortuj liste", [&] { form.Sortujlist1->trigger(); });
    timed("Zaznacz wszystkie pliki", [&] { form.Zaznaczwszystko1->trigger(); });
    timed("Zaznacz pliki jako Ignorowane (all)", [&] { form.ZaznaczIgnorujdlawszystkichplikw1->trigger(); });
    timed("Odznacz pliki jako Ignorowane (all)", [&] { form.df1->trigger(); });
    selectFirstHalf();
    timed("Zaznacz pliki jako Ignorowane (half)", [&] { form.ZaznaczIgnorujdlawszystkichplikw1->trigger(); });
    timed("Dodaj pliki do listy Ignorowan (half)", [&] { form.Usuignorowane1->trigger(); });
    timed("compare step against that ignore list", [&] { form.Button15->click(); });
    form.ListBox1->selectAll();
    form.ZaznaczIgnorujdlawszystkichplikw1->trigger();
    timed("Wyrzuc pliki z listy (all checked)", [&] { form.ylkowyrzuzlistynieusuwaj1->trigger(); });
    timed("Wyczysc liste", [&] { form.Wyczylist1->trigger(); });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::TestPlatform platform;
    const std::string stats = "SOFTWARE\\Kestrava\\Miotlarz\\Skanowan";
    platform.registry.set(Hive::CurrentUser, stats, "Liczba", "0");
    platform.registry.set(Hive::CurrentUser, stats, "RozmiarIgnoral", "2570000");
    platform.registry.set(Hive::CurrentUser, stats, "LOGKatalog", platform.scratch().string() + "/");
    platform.registry.set(Hive::CurrentUser, stats, "BAKKatalog", platform.scratch().string() + "/");
    platform.registry.set(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia", "Bezpieczny", "1");
    ui::QtEventPump pump;

    // "--commands" leaves out the scale table and times only the commands on a large list.
    const bool commandsOnly = argc > 1 && std::string(argv[1]) == "--commands";
    const fs::path largest = platform.scratch() / "drzewo200000";
    if (commandsOnly) {
        makeTree(largest, 200000);
        timeCommandsOnALargeList(platform, pump, largest);
        return 0;
    }

    std::printf("%8s  %-10s  %-8s  %12s  %10s\n", "hits", "monitoring", "window", "us per hit", "vs 2000");
    // A hidden window leaves out what the found list's view costs while it is on screen.
    for (const auto& [monitoring, shown] : {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
        double smallest = 0;
        for (const int hits : {2000, 20000, 200000}) {
            const fs::path root = platform.scratch() / ("drzewo" + std::to_string(hits));
            if (!fs::exists(root)) makeTree(root, hits);
            // The best of three runs: the machine is shared, and the slowest runs measure the
            // neighbours rather than the intake.
            double perHit = 1e9;
            for (int run = 0; run < 3; ++run)
                perHit = std::min(perHit, scanSecondsPerHit(platform, pump, root, hits, monitoring, shown));
            if (hits == 2000) smallest = perHit;
            std::printf("%8d  %-10s  %-8s  %12.2f  %9.2fx\n", hits, monitoring ? "on" : "off",
                        shown ? "shown" : "hidden", perHit * 1e6, perHit / smallest);
            std::fflush(stdout);
        }
    }
    timeCommandsOnALargeList(platform, pump, largest);
    return 0;
}
