#include "core/scan/masks.h"

#include <array>

namespace mtl {

namespace {

constexpr int maxStars = 30;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length and value of the valid UTF-8 sequence at the start of `bytes`, or 0 when the first
// byte does not begin one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t decodeOne(std::string_view bytes, char32_t& out)
{
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t length;
    char32_t value;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        value = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        value = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b1 < low || b1 > high) return 0;
    value = (value << 6) | (b1 & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!isContinuation(b)) return 0;
        value = (value << 6) | (b & 0x3F);
    }
    out = value;
    return length;
}

void setAsciiBit(MaskCharSet& set, char32_t c) { set.ascii[c >> 6] |= std::uint64_t(1) << (c & 63); }

// Adds low..high; an ASCII letter brings its other case along, so that a folded name
// character finds the set whichever case the mask wrote. A reversed range adds nothing.
void addRange(MaskCharSet& set, char32_t low, char32_t high)
{
    if (low > high) return;
    for (char32_t c = low; c <= high && c < 128; ++c) {
        setAsciiBit(set, c);
        if (c >= 'a' && c <= 'z') setAsciiBit(set, c - 32);
        if (c >= 'A' && c <= 'Z') setAsciiBit(set, c + 32);
    }
    if (high >= 128) {
        set.ranges.emplace_back(low < 128 ? char32_t(128) : low, high);
        set.asciiOnly = false;
    }
}

} // namespace

InvalidMaskError::InvalidMaskError(std::string mask, int position)
    : Error("'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")"),
      m_mask(std::move(mask)),
      m_position(position)
{
}

std::size_t charLength(std::string_view bytes)
{
    char32_t ignored;
    const std::size_t length = decodeOne(bytes, ignored);
    return length == 0 ? 1 : length;
}

std::size_t decodeFolded(std::string_view bytes, char32_t* out)
{
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {  // the common case, kept out of the sequence decoder
            out[count++] = foldByte(byte);
            ++i;
            continue;
        }
        char32_t value;
        const std::size_t length = decodeOne(bytes.substr(i), value);
        if (length == 0) {
            out[count++] = invalidByteBase + byte;
            ++i;
        } else {
            out[count++] = value;
            i += length;
        }
    }
    return count;
}

Mask::Mask(std::string_view text) : m_text(text) { parse(); }

void Mask::parse()
{
    std::vector<char32_t> chars(m_text.size());
    chars.resize(decodeFolded(m_text, chars.data()));
    const std::size_t n = chars.size();
    // Positions in errors are 1-based character positions; one past the end when the text
    // ran out inside a set.
    auto fail = [this](std::size_t index) {
        m_errorPosition = int(index + 1);
        m_tokens.clear();
        m_sets.clear();
    };

    int stars = 0;
    bool afterStar = false;  // the previous character of the text was a '*'
    std::size_t i = 0;
    while (i < n) {
        const char32_t c = chars[i];
        if (c == '*') {
            if (++stars > maxStars) return fail(i);
            if (m_tokens.empty() || m_tokens.back().kind != MaskToken::Kind::Star)
                m_tokens.push_back({MaskToken::Kind::Star});
            afterStar = true;
            ++i;
            continue;
        }
        if (c == '?') {
            if (!afterStar) m_tokens.push_back({MaskToken::Kind::AnyChar});
            afterStar = false;
            ++i;
            continue;
        }
        afterStar = false;
        if (c != '[') {
            m_tokens.push_back({MaskToken::Kind::Char, false, c});
            ++i;
            continue;
        }
        MaskToken token{MaskToken::Kind::Set};
        MaskCharSet set;
        ++i;
        if (i < n && chars[i] == '!') {
            token.negated = true;
            ++i;
        }
        if (i >= n) return fail(n);
        if (chars[i] == ']' || chars[i] == '-') return fail(i);
        for (;;) {
            if (i >= n) return fail(n);
            const char32_t member = chars[i];
            if (member == ']') {
                ++i;
                break;
            }
            // "x-y" is a range unless the hyphen is the last member ("[a-]" holds a and -).
            if (i + 2 < n && chars[i + 1] == '-' && chars[i + 2] != ']') {
                addRange(set, member, chars[i + 2]);
                i += 3;
            } else {
                addRange(set, member, member);
                ++i;
            }
        }
        token.set = std::uint32_t(m_sets.size());
        m_sets.push_back(std::move(set));
        m_tokens.push_back(token);
    }
}

void Mask::raiseInvalid() const { throw InvalidMaskError(m_text, m_errorPosition); }

bool Mask::tokenMatches(const MaskToken& token, char32_t folded) const
{
    switch (token.kind) {
    case MaskToken::Kind::Char: return token.ch == folded;
    case MaskToken::Kind::AnyChar: return true;
    case MaskToken::Kind::Set: return m_sets[token.set].contains(folded) != token.negated;
    case MaskToken::Kind::Star: break;
    }
    return false;
}

bool Mask::matches(std::string_view name) const
{
    if (!valid()) raiseInvalid();
    std::array<char32_t, 256> buffer;
    if (name.size() <= buffer.size())
        return matchesFolded({buffer.data(), decodeFolded(name, buffer.data())});
    std::vector<char32_t> chars(name.size());
    return matchesFolded({chars.data(), decodeFolded(name, chars.data())});
}

bool Mask::matchesFolded(std::span<const char32_t> name) const
{
    // Every token but the star takes exactly one character, so going back to the last star
    // and letting it take one character more is enough: no earlier star ever needs to give
    // back what it took.
    constexpr std::size_t none = std::size_t(-1);
    const std::size_t tokenCount = m_tokens.size();
    std::size_t t = 0, c = 0;
    std::size_t resumeToken = none, resumeChar = 0;
    while (c < name.size()) {
        if (t < tokenCount) {
            const MaskToken& token = m_tokens[t];
            if (token.kind == MaskToken::Kind::Star) {
                resumeToken = ++t;
                resumeChar = c;
                continue;
            }
            if (tokenMatches(token, name[c])) {
                ++t;
                ++c;
                continue;
            }
        }
        if (resumeToken == none) return false;
        t = resumeToken;
        c = ++resumeChar;
    }
    while (t < tokenCount && m_tokens[t].kind == MaskToken::Kind::Star) ++t;
    return t == tokenCount;
}

} // namespace mtl
