#include "core/common/countertext.h"

#include "core/common/errors.h"

#include <charconv>

namespace mtl {
namespace {

[[noreturn]] void notANumber(std::string_view text)
{
    throw ConversionError("'" + std::string(text) + "' nie jest poprawną liczbą całkowitą");
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

} // namespace

std::string filesText(std::int64_t count) { return std::to_string(count) + " plików"; }
std::string kbText(std::int64_t kilobytes) { return std::to_string(kilobytes) + " KB"; }

std::int64_t parseInteger(std::string_view text)
{
    std::string_view digits = trimBlanks(text);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) notANumber(text);
    return value;
}

std::int64_t parseCounter(std::string_view text)
{
    const std::string_view trimmed = trimBlanks(text);
    for (std::string_view suffix : {std::string_view(" plików"), std::string_view(" KB")}) {
        if (trimmed.size() > suffix.size() && trimmed.ends_with(suffix)) {
            try {
                return parseInteger(trimmed.substr(0, trimmed.size() - suffix.size()));
            } catch (const ConversionError&) {
                notANumber(text);
            }
        }
    }
    try {
        return parseInteger(trimmed);
    } catch (const ConversionError&) {
        notANumber(text);
    }
}

} // namespace mtl
