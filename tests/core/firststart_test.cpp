// The first start of a user account: the installer's settings, written once.
#include "core/app/firststart.h"
#include "core/app/settingslayout.h"
#include "core/common/errors.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

using mtl::Hive;

TEST(FirstStart, WritesTheDesignStateZeroStatisticsAndFolders)
{
    mtl::test::FakeRegistry registry;
    mtl::test::TempDir dir;
    ASSERT_TRUE(mtl::isFirstStart(registry));
    mtl::writeFirstStartSettings(registry, dir.path() / "Miotlarz");
    EXPECT_FALSE(mtl::isFirstStart(registry));

    const std::string settings = mtl::programKey("Ustawienia");
    EXPECT_EQ(registry.value(Hive::CurrentUser, settings, "Bezpieczny"), "1");
    EXPECT_EQ(registry.value(Hive::CurrentUser, settings, "Zaawansowany"), "0");
    EXPECT_EQ(registry.value(Hive::CurrentUser, settings, "WiekBazy"), "21");
    EXPECT_EQ(registry.value(Hive::CurrentUser, settings, "AutoHTML"), "0");
    for (const auto& v : mtl::settingsValues()) {
        EXPECT_TRUE(registry.readValue(Hive::CurrentUser, settings, v.name).has_value()) << v.name;
    }
    const std::string stats = mtl::programKey("Skanowan");
    for (const char* name : {"Liczba", "Skasowano", "SkasowanoMB"}) {
        EXPECT_EQ(registry.value(Hive::CurrentUser, stats, name), "0");
    }
    EXPECT_EQ(registry.value(Hive::CurrentUser, stats, "RozmiarIgnoral"), "2570000");
    EXPECT_EQ(registry.value(Hive::CurrentUser, mtl::programKey("Usunieto"), "ListBox"), "0");

    const std::string backup = registry.value(Hive::CurrentUser, stats, "BAKKatalog");
    const std::string logs = registry.value(Hive::CurrentUser, stats, "LOGKatalog");
    EXPECT_EQ(backup.back(), '/');
    EXPECT_EQ(logs.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(backup));
    EXPECT_TRUE(std::filesystem::is_directory(logs));
    EXPECT_NE(backup, logs);
}

TEST(FirstStart, ARegistryFailureIsReported)
{
    mtl::test::FakeRegistry registry;
    mtl::test::TempDir dir;
    registry.failChangesUnder(Hive::CurrentUser, "SOFTWARE");
    EXPECT_THROW(mtl::writeFirstStartSettings(registry, dir.path()), mtl::RegistryError);
    EXPECT_TRUE(mtl::isFirstStart(registry));
}

} // namespace
