// miotlarz-cli archive: inspect, test, create and restore backup archives with the same
// component the program uses. Exit status 0 on success, 1 when the operation failed or found
// damage, 2 for a usage error.
#include "commands.h"

#include "core/backup/archiveformat.h"
#include "core/backup/archivereader.h"
#include "core/backup/backupfile.h"
#include "core/platform/eventpump.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace cli {
namespace {

using namespace mtl::backup;

constexpr const char* kUsage =
    "usage: miotlarz-cli archive info ARCHIVE\n"
    "       miotlarz-cli archive list ARCHIVE\n"
    "       miotlarz-cli archive test ARCHIVE\n"
    "       miotlarz-cli archive create [--level 1|0|6|9] [--no-id] [--volume-size BYTES] [--title TEXT]"
    " ARCHIVE SPEC...\n"
    "       miotlarz-cli archive restore [--to DIR] [--full-path]"
    " [--rule rmAll|rmNoOverwrite|rmNewer|rmExisting|rmExistingNewer] ARCHIVE\n";

int usage(const std::string& problem)
{
    if (!problem.empty()) std::fprintf(stderr, "miotlarz-cli archive: %s\n", problem.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

void printError(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool exists(const std::string& path)
{
    return systemFileSystem().status(path).kind == EntryKind::File;
}

// The options of one command, read before its operands.
struct Parsed {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> operands;
};

std::optional<Parsed> parse(Args args, const std::vector<std::string>& flags, const std::vector<std::string>& valued,
                            std::string& problem)
{
    Parsed parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg(args[i]);
        if (!parsed.operands.empty() || !arg.starts_with("--")) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            parsed.options.emplace_back(arg, "");
        } else if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
            if (i + 1 >= args.size()) {
                problem = arg + " needs a value";
                return std::nullopt;
            }
            parsed.options.emplace_back(arg, std::string(args[++i]));
        } else {
            problem = "unknown option " + arg;
            return std::nullopt;
        }
    }
    return parsed;
}

// Answers the volume prompt: yes when the volume's file is there.
void answerWhenPresent(mtl::TBackupFile& component, const std::string& archive)
{
    component.OnNeedDisk = [archive](mtl::TBackupFile&, std::uint16_t disk, bool& go) {
        go = exists(volumeFileName(archive, volumeDigits(disk)));
        if (!go) std::fprintf(stderr, "volume %u (%s) is missing\n", unsigned(disk),
                              volumeFileName(archive, volumeDigits(disk)).c_str());
    };
}

void reportErrorsTo(mtl::TBackupFile& component, bool& failed)
{
    component.OnError = [&failed](mtl::TBackupFile&, std::int32_t code, const std::string& text) {
        failed = true;
        std::fprintf(stderr, "%s (error %d)\n", text.c_str(), int(code));
    };
}

bool archiveMissing(const std::string& archive)
{
    if (exists(archive)) return false;
    printError("archive not found: " + archive);
    return true;
}

// The archive's title and, when asked for, its identity list; false after a reported error.
bool readArchiveInfo(mtl::TBackupFile& component, const std::string& archive, std::vector<std::string>* lines,
                     std::string& title)
{
    bool failed = false;
    reportErrorsTo(component, failed);
    component.GetArchiveInfo(archive, lines, title);
    return !failed;
}

int infoCommand(const std::string& archive)
{
    if (archiveMissing(archive)) return 1;
    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    std::string title;
    if (!readArchiveInfo(component, archive, nullptr, title)) return 1;
    std::printf("title: %s\nfiles: %d\ntotal size: %u bytes\n", title.c_str(), int(component.FileCount()),
                unsigned(static_cast<std::uint32_t>(component.TotalSize())));
    return 0;
}

// Passes over or inflates every block; reports each record through `onRecord`.
class WalkSink final : public BlockSink {
public:
    explicit WalkSink(bool decode) : m_decode(decode) {}
    bool decodes() const override { return m_decode; }
    bool goOn() const override { return true; }
    void write(std::span<const unsigned char> bytes) override { content += bytes.size(); }
    void afterChunk(std::size_t, bool) override {}
    std::uint64_t content = 0;

private:
    bool m_decode;
};

// Reads the whole archive across its volumes. Returns false (with the damage on standard
// error) when it is damaged or a volume is missing.
template <typename OnRecord>
bool walkArchive(const std::string& archive, bool decode, OnRecord onRecord, std::uint64_t& content)
{
    std::string volumeName = archive;
    try {
        auto file = systemFileSystem().openArchive(archive);
        ArchiveReader reader(*file);
        WalkSink sink(decode);
        reader.readHeader();
        int volume = 1;
        for (;;) {
            const ArchiveRecord record = reader.nextRecord();
            if (record.kind == ArchiveRecord::Kind::End) break;
            if (record.kind == ArchiveRecord::Kind::Continuation) {
                const auto number = continuationVolume(record.name);
                if (!number || *number <= volume) throw ArchiveDamage(ArchiveDamage::Kind::BadVolume, record.offset);
                volume = *number;
                volumeName = volumeFileName(archive, volumeDigits(volume));
                if (!exists(volumeName)) {
                    printError("volume " + std::to_string(volume) + " is missing: " + volumeName);
                    return false;
                }
                file = systemFileSystem().openArchive(volumeName);
                reader.setSource(*file);
            } else {
                onRecord(record);
            }
            reader.readBlock(sink);
        }
        content = sink.content;
        return true;
    } catch (const ArchiveDamage& damage) {
        std::fprintf(stderr, "damaged: %s: %s\n", volumeName.c_str(), damage.what());
    } catch (const std::exception& error) {
        printError(error.what());
    }
    return false;
}

int listCommand(const std::string& archive)
{
    if (archiveMissing(archive)) return 1;
    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    std::vector<std::string> lines;
    std::string title;
    if (!readArchiveInfo(component, archive, &lines, title)) return 1;
    if (!lines.empty()) {
        for (const auto& line : lines) std::printf("%s\n", line.c_str());
        return 0;
    }
    std::uint64_t content = 0;
    const bool whole = walkArchive(
        archive, false, [](const ArchiveRecord& record) { std::printf("%s\n", record.name.c_str()); }, content);
    return whole ? 0 : 1;
}

int testCommand(const std::string& archive)
{
    if (archiveMissing(archive)) return 1;
    std::uint64_t records = 0, content = 0;
    if (!walkArchive(archive, true, [&records](const ArchiveRecord&) { ++records; }, content)) return 1;
    std::printf("OK: %llu records, %llu bytes of content\n", static_cast<unsigned long long>(records),
                static_cast<unsigned long long>(content));
    return 0;
}

template <typename Number>
bool parseNumber(const std::string& text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int createCommand(Args args)
{
    std::string problem;
    const auto parsed = parse(args, {"--no-id"}, {"--level", "--volume-size", "--title"}, problem);
    if (!parsed) return usage(problem);
    if (parsed->operands.size() < 2) return usage("create needs an archive and at least one file spec");

    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    component.SetBackupMode(mtl::bmAll);
    component.CompressionLevel = mtl::clFastest;
    component.SaveFileID = true;
    for (const auto& [name, value] : parsed->options) {
        if (name == "--no-id") {
            component.SaveFileID = false;
        } else if (name == "--level") {
            if (value == "1") component.CompressionLevel = mtl::clFastest;
            else if (value == "0") component.CompressionLevel = mtl::clNone;
            else if (value == "6") component.CompressionLevel = mtl::clDefault;
            else if (value == "9") component.CompressionLevel = mtl::clMax;
            else return usage("--level takes 1, 0, 6 or 9");
        } else if (name == "--volume-size") {
            std::int32_t size = 0;
            if (!parseNumber(value, size) || size < 0) return usage("--volume-size takes a byte count up to 2147483647");
            component.MaxSize = size;
        } else if (name == "--title") {
            component.BackupTitle = value;
        }
    }
    component.OnNeedDisk = [](mtl::TBackupFile&, std::uint16_t, bool& go) { go = true; };
    bool failed = false;
    reportErrorsTo(component, failed);

    const std::string& archive = parsed->operands.front();
    const std::vector<std::string> specs(parsed->operands.begin() + 1, parsed->operands.end());
    const bool done = component.Backup(specs, archive);
    if (!done) {
        if (!failed) printError("the backup did not finish");
        return 1;
    }
    std::printf("%s: %d of %d files stored, %u bytes\n", archive.c_str(), int(component.FilesDone()),
                int(component.FileCount()), unsigned(static_cast<std::uint32_t>(component.TotalSize())));
    return 0;
}

int restoreCommand(Args args)
{
    std::string problem;
    const auto parsed = parse(args, {"--full-path"}, {"--to", "--rule"}, problem);
    if (!parsed) return usage(problem);
    if (parsed->operands.size() != 1) return usage("restore needs exactly one archive");

    mtl::NoEventPump pump;
    mtl::TBackupFile component(pump);
    std::string destination;
    for (const auto& [name, value] : parsed->options) {
        if (name == "--to") {
            destination = value;
            if (destination.empty()) return usage("--to needs a folder");
        } else if (name == "--full-path") {
            component.RestoreFullPath = true;
        } else if (name == "--rule") {
            static const std::pair<const char*, mtl::TRestoreMode> rules[] = {
                {"rmAll", mtl::rmAll}, {"rmNoOverwrite", mtl::rmNoOverwrite}, {"rmNewer", mtl::rmNewer},
                {"rmExisting", mtl::rmExisting}, {"rmExistingNewer", mtl::rmExistingNewer}};
            bool known = false;
            for (const auto& [text, mode] : rules) {
                if (value == text) component.RestoreMode = mode, known = true;
            }
            if (!known) return usage("unknown rule " + value);
        }
    }
    const std::string& archive = parsed->operands.front();
    if (archiveMissing(archive)) return 1;
    answerWhenPresent(component, archive);
    bool failed = false;
    reportErrorsTo(component, failed);
    if (!component.Restore(archive, destination)) {
        if (!failed) printError("the restore did not finish");
        return 1;
    }
    std::printf("%d of %d files restored\n", int(component.FilesDone()), int(component.FileCount()));
    return 0;
}

} // namespace

int archiveCommand(Args args)
{
    if (args.empty()) return usage("");
    const std::string_view command = args[0];
    const Args rest = args.subspan(1);
    try {
        if (command == "info" || command == "list" || command == "test") {
            if (rest.size() != 1) return usage(std::string(command) + " needs exactly one archive");
            const std::string archive(rest[0]);
            if (command == "info") return infoCommand(archive);
            if (command == "list") return listCommand(archive);
            return testCommand(archive);
        }
        if (command == "create") return createCommand(rest);
        if (command == "restore") return restoreCommand(rest);
    } catch (const std::exception& error) {
        // Errors the component passes to its caller, and anything else that goes wrong.
        printError(error.what());
        return 1;
    }
    return usage("unknown archive command " + std::string(command));
}

} // namespace cli
