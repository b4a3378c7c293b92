// The byte layout of the backup archive (.mtb) shared by its writer and its reader: signed
// 32-bit little-endian fields, the data block magic, the piece size, the continuation record
// that leads to the next volume and the volume file names, the MS-DOS packed file date, and
// the component's error codes with their texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace mtl::backup {

// Every piece of a file holds this much content (the last one may hold less), and no chunk
// payload is ever longer.
inline constexpr std::size_t kPieceSize = 16384;
// A volume counts as full when its position reaches MaxSize minus this reserve.
inline constexpr std::int64_t kVolumeReserve = static_cast<std::int64_t>(kPieceSize) + 100;
// The smallest MaxSize that leaves room for a chunk after the magic of a new volume: with
// less, every volume is full before its first chunk and a backup would never end.
inline constexpr std::int32_t kMinVolumeSize = static_cast<std::int32_t>(kVolumeReserve) + 4 + 1;
// Volume numbers are written with three digits.
inline constexpr int kMaxVolumes = 999;

inline constexpr std::array<unsigned char, 4> kBlockMagic = {0x45, 0x43, 0x32, 0x00};  // "EC2\0"
inline constexpr std::string_view kIdentityListName = "FILE:LIST";
inline constexpr std::string_view kContinuationPrefix = "NEXT:DISK";
// The archive name that stands for the owner's ReadStream / WriteStream.
inline constexpr std::string_view kStreamName = ":STREAM";

void appendInt32(std::string& out, std::int32_t value);
std::int32_t loadInt32(const unsigned char* bytes);

// The three digits of a volume number: the last three characters of "00" + the number.
std::string volumeDigits(int volume);
// "NEXT:DISK" + the three digits of the volume that follows.
std::string continuationName(int nextVolume);
bool isContinuationName(std::string_view name);
// The volume number a continuation record names, when its digits are three decimal digits.
std::optional<int> continuationVolume(std::string_view name);
// The archive name with its extension replaced by "." + digits (appended when it has none).
std::string volumeFileName(std::string_view archiveName, std::string_view digits);

// The MS-DOS packed date and time in local time: (year - 1980) * 512 + month * 32 + day in
// the high 16 bits, hours * 2048 + minutes * 32 + seconds / 2 in the low 16 bits. Times before
// 1980 or after 2107 are held at the nearest date the format can carry.
std::int32_t packDosDate(std::time_t when);
// The time a packed date stands for; nothing when its fields cannot form a time.
std::optional<std::time_t> unpackDosDate(std::int32_t packed);

// Error codes of the component (there is no code 2) and their texts.
enum BackupErrorCode : std::int32_t {
    kErrReadData = 1,
    kErrReadArchive = 3,
    kErrCreateArchive = 4,
    kErrNotArchive = 5,
    kErrCompression = 6,
    kErrTempFile = 7,
};
std::string_view errorText(std::int32_t code);

inline constexpr std::string_view kTextReadData = "Nie można odczytać danych z pliku kopii zapasowej !";
inline constexpr std::string_view kTextReadArchive = "Nie można odczytać pliku kopii zapasowej !";
inline constexpr std::string_view kTextCreateArchive = "Nie można utworzyć kopii zapasowej pliku !";
inline constexpr std::string_view kTextNotArchive = "To nie jest plik kopii zapasowej programu Miotlarz !";
inline constexpr std::string_view kTextCompression = "Błąd przy kompresji pliku kopii zapasowej !";
inline constexpr std::string_view kTextTempFile = "Nie można utworzyć tymczasowego pliku, aby zapisać dane ID !";
// The volume prompt; %s is the volume number in decimal without leading zeros.
inline constexpr std::string_view kTextInsertDisk = "Please insert disk %s and click OK to continue.";
std::string insertDiskText(std::string_view number);

} // namespace mtl::backup
