// A mask list compiled once for a whole walk, so that "does any mask of the list cover this
// name" costs a few lookups instead of a wildcard match per mask. The answer is always the
// one of trying the masks in list order and stopping at the first match, the malformed
// masks included: the first malformed mask of the list is reached by exactly the names that
// no mask before it covers, and for those it raises its error.
//
// How the list is compiled
// ------------------------
// Masks from the first malformed one on are never tried by a list-order search that can
// succeed before them, so only the masks before it are compiled; the malformed one is kept to
// raise its error. Each of those masks is read into its tokens and put in one group by what
// it requires of a name, its literal parts already lower-cased (A-Z only):
//
//   * matches every name (`*`, `*?`, `**`): only the first such mask's position is kept;
//   exact      no wildcard at all (`index.dat`): a hash table from the folded name to the
//              first position that requires it, one lookup per name;
//   extension  the mask ends in a literal run holding a dot (`*.tmp`, `hs_err_pid*.log`,
//              `*-debug-[0-9].log`): a name can only match if its own text after its last dot
//              equals the run's text after its last dot, so these masks sit in buckets of a
//              hash table keyed by that extension and a name looks at one bucket;
//   last byte  the mask ends in a literal run without a dot (`*~`, `*-journal`, `#*#`):
//              256 buckets by the run's last byte;
//              A mask that ends in a set of ASCII characters instead (`*.log.[0-9]`) sits
//              in the bucket of every byte of the set;
//   first byte the mask starts with a literal run and ends in a wildcard or set (`.nfs*`,
//              `core.[0-9][0-9][0-9]`): 256 buckets by its first byte, and again a mask
//              starting with a set of ASCII characters (`[0-9A-F]...`) in each of its buckets;
//   floating   everything else (`*.*`, `*.~*`, `*(1)*.*`), checked for every name but behind
//              cheap filters.
//
// Every indexed mask carries filters that are necessary conditions for a match, cheapest
// first: the name's byte length against the least and most bytes the mask can cover and a
// 64-bit sketch of the bytes its literals require against the name's sketch (both kept in
// the bucket itself, so that passing over a candidate costs a few instructions), then the
// required bytes exactly against a 256-bit map of the name's bytes, the literal prefix and
// suffix compared as bytes, the longest inner literal searched as bytes.
// A mask made only of literals and stars in the simple shapes (`P*`, `*S`, `P*S`, `*L*`) is
// decided by these byte checks alone; any other mask that passes them is confirmed by the
// full wildcard match on the decoded name. Buckets hold their masks in list order, so the
// first mask of a bucket that covers the name is that bucket's earliest one.
//
// Byte comparisons stand for character comparisons only because a valid UTF-8 literal never
// starts with a continuation byte: where its bytes appear in a name they are exactly its
// characters. Masks with a literal byte outside valid UTF-8 therefore skip the byte filters
// and go to the floating group, where only the length bounds and the full match apply.
#pragma once

#include "core/scan/masks.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

class MaskSet {
public:
    enum class Outcome { NoMatch, Match, Invalid };
    static constexpr std::size_t npos = std::size_t(-1);

    MaskSet();  // the empty list: no name matches
    explicit MaskSet(std::span<const std::string> masks);
    MaskSet(MaskSet&&) noexcept;
    MaskSet& operator=(MaskSet&&) noexcept;
    ~MaskSet();

    // The outcome of trying the masks in list order: Match at the first mask that covers
    // the name, Invalid when the first malformed mask is reached before any match.
    Outcome test(std::string_view name) const;
    // Position in the list of the first mask that covers the name, npos when none before
    // the first malformed mask does.
    std::size_t firstMatch(std::string_view name) const;
    // Throws the error of the first malformed mask (only after test() answered Invalid).
    [[noreturn]] void raiseInvalid() const;

    std::size_t size() const { return m_size; }
    bool hasInvalid() const { return m_invalid != nullptr; }

private:
    struct Entry;
    struct Candidate;
    struct NameView;
    class LiteralTable;

    template <bool wantFirst>
    std::size_t search(std::string_view name) const;
    bool check(const Entry& entry, NameView& name) const;
    void add(std::size_t index, const Mask& mask);
    void place(const Candidate& candidate, const std::vector<MaskToken>& tokens, const Mask& mask);

    std::size_t m_size = 0;
    std::size_t m_matchAll = npos;
    std::vector<Mask> m_masks;  // the compiled masks, for their full match
    std::unique_ptr<Mask> m_invalid;
    std::string m_pool;         // folded literal bytes the entries point into
    std::unique_ptr<LiteralTable> m_exact;      // folded name -> first position
    std::unique_ptr<LiteralTable> m_extensions; // folded extension -> bucket
    std::array<std::uint64_t, 4> m_exactLengths{};      // key lengths of m_exact
    std::array<std::uint64_t, 4> m_extensionLengths{};  // key lengths of m_extensions
    std::vector<Entry> m_entries;
    std::vector<std::vector<Candidate>> m_extensionBuckets;
    std::array<std::vector<Candidate>, 256> m_lastByte;
    std::array<std::vector<Candidate>, 256> m_firstByte;
    std::vector<Candidate> m_floating;
};

} // namespace mtl
