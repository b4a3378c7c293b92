// Wildcard masks of file names, as the search engine, the ignore masks and the mask lists use
// them: reading a mask into its parts, the check that it is well formed (with the position of
// the first offending character) and the match of one mask against one name.
//
// The rules: a mask must cover the whole name. `*` matches any run of characters, the empty
// run included, and a `?` written directly after a `*` adds nothing; `?` matches exactly one
// character; `[set]` matches one character of the set, `[!set]` one character not in it,
// `a-z` inside a set is the range between the two; every other character matches itself.
// Letters a-z and A-Z match without regard to case, everything else only exactly (also
// inside sets). There is no escape character. Characters are the code points of the UTF-8
// text; a byte that does not begin a valid sequence counts as one character of its own.
// Invalid: more than 30 `*`, a set without its closing `]`, an empty set, a set whose first
// character is `-`.
#pragma once

#include "core/common/errors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mtl {

// "'%s' is an invalid mask at (%d)": the mask and the 1-based position of the character
// where it goes wrong (one past the end for a set that is never closed).
class InvalidMaskError : public Error {
public:
    InvalidMaskError(std::string mask, int position);
    const std::string& mask() const { return m_mask; }
    int position() const { return m_position; }

private:
    std::string m_mask;
    int m_position;
};

// Characters of a name: a code point, or for a byte outside any valid UTF-8 sequence this
// base plus the byte, so such a byte only ever equals the same byte.
inline constexpr char32_t invalidByteBase = 0x110000;

// Lower-cases A-Z and nothing else: the only case rule of masks.
constexpr char32_t foldChar(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
constexpr unsigned char foldByte(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Decodes `bytes` into `out` (which must hold at least bytes.size() characters), folding
// A-Z to lower case; returns the number of characters.
std::size_t decodeFolded(std::string_view bytes, char32_t* out);
// Number of bytes of the character starting at `bytes[0]` (1 for an invalid byte).
std::size_t charLength(std::string_view bytes);

struct MaskToken {
    enum class Kind : std::uint8_t { Char, AnyChar, Star, Set };
    Kind kind = Kind::Char;
    bool negated = false;     // Set: `[!...]`
    char32_t ch = 0;          // Char: the character, folded
    std::uint32_t set = 0;    // Set: index into Mask::sets()
};

// The members of one `[...]`: ASCII as a bitmap holding both cases of every letter, the rest
// as ranges of code points.
struct MaskCharSet {
    std::uint64_t ascii[2] = {0, 0};
    std::vector<std::pair<char32_t, char32_t>> ranges;  // inclusive, code points from 128 on
    bool asciiOnly = true;                              // no member outside ASCII

    bool contains(char32_t folded) const
    {
        if (folded < 128) return (ascii[folded >> 6] >> (folded & 63)) & 1u;
        for (const auto& [low, high] : ranges)
            if (folded >= low && folded <= high) return true;
        return false;
    }
};

class Mask {
public:
    // Never throws: a malformed mask remembers where it goes wrong, and says so when used.
    explicit Mask(std::string_view text);

    const std::string& text() const { return m_text; }
    bool valid() const { return m_errorPosition == 0; }
    int errorPosition() const { return m_errorPosition; }
    [[noreturn]] void raiseInvalid() const;

    // Whether the mask covers the whole name. Throws InvalidMaskError for a malformed mask.
    bool matches(std::string_view name) const;
    // The same over a name already decoded with decodeFolded (the mask must be valid).
    bool matchesFolded(std::span<const char32_t> name) const;

    // The parts, with consecutive stars joined into one (a run of stars matches what one does).
    const std::vector<MaskToken>& tokens() const { return m_tokens; }
    const std::vector<MaskCharSet>& sets() const { return m_sets; }

private:
    void parse();
    bool tokenMatches(const MaskToken& token, char32_t folded) const;

    std::string m_text;
    int m_errorPosition = 0;
    std::vector<MaskToken> m_tokens;
    std::vector<MaskCharSet> m_sets;
};

} // namespace mtl
