// Test doubles of the platform layer. Each records what was asked of it and answers as the
// test scripts it, so window and core tests run without a desktop, a real registry or sound.
#pragma once

#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/registry.h"
#include "core/platform/services.h"
#include "core/platform/shell.h"
#include "core/platform/sounds.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mtl::test {

// An in-memory registry with a fault seam: writes below a chosen key fail as they do for a
// user without the rights to that key.
class FakeRegistry : public RegistryTree {
public:
    struct Write {
        Hive hive;
        std::string key, name, value;
    };

    void createKey(Hive hive, std::string_view key) override;
    void writeValue(Hive hive, std::string_view key, std::string_view name, std::string_view value) override;
    bool deleteValue(Hive hive, std::string_view key, std::string_view name) override;
    bool deleteKey(Hive hive, std::string_view key) override;

    // Every change below `keyPrefix` (and creating it) throws RegistryError from now on.
    void failChangesUnder(Hive hive, std::string keyPrefix);
    // Convenience for tests: a value as read, "" when absent.
    std::string value(Hive hive, std::string_view key, std::string_view name) const;
    void set(Hive hive, std::string_view key, std::string_view name, std::string_view value);

    std::vector<Write> writes;

private:
    void check(Hive hive, std::string_view key) const;
    std::vector<std::pair<Hive, std::string>> m_failing;
};

class FakeDialogs : public Dialogs {
public:
    MessageAnswer message(const MessageRequest& request) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
    std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

    // Answers given in order; when none is left an OK box answers Ok and any other No.
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> fileAnswers;    // open and save dialogs
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    // Runs while a message box is "open", to look at the program's state at that moment.
    std::function<void(const MessageRequest&)> onMessage;

    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> folderRequests;
    std::vector<std::string> inputRequests;

    // The texts of all messages shown, in order.
    std::vector<std::string> texts() const;
};

class FakeShell : public Shell {
public:
    bool open(const std::string& target) override;
    bool startProgram(const std::string& program, const std::string& parameter) override;
    bool openInTextEditor(const std::string& file) override;

    bool result = true;
    std::vector<std::string> opened;
    std::vector<std::pair<std::string, std::string>> started;
    std::vector<std::string> edited;
};

class FakeSounds : public Sounds {
public:
    void play(const std::string& wavFile) override { played.push_back(wavFile); }
    std::vector<std::string> played;
};

class FakeClock : public Clock {
public:
    DateTime now() const override { return current; }
    DateTime current{2026, 12, 11, 12, 0, 5, 0};
};

class FakeEventPump : public EventPump {
public:
    void processPending() override;
    void yieldSliced() override;

    int pendingCalls = 0;
    int slicedCalls = 0;
    std::function<void()> onPending;  // runs at each processPending and sliced yield
};

// A scratch folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// All doubles together with a private program folder: a copy of the built one's data
// (Filtry, sounds, help page, skins), so a test may delete or change any file in it.
class TestPlatform {
public:
    TestPlatform();

    Services services();
    std::filesystem::path programFolder() const { return m_dir.path() / "program"; }
    std::filesystem::path filtersFolder() const { return programFolder() / "Filtry"; }
    std::filesystem::path scratch() const { return m_dir.path() / "scratch"; }
    // Writes a file of the program folder's Filtry (text as given).
    void writeFilter(const std::string& name, const std::string& bytes) const;

    FakeRegistry registry;
    FakeDialogs dialogs;
    FakeShell shell;
    FakeSounds sounds;
    FakeClock clock;
    FakeEventPump pump;

private:
    TempDir m_dir;
};

void writeFile(const std::filesystem::path& file, const std::string& bytes);
std::string readFile(const std::filesystem::path& file);

} // namespace mtl::test
