#include "core/results/filedetails.h"

#include "core/common/timestamp.h"
#include "core/scan/fileattributes.h"

#include <sys/stat.h>

#include <array>
#include <ctime>
#include <utility>

namespace mtl {

namespace {

constexpr std::uint32_t kGreen = 0x16873E;
constexpr std::uint32_t kDarkYellow = 0x8F6918;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

const RiskBandLook kLooks[] = {
    {"Niski", "Niski", kGreen,
     "Plik jest pusty (0 bajtów). Utworzony po zamknięciu programu i nie został skasowany.",
     std::nullopt, AlertPicture::Low, false},
    {"Niski", "Niski", kGreen, "-", std::nullopt, AlertPicture::Low, false},
    {"Średni", "Średni", kDarkYellow,
     "Plik jest z przedziału 650KB - 4,5MB i klasyfikuje się do zwrócenia uwagi ze względu na "
     "swój rozmiar",
     std::nullopt, AlertPicture::Medium, true},
    {"Wysoki", "Wysoki", kRed,
     "Plik jest z przedziału 4,5 MB - 10 MB i jest podejrzanie duży. Przeczytaj dostępny opis.",
     std::nullopt, AlertPicture::High, true},
    {"Wysoki", "Wysoki !", kRed,
     "Podejrzany, duży rozmiar pliku - ponad 10 MB. Zaleca się utworzenie kopii zapasowej tego "
     "pliku.",
     kBlue, AlertPicture::High, true},
};

const char* const kNormalText = "Normalny (ustawiony automatycznie)";

// The words a single attribute bit has, in the order of the bit values.
constexpr std::array<std::pair<std::uint32_t, const char*>, 7> kBitWords{{
    {1, "Tylko do odczytu"},
    {2, "Ukryty"},
    {4, "Systemowy"},
    {16, "Katalog"},
    {32, "Archiwalny"},
    {256, "Tymczasowy"},
    {2048, "Skompresowany"},
}};

DateTime localTime(const timespec& time)
{
    std::tm local{};
    const std::time_t seconds = time.tv_sec;
    ::localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
            local.tm_sec, int(time.tv_nsec / 1000000)};
}

} // namespace

RiskBand riskBandOf(std::int64_t size)
{
    // A size is never negative; should one appear it is treated as nothing at all.
    if (size <= 0) return RiskBand::Empty;
    if (size < kMediumFrom) return RiskBand::Low;
    if (size < kHighFrom) return RiskBand::Medium;
    if (size < kVeryHighFrom) return RiskBand::High;
    return RiskBand::VeryHigh;
}

const RiskBandLook& lookOf(RiskBand band) { return kLooks[static_cast<int>(band)]; }

std::string attributeText(std::uint32_t attributes)
{
    if (attributes == 0 || attributes == 128) return kNormalText;
    // A word of one table value reads as that value's own text; the folder bit alone is not
    // in the table and goes the way of every other word below.
    for (const auto& [bit, word] : kBitWords) {
        if (attributes == bit && bit != 16) return word;
    }
    std::string text;
    std::uint32_t rest = attributes;
    for (const auto& [bit, word] : kBitWords) {
        if ((attributes & bit) == 0) continue;
        rest &= ~bit;
        if (!text.empty()) text += ", ";
        text += word;
    }
    if (rest != 0) {
        if (!text.empty()) text += ", ";
        text += "Inne (" + std::to_string(rest) + ")";
    }
    return text;
}

std::string sizeText(std::int64_t bytes)
{
    return std::to_string(bytes) + " bajtów, " + std::to_string(bytes / 1024) + " KB";
}

std::string fileType(std::string_view name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return std::string(name.substr(dot));
}

FileDetails makeFileDetails(std::string_view path, std::int64_t bytes, const DateTime& modified,
                            std::uint32_t attributes)
{
    FileDetails details;
    const auto slash = path.rfind('/');
    details.name = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
    details.type = fileType(details.name);
    details.size = sizeText(bytes);
    details.path = std::string(path);
    details.band = riskBandOf(bytes);
    const RiskBandLook& look = lookOf(details.band);
    details.comment = look.comment;
    details.level = look.level;
    details.modified = shortDate(modified) + ",  " + longTime(modified);
    details.attributes = attributeText(attributes);
    details.bytes = bytes;
    details.modifiedTime = modified;
    return details;
}

std::optional<FileDetails> readFileDetails(std::string_view path, AttributeSource source)
{
    if (path.empty()) return std::nullopt;
    const std::string name(path);
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0) return std::nullopt;
    const auto slash = path.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::uint32_t attributes =
        source == AttributeSource::AlwaysNormal
            ? fileattr::normal
            : attributesOf(base, S_ISDIR(info.st_mode), std::uint32_t(info.st_mode));
    return makeFileDetails(path, std::int64_t(info.st_size), localTime(info.st_mtim), attributes);
}

std::string statusLine(const FileDetails& details)
{
    const DateTime& when = details.modifiedTime;
    return "Plik: " + details.name + "    Rozmiar: " + std::to_string(details.bytes / 1024)
           + " KB (" + std::to_string(details.bytes) + " b)    Dane modyfikacji: "
           + shortDate(when) + ",  " + longTime(when) + ",  Alert: " + details.level;
}

} // namespace mtl
