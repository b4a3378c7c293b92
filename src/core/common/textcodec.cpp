#include "core/common/textcodec.h"

#include <array>
#include <cstdint>
#include <optional>

namespace mtl {
namespace {

// Code points of Windows-1250 bytes 0x80..0xFF. Bytes the code page leaves unassigned map to
// the C1 control of the same value, as the system's own conversion does.
constexpr std::array<char16_t, 128> kCp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at `pos` and its code point; 0 when invalid.
std::size_t utf8Sequence(std::string_view s, std::size_t pos, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (pos + len > s.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

std::size_t utf8SequenceLength(std::string_view bytes, std::size_t pos)
{
    char32_t cp;
    return utf8Sequence(bytes, pos, cp);
}

bool isValidUtf8(std::string_view bytes)
{
    char32_t cp;
    for (std::size_t pos = 0; pos < bytes.size();) {
        // Plain ASCII runs are by far the most common: skip them byte by byte cheaply.
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) { ++pos; continue; }
        const std::size_t len = utf8Sequence(bytes, pos, cp);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

std::string cp1250ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out += c;
        else appendUtf8(out, kCp1250High[b - 0x80]);
    }
    return out;
}

std::string decodeText(std::string_view bytes)
{
    return isValidUtf8(bytes) ? std::string(bytes) : cp1250ToUtf8(bytes);
}

namespace {

// The Windows-1250 byte of a code point above 0x7F, or -1 when the code page has none.
int cp1250Byte(char32_t cp)
{
    for (int i = 0; i < 128; ++i) {
        if (kCp1250High[i] == cp) return 0x80 + i;
    }
    return -1;
}

} // namespace

std::string utf8ToCp1250Html(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp;
        const std::size_t len = utf8Sequence(text, pos, cp);
        if (len == 0) {  // not UTF-8: keep the byte as it is
            out += text[pos++];
            continue;
        }
        pos += len;
        if (cp < 0x80) {
            out += char(cp);
            continue;
        }
        const int byte = cp1250Byte(cp);
        if (byte >= 0) out += char(byte);
        else out += "&#" + std::to_string(static_cast<std::uint32_t>(cp)) + ';';
    }
    return out;
}

std::optional<std::string> utf8ToCp1250Exact(std::string_view text, char32_t& missing)
{
    std::string out;
    out.reserve(text.size());
    missing = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp;
        const std::size_t len = utf8Sequence(text, pos, cp);
        if (len == 0) return std::nullopt;
        pos += len;
        const int byte = cp < 0x80 ? int(cp) : cp1250Byte(cp);
        if (byte < 0) {
            missing = cp;
            return std::nullopt;
        }
        out += char(byte);
    }
    return out;
}

} // namespace mtl
