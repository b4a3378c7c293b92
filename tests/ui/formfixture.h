// Shared fixture of the window tests: the platform doubles with a private program folder,
// and short ways to reach the main window's controls by their names.
#pragma once

#include "support/fakes.h"
#include "ui/app/searchform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include <memory>
#include <string>

namespace mtl::test {

inline const std::string kSettingsKey = "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia";
inline const std::string kStatsKey = "SOFTWARE\\Kestrava\\Miotlarz\\Skanowan";
inline const std::string kDeletedKey = "SOFTWARE\\Kestrava\\Miotlarz\\Usunieto";
inline const std::string kMonitorKey = "SOFTWARE\\Kestrava\\Miotlarz\\Monitor";

struct FormFixture {
    TestPlatform platform;
    std::unique_ptr<TSearchForm> form;

    // Stores a value of the program's settings key before the window is created.
    void setting(const std::string& name, const std::string& value)
    {
        platform.registry.set(Hive::CurrentUser, kSettingsKey, name, value);
    }
    // A complete, ordinary stored state: statistics, folders and the design settings.
    void storeUsualSettings()
    {
        auto& r = platform.registry;
        r.set(Hive::CurrentUser, kStatsKey, "Liczba", "7");
        r.set(Hive::CurrentUser, kStatsKey, "Skasowano", "123456");
        r.set(Hive::CurrentUser, kStatsKey, "Data", "2026-12-01 10:00:00");
        r.set(Hive::CurrentUser, kStatsKey, "SkasowanoMB", "120 KB / 0 MB");
        r.set(Hive::CurrentUser, kStatsKey, "LOGKatalog", platform.scratch().string() + "/");
        r.set(Hive::CurrentUser, kStatsKey, "BAKKatalog", platform.scratch().string() + "/");
        r.set(Hive::CurrentUser, kStatsKey, "RozmiarIgnoral", "2570000");
        r.set(Hive::CurrentUser, kDeletedKey, "ListBox", "3");
        setting("Bezpieczny", "1");
    }
    TSearchForm& create(std::vector<std::string> arguments = {})
    {
        form = std::make_unique<TSearchForm>(platform.services(), std::move(arguments));
        return *form;
    }
    template <typename T>
    T* get(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QString text(const char* labelName) const { return get<QLabel>(labelName)->text(); }
};

inline std::string masks(int count, const std::string& prefix = "*.m")
{
    std::string text;
    for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\r\n";
    return text;
}

} // namespace mtl::test
