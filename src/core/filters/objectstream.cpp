#include "core/filters/objectstream.h"

#include "core/common/errors.h"
#include "core/common/fileio.h"
#include "core/common/textcodec.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace mtl {
namespace {

// Type bytes of the form library's object stream values.
enum ValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUtf8String = 20,
    vaDouble = 21,
};

constexpr std::string_view kSignature = "TPF0";
constexpr std::string_view kItemsProperty = "Items.Data";

// Lists, collections and child objects nest; a hostile file of nothing but list openers must
// end in an error, not in a stack overflow.
constexpr int kMaxNesting = 64;

// Image, state and overlay index, sub-item count, data word, and at least the caption's
// length byte.
constexpr std::size_t kMinItemRecord = 5 * 4 + 1;

[[noreturn]] void failAt(std::size_t offset, std::string_view reason)
{
    std::string text = "Uszkodzony strumień obiektu w bajcie ";
    text += std::to_string(offset);
    text += ": ";
    text += reason;
    text += '.';
    throw Error(text);
}

// A bounds-checked cursor over part of the stream. `base` is the offset of the part's first
// byte in the whole stream, so every error names the offset a reader of the file would look at.
class Cursor {
public:
    Cursor(std::string_view bytes, std::size_t base) : m_bytes(bytes), m_base(base) {}

    std::size_t offset() const { return m_base + m_pos; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }

    [[noreturn]] void fail(std::string_view reason) const { failAt(offset(), reason); }

    std::uint8_t peek(std::string_view what) const
    {
        if (remaining() < 1) truncated(what);
        return static_cast<std::uint8_t>(m_bytes[m_pos]);
    }

    std::string_view take(std::size_t count, std::string_view what)
    {
        if (count > remaining()) truncated(what);
        const std::string_view part = m_bytes.substr(m_pos, count);
        m_pos += count;
        return part;
    }

    std::uint8_t u8(std::string_view what) { return static_cast<std::uint8_t>(take(1, what)[0]); }

    std::uint16_t u16(std::string_view what)
    {
        const std::string_view b = take(2, what);
        return static_cast<std::uint16_t>(byteAt(b, 0) | (byteAt(b, 1) << 8));
    }

    std::uint32_t u32(std::string_view what)
    {
        const std::string_view b = take(4, what);
        return std::uint32_t(byteAt(b, 0)) | (std::uint32_t(byteAt(b, 1)) << 8)
            | (std::uint32_t(byteAt(b, 2)) << 16) | (std::uint32_t(byteAt(b, 3)) << 24);
    }

    std::int32_t i32(std::string_view what) { return static_cast<std::int32_t>(u32(what)); }

    // One length byte, then that many bytes.
    std::string_view shortString(std::string_view what)
    {
        const std::size_t start = offset();
        const std::uint8_t length = u8(what);
        if (length > remaining()) lengthPastEnd(start, length);
        return take(length, what);
    }

    // A 32-bit length counting units of `unit` bytes, then the units.
    std::string_view longBlock(std::size_t unit, std::string_view what)
    {
        const std::size_t start = offset();
        const std::uint32_t count = u32(what);
        if (count > remaining() / unit) lengthPastEnd(start, count);
        return take(std::size_t(count) * unit, what);
    }

private:
    static unsigned byteAt(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }

    [[noreturn]] void truncated(std::string_view what) const
    {
        fail("dane kończą się przed końcem pola (" + std::string(what) + ")");
    }

    [[noreturn]] void lengthPastEnd(std::size_t start, std::uint64_t length) const
    {
        failAt(start, "długość " + std::to_string(length) + " wykracza poza koniec danych");
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_base;
};

void skipValue(Cursor& in, int depth);

void checkNesting(const Cursor& in, int depth)
{
    if (depth > kMaxNesting) in.fail("zbyt głębokie zagnieżdżenie wartości");
}

// Properties until the zero byte that ends them, each a name and a value.
void skipProperties(Cursor& in, int depth)
{
    while (in.peek("nazwa właściwości") != 0) {
        in.shortString("nazwa właściwości");
        skipValue(in, depth);
    }
    in.u8("koniec listy właściwości");
}

void skipCollection(Cursor& in, int depth)
{
    while (in.peek("element kolekcji") != vaNull) {
        // An item may open with its order value.
        const std::uint8_t first = in.peek("element kolekcji");
        if (first == vaInt8 || first == vaInt16 || first == vaInt32) skipValue(in, depth);
        // The form library opens every item's properties with a list marker; an item without
        // one is read as starting with its properties.
        if (in.peek("element kolekcji") == vaList) in.u8("początek elementu kolekcji");
        skipProperties(in, depth);
    }
    in.u8("koniec kolekcji");
}

void skipValue(Cursor& in, int depth)
{
    checkNesting(in, depth);
    const std::size_t start = in.offset();
    const std::uint8_t type = in.u8("typ wartości");
    switch (type) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        return;
    case vaList:
        while (in.peek("element listy") != vaNull) skipValue(in, depth + 1);
        in.u8("koniec listy");
        return;
    case vaInt8: in.take(1, "liczba"); return;
    case vaInt16: in.take(2, "liczba"); return;
    case vaInt32: in.take(4, "liczba"); return;
    case vaSingle: in.take(4, "liczba"); return;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble:
        in.take(8, "liczba");
        return;
    case vaExtended: in.take(10, "liczba"); return;
    case vaString:
    case vaIdent:
        in.shortString("tekst");
        return;
    case vaBinary:
    case vaLString:
    case vaUtf8String:
        in.longBlock(1, "dane");
        return;
    case vaWString: in.longBlock(2, "tekst"); return;
    case vaSet:
        while (!in.shortString("element zbioru").empty()) {}
        return;
    case vaCollection: skipCollection(in, depth + 1); return;
    default:
        failAt(start, "nieznany typ wartości " + std::to_string(type));
    }
}

// The object header may carry the form library's prefix byte (0xF0 | flags); with the
// child-position flag an integer value follows it.
void readPrefix(Cursor& in, int depth)
{
    const std::uint8_t first = in.peek("nazwa klasy");
    if ((first & 0xF0) != 0xF0) return;
    in.u8("prefiks obiektu");
    constexpr std::uint8_t childPosFlag = 0x02;
    if (first & childPosFlag) {
        const std::uint8_t type = in.peek("pozycja obiektu");
        if (type != vaInt8 && type != vaInt16 && type != vaInt32) in.fail("pozycja obiektu nie jest liczbą");
        skipValue(in, depth);
    }
}

void skipObject(Cursor& in, int depth)
{
    checkNesting(in, depth);
    readPrefix(in, depth);
    in.shortString("nazwa klasy");
    in.shortString("nazwa obiektu");
    skipProperties(in, depth);
    while (in.peek("obiekt podrzędny") != 0) skipObject(in, depth + 1);
    in.u8("koniec listy obiektów podrzędnych");
}

// The items block of a list view: header (block size, count), the records, then optionally the
// sub-items' image indexes.
std::vector<DescriptionItem> parseItems(std::string_view data, std::size_t base)
{
    Cursor header(data, base);
    const std::uint32_t blockSize = header.u32("rozmiar bloku elementów");
    if (blockSize < 8 || blockSize > data.size()) {
        failAt(base, "rozmiar bloku elementów " + std::to_string(blockSize)
                         + " nie zgadza się z długością danych " + std::to_string(data.size()));
    }
    // Records must end inside the block: a record running past it would eat the image table.
    Cursor in(data.substr(0, blockSize), base);
    in.take(4, "rozmiar bloku elementów");
    const std::size_t countOffset = in.offset();
    const std::int32_t count = in.i32("liczba elementów");
    if (count < 0) failAt(countOffset, "ujemna liczba elementów " + std::to_string(count));
    if (std::size_t(count) > in.remaining() / kMinItemRecord) {
        failAt(countOffset, "liczba elementów " + std::to_string(count) + " przekracza dane");
    }

    std::vector<DescriptionItem> items(static_cast<std::size_t>(count));
    for (DescriptionItem& item : items) {
        item.imageIndex = in.i32("indeks ikony");
        item.stateIndex = in.i32("indeks stanu");
        item.overlayIndex = in.i32("indeks nakładki");
        const std::size_t subCountOffset = in.offset();
        const std::int32_t subCount = in.i32("liczba podelementów");
        if (subCount < 0 || std::size_t(subCount) > in.remaining()) {
            failAt(subCountOffset, "nieprawidłowa liczba podelementów " + std::to_string(subCount));
        }
        in.take(4, "słowo danych");
        item.caption = decodeText(in.shortString("podpis elementu"));
        item.subItems.reserve(static_cast<std::size_t>(subCount));
        for (std::int32_t i = 0; i < subCount; ++i) item.subItems.push_back(decodeText(in.shortString("podelement")));
    }
    if (in.remaining() != 0) {
        failAt(base, "rozmiar bloku elementów " + std::to_string(blockSize) + " nie zgadza się z danymi ("
                         + std::to_string(in.position()) + " bajtów)");
    }

    Cursor images(data.substr(blockSize), base + blockSize);
    if (images.remaining() == 0) return items;
    std::size_t expected = 0;
    for (const DescriptionItem& item : items) expected += item.subItems.size();
    if (images.remaining() != expected * 2) {
        images.fail("tabela ikon podelementów ma " + std::to_string(images.remaining()) + " bajtów zamiast "
                    + std::to_string(expected * 2));
    }
    for (DescriptionItem& item : items) {
        item.subItemImages.reserve(item.subItems.size());
        for (std::size_t i = 0; i < item.subItems.size(); ++i) {
            item.subItemImages.push_back(static_cast<std::int16_t>(images.u16("ikona podelementu")));
        }
    }
    return items;
}

// ---- Writing -------------------------------------------------------------------------------

[[noreturn]] void failText(std::string_view text, std::string_view reason)
{
    throw Error("Nie można zapisać tekstu \"" + std::string(text) + "\" w strumieniu obiektu: "
                + std::string(reason) + '.');
}

std::string codePointName(char32_t cp)
{
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::string hex;
    for (std::uint32_t v = cp; v != 0 || hex.size() < 4; v >>= 4) hex.insert(hex.begin(), digits[v & 0xF]);
    return "U+" + hex;
}

// UTF-8 to Windows-1250. Unlike the report writer's conversion this never substitutes: the
// stored text must read back as the very text the source holds.
std::string toCp1250(std::string_view text)
{
    char32_t missing = 0;
    std::optional<std::string> encoded = utf8ToCp1250Exact(text, missing);
    if (!encoded) {
        if (missing == 0) failText(text, "nieprawidłowy tekst UTF-8");
        failText(text, "znak " + codePointName(missing) + " nie istnieje w Windows-1250");
    }
    std::string& out = *encoded;
    // The reader takes a text that happens to be valid UTF-8 as UTF-8; such a text would come
    // back different, so it is refused here rather than shipped garbled.
    if (decodeText(out) != text) failText(text, "w Windows-1250 zostałby odczytany jako inny tekst");
    return out;
}

void putU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
}

void putShortBytes(std::string& out, std::string_view bytes)
{
    if (bytes.size() > 255) failText(bytes, "tekst jest dłuższy niż 255 bajtów");
    out += char(bytes.size());
    out += bytes;
}

void putShortText(std::string& out, std::string_view text) { putShortBytes(out, toCp1250(text)); }

void putName(std::string& out, std::string_view name) { putShortBytes(out, name); }

// Integers go in the smallest of the three integer types, as the form library writes them.
void putInt(std::string& out, std::int32_t value)
{
    if (value >= -128 && value <= 127) {
        out += char(vaInt8);
        out += char(value & 0xFF);
    } else if (value >= -32768 && value <= 32767) {
        out += char(vaInt16);
        out += char(value & 0xFF);
        out += char((value >> 8) & 0xFF);
    } else {
        out += char(vaInt32);
        putU32(out, static_cast<std::uint32_t>(value));
    }
}

void putIntProperty(std::string& out, std::string_view name, std::int32_t value)
{
    putName(out, name);
    putInt(out, value);
}

void putIdentProperty(std::string& out, std::string_view name, std::string_view ident)
{
    putName(out, name);
    out += char(vaIdent);
    putShortBytes(out, ident);
}

void putBoolProperty(std::string& out, std::string_view name, bool value)
{
    putName(out, name);
    out += char(value ? vaTrue : vaFalse);
}

void putColumns(std::string& out)
{
    struct Column {
        std::string_view caption;
        std::int32_t width;
    };
    constexpr std::array<Column, 2> columns = {{
        {"Typ pliku", 150},
        {"Opis rozszerzenia używanego przez aplikację", 565},
    }};
    putName(out, "Columns");
    out += char(vaCollection);
    for (const Column& column : columns) {
        out += char(vaList);
        putName(out, "Caption");
        out += char(vaString);
        putShortText(out, column.caption);
        putIntProperty(out, "Width", column.width);
        out += char(vaNull);
    }
    out += char(vaNull);
}

std::string itemsBlock(const std::vector<DescriptionItem>& items)
{
    if (items.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        throw Error("Zbyt wiele elementów listy opisów.");
    }
    std::string block(8, '\0');  // size and count, filled in below
    bool withImages = false;
    for (const DescriptionItem& item : items) {
        putU32(block, static_cast<std::uint32_t>(item.imageIndex));
        putU32(block, static_cast<std::uint32_t>(item.stateIndex));
        putU32(block, static_cast<std::uint32_t>(item.overlayIndex));
        putU32(block, static_cast<std::uint32_t>(item.subItems.size()));
        putU32(block, 0);  // data word
        putShortText(block, item.caption);
        for (const std::string& sub : item.subItems) putShortText(block, sub);
        withImages = withImages || !item.subItemImages.empty();
    }
    std::string header;
    putU32(header, static_cast<std::uint32_t>(block.size()));
    putU32(header, static_cast<std::uint32_t>(items.size()));
    block.replace(0, 8, header);
    // The image table is all or nothing: once any item carries sub-item images, every sub-item
    // gets an entry, -1 where its item has none.
    if (withImages) {
        for (const DescriptionItem& item : items) {
            for (std::size_t i = 0; i < item.subItems.size(); ++i) {
                const int image = i < item.subItemImages.size() ? item.subItemImages[i] : -1;
                if (image < -32768 || image > 32767) throw Error("Indeks ikony podelementu poza zakresem.");
                block += char(image & 0xFF);
                block += char((image >> 8) & 0xFF);
            }
        }
    }
    return block;
}

} // namespace

DescriptionsList parseDescriptionsStream(std::string_view bytes)
{
    Cursor in(bytes, 0);
    if (bytes.substr(0, kSignature.size()) != kSignature) in.fail("brak sygnatury \"TPF0\"");
    in.take(kSignature.size(), "sygnatura");

    DescriptionsList list;
    readPrefix(in, 0);
    list.className = decodeText(in.shortString("nazwa klasy"));
    list.objectName = decodeText(in.shortString("nazwa obiektu"));
    while (in.peek("nazwa właściwości") != 0) {
        const std::string_view name = in.shortString("nazwa właściwości");
        if (name != kItemsProperty) {
            skipValue(in, 1);
            continue;
        }
        if (in.peek("typ wartości") != vaBinary) in.fail("właściwość Items.Data nie jest wartością binarną");
        in.u8("typ wartości");
        // The block starts after its 32-bit length.
        const std::size_t dataOffset = in.offset() + 4;
        // Loading replaces the items, so a repeated property leaves the last one's items.
        list.items = parseItems(in.longBlock(1, "Items.Data"), dataOffset);
    }
    in.u8("koniec listy właściwości");
    while (in.peek("obiekt podrzędny") != 0) skipObject(in, 1);
    in.u8("koniec listy obiektów podrzędnych");
    return list;
}

DescriptionsList readDescriptionsFile(const std::filesystem::path& file)
{
    const std::string bytes = readFileBytes(file);
    try {
        return parseDescriptionsStream(bytes);
    } catch (const FileError&) {
        throw;
    } catch (const Error& e) {
        throw Error("Plik \"" + file.string() + "\" nie jest prawidłową listą opisów.\n" + e.what());
    }
}

std::string writeDescriptionsStream(const DescriptionsList& list)
{
    std::string out(kSignature);
    putShortBytes(out, toCp1250(list.className.empty() ? std::string_view("TListView") : list.className));
    putShortBytes(out, toCp1250(list.objectName.empty() ? std::string_view("ListView") : list.objectName));
    putIntProperty(out, "Left", 8);
    putIntProperty(out, "Top", 8);
    putIntProperty(out, "Width", 721);
    putIntProperty(out, "Height", 305);
    putColumns(out);
    putBoolProperty(out, "FlatScrollBars", true);
    putBoolProperty(out, "GridLines", true);
    putBoolProperty(out, "HideSelection", false);

    const std::string block = itemsBlock(list.items);
    putName(out, kItemsProperty);
    out += char(vaBinary);
    putU32(out, static_cast<std::uint32_t>(block.size()));
    out += block;

    putIntProperty(out, "TabOrder", 0);
    putIdentProperty(out, "SmallImages", "ImageFormaty");
    putIdentProperty(out, "StateImages", "ImageFormaty");
    putIdentProperty(out, "ViewStyle", "vsReport");
    out += char(0);  // end of properties
    out += char(0);  // no child objects
    return out;
}

} // namespace mtl
