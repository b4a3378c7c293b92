// Reader of the descriptions list file Filtry/filtr_opisy.dat: a list view stored in the
// form library's binary object format ("TPF0", class and object name, properties, the items
// in the binary property "Items.Data").
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

struct DescriptionItem {
    int imageIndex = -1;                  // category icon, -1 for none
    int stateIndex = -1;
    int overlayIndex = -1;
    std::string caption;                  // "Typ pliku"
    std::vector<std::string> subItems;    // the first is the description
    std::vector<int> subItemImages;       // one per sub-item when the file carries them
};

struct DescriptionsList {
    std::string className;   // "TListView"
    std::string objectName;  // "ListView"
    std::vector<DescriptionItem> items;
};

// Throws FileError when the file cannot be opened, and Error (naming the offset) when the
// bytes are not a valid object stream; the reader never reads past the data.
DescriptionsList readDescriptionsFile(const std::filesystem::path& file);
DescriptionsList parseDescriptionsStream(std::string_view bytes);

// The writer used by the build tool that makes the shipped file from its readable source.
std::string writeDescriptionsStream(const DescriptionsList& list);

} // namespace mtl
