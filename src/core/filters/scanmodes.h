// The nine scan modes. A mode is a mask list file in Filtry; choosing one loads its masks
// and sets the progress gauge's tick interval from their number.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mtl {

enum class ModeWarning { None, W1, W2, W3, W4 };

struct ScanMode {
    std::string_view key;         // stored setting name, "Bezpieczny"
    std::string_view radioButton; // "RadioButton4"
    std::string_view caption;     // "Bezpieczny"
    std::string_view file;        // "filtr_a1.dat"
    std::string_view editorText;  // shown by the mask editor, "Bezpieczny"
    ModeWarning warning;
};

// In the order in which start-up reads the stored mode values.
const std::array<ScanMode, 9>& scanModes();
const ScanMode* findScanMode(std::string_view key);
const ScanMode* findScanModeByRadio(std::string_view radioButton);

struct WarningText {
    std::string_view title;
    std::string_view text;
};
// Title and text of a mode's warning message (warning icon, OK).
WarningText warningText(ModeWarning warning);

// The gauge's tick interval text for N masks: N followed by "000" below 100, by "00" from 100.
std::string progressIntervalText(std::size_t maskCount);

} // namespace mtl
