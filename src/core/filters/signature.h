// The database signature file Filtry/sygn.dll: which database set is installed, when it was
// published, how many filters it holds, and the key that marks it as genuine.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mtl {

inline constexpr std::string_view kDatabaseKey =
    "QW7XRB2TMN5VCP3HZDK8GEF-LS2YTA9NBQ4MXC7PRKWEVAB-31";

struct Signature {
    std::string code;     // [vers] code
    std::string mode;     // [vers] mode
    std::string date;     // [sygn] data
    std::string key;      // [sygn] key
    std::string used;     // [base] sygn_uz
    std::string all;      // [base] sygn_ws
    std::string spyware;  // [base] sygn_sp
    std::string pornware; // [base] sygn_po
};

Signature readSignature(const std::filesystem::path& file);
// The whole text, letter case significant.
bool signatureKeyMatches(std::string_view key);

// The age line for an age of N whole days.
std::string ageLineText(long long days);

} // namespace mtl
