#include "core/scan/maskset.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace mtl {

namespace {

using ByteMap = std::array<std::uint64_t, 4>;

void addByte(ByteMap& map, unsigned char byte) { map[byte >> 6] |= std::uint64_t(1) << (byte & 63); }

// Which key lengths a table holds (every length from 255 on counts as 255), so that most
// names skip a lookup that cannot succeed.
void noteLength(ByteMap& lengths, std::size_t length) { addByte(lengths, std::uint8_t(std::min<std::size_t>(length, 255))); }
bool hasLength(const ByteMap& lengths, std::size_t length)
{
    const auto clipped = std::uint8_t(std::min<std::size_t>(length, 255));
    return (lengths[clipped >> 6] >> (clipped & 63)) & 1u;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c >= invalidByteBase) {
        out.push_back(char(c - invalidByteBase));
    } else if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::size_t utf8Length(char32_t c)
{
    if (c >= invalidByteBase || c < 0x80) return 1;
    if (c < 0x800) return 2;
    return c < 0x10000 ? 3 : 4;
}

std::string foldedBytes(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = char(foldByte(static_cast<unsigned char>(c)));
    return out;
}

// The set a token stands for when it matches ASCII characters only (then the character it
// matches is exactly one byte of the name).
const MaskCharSet* asciiSet(const MaskToken& token, const Mask& mask)
{
    if (token.kind != MaskToken::Kind::Set || token.negated) return nullptr;
    const MaskCharSet& set = mask.sets()[token.set];
    return set.asciiOnly ? &set : nullptr;
}

// A 64-bit sketch of which bytes a text holds: one bit per letter and digit and per
// punctuation mark common in file names, the remaining bytes sharing the other bits. A mask
// can only match a name whose sketch holds all bits of the mask's literals, which one AND
// tells for every candidate.
struct SignatureBits {
    std::uint64_t bit[256];
    constexpr SignatureBits() : bit()
    {
        constexpr char own[] = ".-_~#$() +,;=@[]{}!&'";  // after a-z (0..25) and 0-9 (26..35)
        constexpr unsigned ownCount = sizeof own - 1;
        for (unsigned b = 0; b < 256; ++b) {
            unsigned position = 36 + ownCount + b % (64 - 36 - ownCount);
            if (b >= 'a' && b <= 'z') position = b - 'a';
            else if (b >= 'A' && b <= 'Z') position = b - 'A';
            else if (b >= '0' && b <= '9') position = 26 + (b - '0');
            else
                for (unsigned k = 0; own[k]; ++k)
                    if (b == static_cast<unsigned char>(own[k])) position = 36 + k;
            bit[b] = std::uint64_t(1) << position;
        }
    }
};
constexpr SignatureBits signatureBits;

bool contains(const unsigned char* haystack, std::size_t length, const char* needle, std::size_t needleLength)
{
    if (needleLength == 1) return std::memchr(haystack, needle[0], length) != nullptr;
    return ::memmem(haystack, length, needle, needleLength) != nullptr;
}

} // namespace

// One compiled mask inside a group, with the filters that must all pass for it to match.
struct MaskSet::Entry {
    enum class Kind : std::uint8_t {
        Bytes,     // P*S, P* or *S: decided by the length, prefix and suffix checks
        Contains,  // *L*: decided by finding L
        General,   // confirmed by the full match
    };
    std::uint32_t index = 0;  // position in the list
    std::uint32_t mask = 0;   // into m_masks
    Kind kind = Kind::General;
    std::uint32_t minBytes = 0;
    std::uint32_t maxBytes = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t prefixOffset = 0, prefixLength = 0;
    std::uint32_t suffixOffset = 0, suffixLength = 0;
    std::uint32_t innerOffset = 0, innerLength = 0;
    ByteMap required{};  // bytes the mask's literals put into every name it matches
};

// What a bucket holds for each of its masks: the cheapest filters, inline, and the rest of
// the entry elsewhere.
struct MaskSet::Candidate {
    std::uint64_t signature = 0;  // of the mask's literals
    std::uint32_t minBytes = 0;
    std::uint32_t maxBytes = 0;
    std::uint32_t index = 0;  // position in the list
    std::uint32_t entry = 0;  // into m_entries
};

// The name being tested, folded once, decoded only when a full match needs it.
struct MaskSet::NameView {
    std::string_view original;
    const unsigned char* folded = nullptr;
    std::size_t length = 0;
    std::uint64_t signature = 0;
    ByteMap present{};  // the bytes the folded name holds, computed when first needed
    bool havePresent = false;
    char32_t* chars = nullptr;
    std::size_t charCount = 0;
    bool decoded = false;
};

// Open-addressing hash table from short byte strings to a number.
class MaskSet::LiteralTable {
public:
    LiteralTable() : m_slots(16) {}

    bool empty() const { return m_count == 0; }

    const std::uint32_t* find(const unsigned char* key, std::size_t length) const
    {
        const std::uint64_t hash = hashOf(key, length);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (!slot.used) return nullptr;
            if (slot.hash == hash && slot.length == length &&
                std::memcmp(m_keys.data() + slot.offset, key, length) == 0)
                return &slot.value;
        }
    }

    // The value stored under `key`, inserting `value` when the key is new.
    std::uint32_t findOrInsert(std::string_view key, std::uint32_t value)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
        if (const std::uint32_t* existing = find(bytes, key.size())) return *existing;
        if ((m_count + 1) * 2 > m_slots.size()) grow();
        place({hashOf(bytes, key.size()), std::uint32_t(m_keys.size()), std::uint32_t(key.size()), value, true});
        m_keys.append(key);
        ++m_count;
        return value;
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t offset = 0, length = 0, value = 0;
        bool used = false;
    };

    // Eight bytes a step: names are short, and a byte-serial hash would be most of the
    // cost of a lookup.
    static std::uint64_t hashOf(const unsigned char* key, std::size_t length)
    {
        constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
        std::uint64_t hash = length * multiplier;
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, key + i, 8);
            hash = (hash ^ chunk) * multiplier;
            hash ^= hash >> 32;
        }
        std::uint64_t tail = 0;
        if (i < length) {
            // The last eight bytes, overlapping the chunks already taken, or the whole key.
            if (length >= 8) std::memcpy(&tail, key + length - 8, 8);
            else std::memcpy(&tail, key, length);
        }
        hash = (hash ^ tail) * multiplier;
        return hash ^ (hash >> 29);
    }

    void place(const Slot& slot)
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].used) i = (i + 1) & mask;
        m_slots[i] = slot;
    }

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (const Slot& slot : old)
            if (slot.used) place(slot);
    }

    std::vector<Slot> m_slots;
    std::string m_keys;
    std::size_t m_count = 0;
};

MaskSet::MaskSet() : m_exact(std::make_unique<LiteralTable>()), m_extensions(std::make_unique<LiteralTable>()) {}
MaskSet::MaskSet(MaskSet&&) noexcept = default;
MaskSet& MaskSet::operator=(MaskSet&&) noexcept = default;
MaskSet::~MaskSet() = default;

MaskSet::MaskSet(std::span<const std::string> masks) : MaskSet()
{
    m_size = masks.size();
    for (std::size_t i = 0; i < masks.size(); ++i) {
        Mask mask(masks[i]);
        if (!mask.valid()) {
            // No list-order search ever tries a mask behind this one without trying this
            // one first, so the rest of the list cannot change any outcome.
            m_invalid = std::make_unique<Mask>(std::move(mask));
            break;
        }
        add(i, mask);
        m_masks.push_back(std::move(mask));
    }
}

void MaskSet::add(std::size_t index, const Mask& mask)
{
    using Kind = MaskToken::Kind;
    const auto& tokens = mask.tokens();
    const auto isChar = [](const MaskToken& t) { return t.kind == Kind::Char; };
    const auto position = std::uint32_t(index);

    if (std::all_of(tokens.begin(), tokens.end(), isChar)) {
        const std::string key = foldedBytes(mask.text());
        m_exact->findOrInsert(key, position);
        noteLength(m_exactLengths, key.size());
        return;
    }
    if (std::all_of(tokens.begin(), tokens.end(), [](const MaskToken& t) { return t.kind == Kind::Star; })) {
        m_matchAll = std::min(m_matchAll, index);
        return;
    }

    Entry entry;
    entry.index = position;
    entry.mask = std::uint32_t(m_masks.size());
    bool hasStar = false;
    std::uint64_t maxBytes = 0;
    for (const MaskToken& token : tokens) {
        switch (token.kind) {
        case Kind::Star: hasStar = true; break;
        case Kind::Char:
            entry.minBytes += std::uint32_t(utf8Length(token.ch));
            maxBytes += utf8Length(token.ch);
            break;
        case Kind::AnyChar:
            entry.minBytes += 1;
            maxBytes += 4;
            break;
        case Kind::Set:
            entry.minBytes += 1;
            maxBytes += (mask.sets()[token.set].asciiOnly && !token.negated) ? 1 : 4;
            break;
        }
    }
    if (!hasStar) entry.maxBytes = std::uint32_t(maxBytes);

    if (std::any_of(tokens.begin(), tokens.end(),
                    [&](const MaskToken& t) { return isChar(t) && t.ch >= invalidByteBase; })) {
        // Byte filters would not stand for character tests here (see the header).
        Candidate candidate;
        candidate.minBytes = entry.minBytes;
        candidate.maxBytes = entry.maxBytes;
        candidate.index = entry.index;
        candidate.entry = std::uint32_t(m_entries.size());
        m_entries.push_back(entry);
        m_floating.push_back(candidate);
        return;
    }

    // The literal runs: the one the mask starts with, the one it ends with, the longest
    // in between.
    const std::size_t count = tokens.size();
    std::size_t prefixEnd = 0;
    while (prefixEnd < count && isChar(tokens[prefixEnd])) ++prefixEnd;
    std::size_t suffixBegin = count;
    while (suffixBegin > prefixEnd && isChar(tokens[suffixBegin - 1])) --suffixBegin;
    std::size_t innerBegin = 0, innerEnd = 0;
    for (std::size_t i = prefixEnd; i < suffixBegin;) {
        if (!isChar(tokens[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < suffixBegin && isChar(tokens[j])) ++j;
        if (j - i > innerEnd - innerBegin) {
            innerBegin = i;
            innerEnd = j;
        }
        i = j;
    }
    auto literal = [&](std::size_t from, std::size_t to, std::uint32_t& offset, std::uint32_t& length) {
        const std::size_t start = m_pool.size();
        for (std::size_t i = from; i < to; ++i) appendUtf8(m_pool, tokens[i].ch);
        offset = std::uint32_t(start);
        length = std::uint32_t(m_pool.size() - start);
    };
    literal(0, prefixEnd, entry.prefixOffset, entry.prefixLength);
    literal(suffixBegin, count, entry.suffixOffset, entry.suffixLength);
    literal(innerBegin, innerEnd, entry.innerOffset, entry.innerLength);
    std::string all;
    for (const MaskToken& token : tokens)
        if (isChar(token)) appendUtf8(all, token.ch);
    for (char c : all) addByte(entry.required, static_cast<unsigned char>(c));

    const auto isStar = [&](std::size_t i) { return tokens[i].kind == Kind::Star; };
    const bool oneStar = suffixBegin == prefixEnd + 1 && isStar(prefixEnd);  // P*S
    const bool starLiteralStar = prefixEnd == 0 && suffixBegin == count && count >= 3 && isStar(0) &&
                                 isStar(count - 1) && innerBegin == 1 && innerEnd == count - 1;
    if (oneStar) entry.kind = Entry::Kind::Bytes;
    else if (starLiteralStar) entry.kind = Entry::Kind::Contains;

    Candidate candidate;
    for (char c : all) candidate.signature |= signatureBits.bit[static_cast<unsigned char>(c)];
    candidate.minBytes = entry.minBytes;
    candidate.maxBytes = entry.maxBytes;
    candidate.index = entry.index;
    candidate.entry = std::uint32_t(m_entries.size());
    m_entries.push_back(entry);
    place(candidate, tokens, mask);
}

void MaskSet::place(const Candidate& candidate, const std::vector<MaskToken>& tokens, const Mask& mask)
{
    const Entry& entry = m_entries[candidate.entry];
    // Buckets keep list order because masks are added in it.
    const std::string_view suffix(m_pool.data() + entry.suffixOffset, entry.suffixLength);
    const std::string_view prefix(m_pool.data() + entry.prefixOffset, entry.prefixLength);
    if (const auto dot = suffix.rfind('.'); dot != std::string_view::npos) {
        const std::string extension(suffix.substr(dot + 1));
        noteLength(m_extensionLengths, extension.size());
        const std::uint32_t bucket =
            m_extensions->findOrInsert(extension, std::uint32_t(m_extensionBuckets.size()));
        if (bucket == m_extensionBuckets.size()) m_extensionBuckets.emplace_back();
        m_extensionBuckets[bucket].push_back(candidate);
    } else if (!suffix.empty()) {
        m_lastByte[static_cast<unsigned char>(suffix.back())].push_back(candidate);
    } else if (const MaskCharSet* set = asciiSet(tokens.back(), mask)) {
        // Ends in a set of ASCII characters (`*.log.[0-9]`): only a name whose last byte
        // is one of them can match, so the mask goes into each of those buckets.
        for (unsigned byte = 0; byte < 128; ++byte)
            if (set->contains(byte)) m_lastByte[byte].push_back(candidate);
    } else if (!prefix.empty()) {
        m_firstByte[static_cast<unsigned char>(prefix.front())].push_back(candidate);
    } else if (const MaskCharSet* first = asciiSet(tokens.front(), mask)) {
        for (unsigned byte = 0; byte < 128; ++byte)
            if (first->contains(byte)) m_firstByte[byte].push_back(candidate);
    } else {
        m_floating.push_back(candidate);
    }
}

bool MaskSet::check(const Entry& entry, NameView& name) const
{
    if (!name.havePresent) {
        // In four registers: or-ing into an array indexed by the byte would chain every
        // byte of the name through memory.
        std::uint64_t p0 = 0, p1 = 0, p2 = 0, p3 = 0;
        for (std::size_t i = 0; i < name.length; ++i) {
            const unsigned byte = name.folded[i];
            const std::uint64_t bit = std::uint64_t(1) << (byte & 63);
            const unsigned word = byte >> 6;
            p0 |= word == 0 ? bit : 0;
            p1 |= word == 1 ? bit : 0;
            p2 |= word == 2 ? bit : 0;
            p3 |= word == 3 ? bit : 0;
        }
        name.present = {p0, p1, p2, p3};
        name.havePresent = true;
    }
    for (std::size_t w = 0; w < 4; ++w)
        if ((entry.required[w] & name.present[w]) != entry.required[w]) return false;
    const char* pool = m_pool.data();
    if (entry.prefixLength != 0 && std::memcmp(name.folded, pool + entry.prefixOffset, entry.prefixLength) != 0)
        return false;
    if (entry.suffixLength != 0 &&
        std::memcmp(name.folded + name.length - entry.suffixLength, pool + entry.suffixOffset, entry.suffixLength) != 0)
        return false;
    if (entry.kind == Entry::Kind::Bytes) return true;
    if (entry.innerLength != 0 &&
        !contains(name.folded, name.length, pool + entry.innerOffset, entry.innerLength))
        return false;
    if (entry.kind == Entry::Kind::Contains) return true;
    if (!name.decoded) {
        name.charCount = decodeFolded(name.original, name.chars);
        name.decoded = true;
    }
    return m_masks[entry.mask].matchesFolded({name.chars, name.charCount});
}

template <bool wantFirst>
std::size_t MaskSet::search(std::string_view text) const
{
    std::size_t best = m_matchAll;
    if (!wantFirst && best != npos) return best;

    // Names are at most 255 bytes on Linux; anything longer takes the heap.
    constexpr std::size_t stackLength = 256;
    unsigned char foldedStack[stackLength];
    char32_t charsStack[stackLength];
    std::vector<unsigned char> foldedHeap;
    std::vector<char32_t> charsHeap;
    NameView name;
    name.original = text;
    name.length = text.size();
    name.folded = foldedStack;
    name.chars = charsStack;
    if (text.size() > stackLength) {
        foldedHeap.resize(text.size());
        charsHeap.resize(text.size());
        name.folded = foldedHeap.data();
        name.chars = charsHeap.data();
    }
    auto* folded = const_cast<unsigned char*>(name.folded);
    std::uint64_t signature = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = foldByte(static_cast<unsigned char>(text[i]));
        folded[i] = byte;
        signature |= signatureBits.bit[byte];
    }
    name.signature = signature;

    // Entries of a bucket are in list order: the first that passes is the bucket's answer,
    // and none at or after the best position so far can improve it.
    auto scan = [&](const std::vector<Candidate>& bucket) {
        for (const Candidate& candidate : bucket) {
            if (candidate.index >= best) return false;
            if (name.length < candidate.minBytes || name.length > candidate.maxBytes ||
                (candidate.signature & ~name.signature) != 0)
                continue;
            if (check(m_entries[candidate.entry], name)) {
                best = candidate.index;
                return true;
            }
        }
        return false;
    };

    if (hasLength(m_exactLengths, name.length)) {
        if (const std::uint32_t* position = m_exact->find(folded, name.length)) {
            best = std::min<std::size_t>(best, *position);
            if (!wantFirst) return best;
        }
    }
    if (!m_extensionBuckets.empty() && name.length != 0) {
        if (const void* dot = ::memrchr(folded, '.', name.length)) {
            const auto* extension = static_cast<const unsigned char*>(dot) + 1;
            const std::size_t length = name.length - std::size_t(extension - folded);
            if (!hasLength(m_extensionLengths, length)) {
                // no extension of that length is indexed
            } else if (const std::uint32_t* bucket = m_extensions->find(extension, length))
                if (scan(m_extensionBuckets[*bucket]) && !wantFirst) return best;
        }
    }
    if (name.length != 0) {
        if (scan(m_lastByte[folded[name.length - 1]]) && !wantFirst) return best;
        if (scan(m_firstByte[folded[0]]) && !wantFirst) return best;
    }
    scan(m_floating);
    return best;
}

MaskSet::Outcome MaskSet::test(std::string_view name) const
{
    if (m_size == 0) return Outcome::NoMatch;
    if (search<false>(name) != npos) return Outcome::Match;
    return m_invalid ? Outcome::Invalid : Outcome::NoMatch;
}

std::size_t MaskSet::firstMatch(std::string_view name) const { return search<true>(name); }

void MaskSet::raiseInvalid() const { m_invalid->raiseInvalid(); }

} // namespace mtl
