// The details of one found file and its risk alert: what a click on the found list (or on the
// path ignore list) shows in the status bar, the alert indicator and the details dialog, and
// what the deletion log and the report later record. Qt-free, so the band table, the texts
// and the attribute words are tested on their own.
//
// Choices the band table leaves open:
// - Each band starts at its named boundary: 670 000, 4 750 000 and 10 200 000 bytes belong to
//   the band above them (as do 670 001 and so on), so every size has exactly one band.
// - Sizes are 64-bit, so files of 2 GiB and more keep their true size in the texts and fall
//   in VeryHigh like any other file above 10 200 000 bytes.
// - An attribute word that is not exactly one of the table's values names each of its known
//   bits in the order of their values, joined by ", " ("Ukryty, Archiwalny" for 34), with
//   "Katalog" for the folder bit; bits the table has no word for are added as one
//   "Inne (N)" with their sum, and a word of 0 reads as the normal text.
// - A name's type is its last dot and what follows, but a dot that begins the name (a Linux
//   hidden file such as ".bashrc") starts no type.
#pragma once

#include "core/platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mtl {

enum class RiskBand { Empty, Low, Medium, High, VeryHigh };

// Which of the three alert pictures a band shows.
enum class AlertPicture { Low, Medium, High };

// How a band is shown. Colours are 0xRRGGBB.
struct RiskBandLook {
    const char* level;      // the level text in the dialog and at the end of the status line
    const char* indicator;  // the text beside the main window's picture
    std::uint32_t levelColour;
    const char* comment;
    std::optional<std::uint32_t> commentColour;  // nothing: the dialog's usual text colour
    AlertPicture picture;
    bool sound;  // whether the alert sound plays (when sounds are on)
};

inline constexpr std::int64_t kMediumFrom = 670'000;
inline constexpr std::int64_t kHighFrom = 4'750'000;
inline constexpr std::int64_t kVeryHighFrom = 10'200'000;

RiskBand riskBandOf(std::int64_t size);
const RiskBandLook& lookOf(RiskBand band);

// The attribute text of a whole attribute word (see the choices above).
std::string attributeText(std::uint32_t attributes);
// "2048 bajtów, 2 KB"; the KB count is truncated toward zero.
std::string sizeText(std::int64_t bytes);
// The name's type with its dot (".tmp"), empty when it has none.
std::string fileType(std::string_view name);

struct FileDetails {
    std::string name;
    std::string type;
    std::string size;  // sizeText
    std::string path;
    std::string comment;
    std::string level;
    std::string modified;  // "2005-02-11,  12:00:05"
    std::string attributes;

    std::int64_t bytes = 0;
    RiskBand band = RiskBand::Empty;
    DateTime modifiedTime;
};

// Where the attribute text comes from: the found list reads the file's own word, the path
// ignore list always shows the normal text.
enum class AttributeSource { FromFile, AlwaysNormal };

// Builds the details from what is known of the file; no disk access.
FileDetails makeFileDetails(std::string_view path, std::int64_t bytes, const DateTime& modified,
                            std::uint32_t attributes);

// Looks the file up on disk without following a final symbolic link, accepting any
// attributes. Nothing when there is no such entry.
std::optional<FileDetails> readFileDetails(std::string_view path, AttributeSource source);

// The first panel of the status bar: "Plik: a.tmp    Rozmiar: 2 KB (2048 b)    Dane
// modyfikacji: 2005-02-11,  12:00:05,  Alert: Niski".
std::string statusLine(const FileDetails& details);

} // namespace mtl
