#include "support/fakes.h"

#include "core/common/errors.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifndef MIOTLARZ_PROGRAM_DIR
#error "MIOTLARZ_PROGRAM_DIR must name the built program folder"
#endif

namespace mtl::test {

void FakeRegistry::check(Hive hive, std::string_view key) const
{
    const std::string folded = foldCase(normalizeKeyPath(key));
    for (const auto& [failingHive, prefix] : m_failing) {
        if (failingHive == hive && folded.starts_with(prefix)) {
            throw RegistryError("Odmowa dostępu do klucza rejestru \"" + std::string(key) + "\".");
        }
    }
}

void FakeRegistry::createKey(Hive hive, std::string_view key)
{
    if (!keyExists(hive, key)) check(hive, key);
    RegistryTree::createKey(hive, key);
}

void FakeRegistry::writeValue(Hive hive, std::string_view key, std::string_view name, std::string_view value)
{
    check(hive, key);
    RegistryTree::writeValue(hive, key, name, value);
    writes.push_back({hive, std::string(key), std::string(name), std::string(value)});
}

bool FakeRegistry::deleteValue(Hive hive, std::string_view key, std::string_view name)
{
    check(hive, key);
    return RegistryTree::deleteValue(hive, key, name);
}

bool FakeRegistry::deleteKey(Hive hive, std::string_view key)
{
    check(hive, key);
    return RegistryTree::deleteKey(hive, key);
}

void FakeRegistry::failChangesUnder(Hive hive, std::string keyPrefix)
{
    m_failing.emplace_back(hive, foldCase(normalizeKeyPath(keyPrefix)));
}

std::string FakeRegistry::value(Hive hive, std::string_view key, std::string_view name) const
{
    return readValue(hive, key, name).value_or(std::string());
}

void FakeRegistry::set(Hive hive, std::string_view key, std::string_view name, std::string_view value)
{
    RegistryTree::createKey(hive, key);
    RegistryTree::writeValue(hive, key, name, value);
}

MessageAnswer FakeDialogs::message(const MessageRequest& request)
{
    messages.push_back(request);
    if (onMessage) onMessage(request);
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

namespace {
std::optional<std::string> take(std::deque<std::optional<std::string>>& queue)
{
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}
} // namespace

std::optional<std::string> FakeDialogs::openFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    return take(fileAnswers);
}

std::optional<std::string> FakeDialogs::saveFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    return take(fileAnswers);
}

std::optional<std::string> FakeDialogs::chooseFolder(const std::string& title, const std::string&)
{
    folderRequests.push_back(title);
    return take(folderAnswers);
}

std::optional<std::string> FakeDialogs::input(const std::string& title, const std::string&, const std::string&)
{
    inputRequests.push_back(title);
    return take(inputAnswers);
}

std::vector<std::string> FakeDialogs::texts() const
{
    std::vector<std::string> result;
    for (const auto& m : messages) result.push_back(m.text);
    return result;
}

bool FakeShell::open(const std::string& target)
{
    opened.push_back(target);
    return result;
}

bool FakeShell::startProgram(const std::string& program, const std::string& parameter)
{
    started.emplace_back(program, parameter);
    return result;
}

bool FakeShell::openInTextEditor(const std::string& file)
{
    edited.push_back(file);
    return result;
}

void FakeEventPump::processPending()
{
    ++pendingCalls;
    if (onPending) onPending();
}

void FakeEventPump::yieldSliced()
{
    ++slicedCalls;
    if (onPending) onPending();
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "miotlarz-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

TestPlatform::TestPlatform()
{
    namespace fs = std::filesystem;
    const fs::path source = MIOTLARZ_PROGRAM_DIR;
    fs::create_directories(programFolder());
    fs::create_directories(scratch());
    for (const auto& entry : fs::directory_iterator(source)) {
        const auto name = entry.path().filename().string();
        if (entry.is_directory()) {
            if (name == "Filtry" || name == "Skiny") {
                fs::copy(entry.path(), programFolder() / name, fs::copy_options::recursive);
            }
        } else if (entry.path().extension() == ".wav" || name == "pomoc.htm") {
            fs::copy_file(entry.path(), programFolder() / name);
        }
    }
}

Services TestPlatform::services()
{
    return Services{registry, dialogs, shell, sounds, clock, pump, programFolder()};
}

void TestPlatform::writeFilter(const std::string& name, const std::string& bytes) const
{
    writeFile(filtersFolder() / name, bytes);
}

void writeFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + file.string());
    out << bytes;
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace mtl::test
