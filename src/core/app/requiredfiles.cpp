#include "core/app/requiredfiles.h"

#include <system_error>

namespace mtl {

const std::array<std::string_view, 14>& requiredDataFiles()
{
    static const std::array<std::string_view, 14> files = {
        "sygn.dll",         "filtr_user.dat",     "filtr_a1.dat",          "filtr_a2.dat",
        "filtr_a3.dat",     "filtr_exp-a1.dat",   "filtr_exp-a2.dat",      "filtr_exp-a3.dat",
        "filtr_pornware.dat", "filtr_spyware.dat", "filtr_ignoralplik.dat", "filtr_ignoraltyp.dat",
        "filtr_opisy.dat",  "filtr_descript.dat",
    };
    return files;
}

std::optional<std::string_view> firstMissingDataFile(const std::filesystem::path& filtersFolder)
{
    for (const auto name : requiredDataFiles()) {
        std::error_code ec;
        if (!std::filesystem::exists(filtersFolder / name, ec)) return name;
    }
    return std::nullopt;
}

} // namespace mtl
