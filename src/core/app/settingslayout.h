// The stored settings' layout: the values of the key `Ustawienia` in the order the settings
// save writes them, with the design state of the control behind each. A new account starts
// from these design values.
#pragma once

#include <array>
#include <string_view>

namespace mtl {

struct SettingValue {
    std::string_view name;         // "Kompresja"
    std::string_view control;      // "rgCompressionLevel"
    std::string_view designValue;  // "0"
};

const std::array<SettingValue, 29>& settingsValues();

// Key names below the program's key.
inline constexpr std::string_view kKeySkanowan = "Skanowan";
inline constexpr std::string_view kKeyUsunieto = "Usunieto";
inline constexpr std::string_view kKeyMonitor = "Monitor";
inline constexpr std::string_view kKeyUstawienia = "Ustawienia";

inline constexpr std::string_view kDefaultIgnoreThreshold = "2570000";

} // namespace mtl
