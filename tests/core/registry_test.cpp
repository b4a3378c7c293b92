// The registry store: letter case, absent values, key deletion, the export file layout and
// its atomic replacement.
#include "core/common/errors.h"
#include "core/platform/fileregistry.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using mtl::Hive;
using mtl::RegistryKey;

namespace {

const std::string kKey = "SOFTWARE\\Kestrava\\Miotlarz\\Usunieto";

template <typename Store>
void exerciseSemantics(Store& store)
{
    EXPECT_FALSE(store.keyExists(Hive::CurrentUser, kKey));
    EXPECT_THROW(store.writeValue(Hive::CurrentUser, kKey, "ListBox", "1"), mtl::RegistryError);

    store.createKey(Hive::CurrentUser, kKey);
    EXPECT_TRUE(store.keyExists(Hive::CurrentUser, "software\\KESTRAVA\\miotlarz\\usunieto\\"));
    EXPECT_TRUE(store.keyExists(Hive::CurrentUser, "SOFTWARE\\Kestrava"));  // parents exist too
    EXPECT_FALSE(store.keyExists(Hive::LocalMachine, kKey));                // hives are separate

    store.writeValue(Hive::CurrentUser, kKey, "ListBox", "12");
    // Written as "ListBox", read back as "Listbox": names compare without regard to case.
    EXPECT_EQ(store.readValue(Hive::CurrentUser, kKey, "Listbox"), "12");
    store.writeValue(Hive::CurrentUser, kKey, "LISTBOX", "13");
    EXPECT_EQ(store.readValue(Hive::CurrentUser, kKey, "listbox"), "13");
    EXPECT_EQ(store.readValue(Hive::CurrentUser, kKey, "Other"), std::nullopt);
    EXPECT_EQ(store.readValue(Hive::CurrentUser, kKey + "\\Absent", "ListBox"), std::nullopt);

    EXPECT_TRUE(store.deleteValue(Hive::CurrentUser, kKey, "listBOX"));
    EXPECT_FALSE(store.deleteValue(Hive::CurrentUser, kKey, "ListBox"));

    store.createKey(Hive::CurrentUser, kKey + "\\Sub");
    EXPECT_TRUE(store.deleteKey(Hive::CurrentUser, "software\\kestrava\\miotlarz\\USUNIETO"));
    EXPECT_FALSE(store.keyExists(Hive::CurrentUser, kKey + "\\Sub"));
    EXPECT_TRUE(store.keyExists(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz"));
}

TEST(RegistryStore, InMemoryTreeSemantics)
{
    mtl::RegistryTree tree;
    exerciseSemantics(tree);
}

TEST(RegistryStore, FileStoreSemantics)
{
    mtl::test::TempDir dir;
    mtl::FileRegistry store(dir.path() / "Kestrava");
    exerciseSemantics(store);
}

TEST(RegistryStore, OpenedKeyReadsEmptyWhenAbsentAndRefusesWritesWhenNotOpen)
{
    mtl::RegistryTree tree;
    auto closed = RegistryKey::open(tree, Hive::CurrentUser, kKey, false);
    EXPECT_FALSE(closed.isOpen());
    EXPECT_EQ(closed.readString("ListBox"), "");
    EXPECT_FALSE(closed.valueExists("ListBox"));
    EXPECT_THROW(closed.writeString("ListBox", "1"), mtl::RegistryError);

    auto created = RegistryKey::open(tree, Hive::CurrentUser, kKey, true);
    ASSERT_TRUE(created.isOpen());
    EXPECT_EQ(created.readString("ListBox"), "");
    created.writeString("ListBox", "");
    EXPECT_TRUE(created.valueExists("ListBox"));  // an empty value exists; only absence reads as ""
}

TEST(RegistryStore, FileStoreSurvivesARestartWithEveryCharacter)
{
    mtl::test::TempDir dir;
    const std::string awkward = "C:\\Program Files\\\"Miotlarz\"\r\nzażółć ]=[";
    {
        mtl::FileRegistry store(dir.path());
        store.createKey(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia");
        store.writeValue(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia", "Skin", awkward);
        store.writeValue(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia", "Kompresja", "2");
        store.createKey(Hive::ClassesRoot, "Directory\\shell\\Miotluj tutaj !\\command");
        store.writeValue(Hive::ClassesRoot, "Directory\\shell\\Miotluj tutaj !\\command", "", "miotlarz \"%1\"");
        store.createKey(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Empty");
    }
    mtl::FileRegistry reopened(dir.path());
    EXPECT_EQ(reopened.readValue(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia", "skin"), awkward);
    EXPECT_EQ(reopened.readValue(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia", "Kompresja"), "2");
    EXPECT_EQ(reopened.readValue(Hive::ClassesRoot, "Directory\\shell\\Miotluj tutaj !\\command", ""),
              "miotlarz \"%1\"");
    EXPECT_TRUE(reopened.keyExists(Hive::CurrentUser, "SOFTWARE\\Kestrava\\Miotlarz\\Empty"));

    const std::string text = mtl::test::readFile(reopened.hiveFile(Hive::CurrentUser));
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Kestrava\\Miotlarz\\Ustawienia]\n\"Skin\"=\""), std::string::npos);
    EXPECT_NE(text.find("\"Kompresja\"=\"2\"\n"), std::string::npos);
}

TEST(RegistryStore, FailedWriteLeavesTheOldFileAndMemoryUnchanged)
{
    mtl::test::TempDir dir;
    const auto folder = dir.path() / "Kestrava";
    mtl::FileRegistry store(folder);
    store.createKey(Hive::CurrentUser, kKey);
    store.writeValue(Hive::CurrentUser, kKey, "ListBox", "5");
    const std::string before = mtl::test::readFile(store.hiveFile(Hive::CurrentUser));

    // Make the folder refuse new files: the temporary file cannot be created. As root the
    // permission bits do not stop us, so replace the folder by a file instead.
    std::filesystem::rename(folder, dir.path() / "moved");
    mtl::test::writeFile(folder, "not a folder");
    EXPECT_THROW(store.writeValue(Hive::CurrentUser, kKey, "ListBox", "6"), mtl::RegistryError);
    EXPECT_EQ(store.readValue(Hive::CurrentUser, kKey, "ListBox"), "5");

    std::filesystem::remove(folder);
    std::filesystem::rename(dir.path() / "moved", folder);
    EXPECT_EQ(mtl::test::readFile(store.hiveFile(Hive::CurrentUser)), before);
    mtl::FileRegistry reopened(folder);
    EXPECT_EQ(reopened.readValue(Hive::CurrentUser, kKey, "ListBox"), "5");
}

TEST(RegistryStore, ReplacesTheFileAtomically)
{
    mtl::test::TempDir dir;
    mtl::FileRegistry store(dir.path());
    store.createKey(Hive::CurrentUser, kKey);
    store.writeValue(Hive::CurrentUser, kKey, "ListBox", "1");
    struct stat first {};
    ASSERT_EQ(::stat(store.hiveFile(Hive::CurrentUser).c_str(), &first), 0);
    store.writeValue(Hive::CurrentUser, kKey, "ListBox", "2");
    struct stat second {};
    ASSERT_EQ(::stat(store.hiveFile(Hive::CurrentUser).c_str(), &second), 0);
    // A new file took the old one's place (rename), rather than the old one being rewritten.
    EXPECT_NE(first.st_ino, second.st_ino);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST(RegistryStore, FakeFailsChangesUnderAChosenKey)
{
    mtl::test::FakeRegistry fake;
    fake.failChangesUnder(Hive::LocalMachine, std::string(mtl::kRunKey));
    EXPECT_THROW(fake.createKey(Hive::LocalMachine, mtl::kRunKey), mtl::RegistryError);
    fake.createKey(Hive::CurrentUser, kKey);
    fake.writeValue(Hive::CurrentUser, kKey, "ListBox", "1");
    ASSERT_EQ(fake.writes.size(), 1u);
    EXPECT_EQ(fake.writes[0].value, "1");
}

} // namespace
