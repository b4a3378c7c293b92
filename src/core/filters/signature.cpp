#include "core/filters/signature.h"

#include "core/platform/profile.h"

namespace mtl {

Signature readSignature(const std::filesystem::path& file)
{
    const ProfileFile profile = ProfileFile::load(file);
    Signature s;
    s.code = profile.readString("vers", "code");
    s.mode = profile.readString("vers", "mode");
    s.date = profile.readString("sygn", "data");
    s.key = profile.readString("sygn", "key");
    s.used = profile.readString("base", "sygn_uz");
    s.all = profile.readString("base", "sygn_ws");
    s.spyware = profile.readString("base", "sygn_sp");
    s.pornware = profile.readString("base", "sygn_po");
    return s;
}

bool signatureKeyMatches(std::string_view key) { return key == kDatabaseKey; }

std::string ageLineText(long long days)
{
    if (days == 0) return ">> Aktualna:             opublikowana dzisiaj";
    if (days == 1) return ">> Aktualna:             opublikowana wczoraj";
    if (days <= 30) return ">> Aktualna:             opublikowana " + std::to_string(days) + " dni temu";
    return ">> Nie aktualna !:      opublikowana " + std::to_string(days) + " dni temu";
}

} // namespace mtl
