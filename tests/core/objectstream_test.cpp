// The descriptions list object stream: writer/reader round trip, hand-built streams with and
// without the sub-item image table, skipping of every value type, rejection of malformed
// streams, and the shipped file.
#include "core/common/errors.h"
#include "core/filters/objectstream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using mtl::DescriptionItem;
using mtl::DescriptionsList;
using mtl::parseDescriptionsStream;
using mtl::writeDescriptionsStream;

namespace {

// Little-endian byte builder for hand-made streams.
struct Bytes {
    std::string s;
    Bytes& u8(unsigned v) { s += char(v & 0xFF); return *this; }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& str(std::string_view t) { u8(unsigned(t.size())); s += t; return *this; }
    Bytes& raw(std::string_view t) { s += t; return *this; }
};

struct HandItem {
    int image;
    std::string caption;
    std::vector<std::string> subs;  // single-byte text as stored
    std::vector<int> subImages;
};

// The contents of an Items.Data value, built by hand.
std::string itemsData(const std::vector<HandItem>& items, bool withImages)
{
    Bytes records;
    for (const HandItem& item : items) {
        records.i32(item.image).i32(-1).i32(-1).u32(std::uint32_t(item.subs.size())).u32(0xDEADBEEF);
        records.str(item.caption);
        for (const std::string& sub : item.subs) records.str(sub);
    }
    Bytes block;
    block.u32(std::uint32_t(8 + records.s.size())).u32(std::uint32_t(items.size())).raw(records.s);
    if (withImages) {
        for (const HandItem& item : items) {
            for (int image : item.subImages) block.u16(unsigned(image));
        }
    }
    return block.s;
}

constexpr std::size_t kPropertiesOffset = 4 + 10 + 9;  // "TPF0", class name, object name

// A whole stream: header, `before` (ready-made properties), Items.Data, `after`, the ends.
std::string streamWith(std::string_view data, std::string_view before = {}, std::string_view after = {})
{
    Bytes b;
    b.raw("TPF0").str("TListView").str("ListView").raw(before);
    b.str("Items.Data").u8(10).u32(std::uint32_t(data.size())).raw(data);
    b.raw(after).u8(0).u8(0);
    return b.s;
}

// Two items in Windows-1250: "Zażółć" = Za\xBF\xF3\xB3\xE6.
const std::vector<HandItem> kHandItems = {
    {3, "*.bak", {"Kopia zapasowa", "drugi"}, {5, -1}},
    {-1, "Za\xBF\xF3\xB3\xE6", {"g\xEA\x9Cl\xB9 ja\x9F\xF1"}, {7}},
    {7, "*.reg", {}, {}},
};

void expectHandItems(const DescriptionsList& list)
{
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_EQ(list.className, "TListView");
    EXPECT_EQ(list.objectName, "ListView");
    EXPECT_EQ(list.items[0].imageIndex, 3);
    EXPECT_EQ(list.items[0].caption, "*.bak");
    EXPECT_EQ(list.items[0].subItems, (std::vector<std::string>{"Kopia zapasowa", "drugi"}));
    EXPECT_EQ(list.items[1].imageIndex, -1);
    EXPECT_EQ(list.items[1].caption, "Zażółć");
    EXPECT_EQ(list.items[1].subItems, std::vector<std::string>{"gęślą jaźń"});
    EXPECT_EQ(list.items[2].imageIndex, 7);
    EXPECT_EQ(list.items[2].caption, "*.reg");
    EXPECT_TRUE(list.items[2].subItems.empty());
}

DescriptionItem makeItem(int image, std::string caption, std::vector<std::string> subs, std::vector<int> subImages = {})
{
    DescriptionItem item;
    item.imageIndex = image;
    item.caption = std::move(caption);
    item.subItems = std::move(subs);
    item.subItemImages = std::move(subImages);
    return item;
}

std::string errorText(std::string_view bytes)
{
    try {
        parseDescriptionsStream(bytes);
    } catch (const mtl::Error& e) {
        return e.what();
    }
    return {};
}

TEST(ObjectStreamRoundTrip, PolishTextImagesAndSubItemsSurvive)
{
    DescriptionsList list;
    list.items = {
        makeItem(0, "*.tmp", {"Plik tymczasowy – „różne” aplikacje…"}),
        makeItem(-1, "ZAŻÓŁĆ GĘŚLĄ JAŹŃ", {"zażółć gęślą jaźń", "€ drugi"}),
        makeItem(7, "*.reg", {}),
        makeItem(4, std::string(255, 'x'), {std::string(255, 'y')}),
    };
    const std::string bytes = writeDescriptionsStream(list);
    const DescriptionsList back = parseDescriptionsStream(bytes);
    EXPECT_EQ(back.className, "TListView");
    EXPECT_EQ(back.objectName, "ListView");
    ASSERT_EQ(back.items.size(), list.items.size());
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.items[i].imageIndex, list.items[i].imageIndex);
        EXPECT_EQ(back.items[i].caption, list.items[i].caption);
        EXPECT_EQ(back.items[i].subItems, list.items[i].subItems);
        EXPECT_TRUE(back.items[i].subItemImages.empty());
    }
    // The text is stored as Windows-1250, one byte a letter, as the Windows program reads it.
    EXPECT_NE(bytes.find("\x11za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"), std::string::npos);
    EXPECT_EQ(bytes.find("ż"), std::string::npos);
    EXPECT_NE(bytes.find("vsReport"), std::string::npos);
    EXPECT_NE(bytes.find("ImageFormaty"), std::string::npos);
}

TEST(ObjectStreamRoundTrip, SubItemImagesAreWrittenForEverySubItemWhenAnyItemHasThem)
{
    DescriptionsList list;
    list.items = {
        makeItem(1, "a", {"x", "y"}, {2, -1}),
        makeItem(2, "b", {"z"}),
    };
    const DescriptionsList back = parseDescriptionsStream(writeDescriptionsStream(list));
    ASSERT_EQ(back.items.size(), 2u);
    EXPECT_EQ(back.items[0].subItemImages, (std::vector<int>{2, -1}));
    EXPECT_EQ(back.items[1].subItemImages, std::vector<int>{-1});
}

TEST(ObjectStreamRoundTrip, EmptyListGivesZeroItems)
{
    EXPECT_TRUE(parseDescriptionsStream(writeDescriptionsStream({})).items.empty());
}

struct WriteErrorCase {
    const char* name;
    std::string caption;
    std::string description;
};

class ObjectStreamWriteError : public testing::TestWithParam<WriteErrorCase> {};

TEST_P(ObjectStreamWriteError, IsRefused)
{
    DescriptionsList list;
    list.items = {makeItem(0, GetParam().caption, {GetParam().description})};
    EXPECT_THROW(writeDescriptionsStream(list), mtl::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ObjectStreamWriteError,
    testing::Values(
        WriteErrorCase{"CaptionOver255Bytes", std::string(256, 'a'), "opis"},
        // 128 Polish letters are 256 bytes in UTF-8 but 128 in Windows-1250: the limit is on
        // the stored bytes, so this one must pass; 256 of them must not.
        WriteErrorCase{"SubItemOver255StoredBytes", "*.x", [] {
                           std::string s;
                           for (int i = 0; i < 256; ++i) s += "ą";
                           return s;
                       }()},
        WriteErrorCase{"LetterOutsideCodePage", "*.x", "日本"},
        WriteErrorCase{"CyrillicLetter", "ж", "opis"},
        WriteErrorCase{"InvalidUtf8", "*.x", "\xC3("},
        WriteErrorCase{"OverlongUtf8", "*.x", "\xC0\xAF"},
        // Windows-1250 bytes of "PÓŁ" (D3 A3) form a valid UTF-8 sequence, so the file would
        // read back as another text.
        WriteErrorCase{"ReadsBackAsUtf8", "PÓŁ", "opis"}),
    [](const testing::TestParamInfo<WriteErrorCase>& param) { return std::string(param.param.name); });

TEST(ObjectStreamWrite, StoredLengthLimitCountsWindows1250Bytes)
{
    std::string letters;
    for (int i = 0; i < 255; ++i) letters += "ą";
    DescriptionsList list;
    list.items = {makeItem(0, "*.x", {letters})};
    EXPECT_EQ(parseDescriptionsStream(writeDescriptionsStream(list)).items.at(0).subItems.at(0), letters);
}

TEST(ObjectStreamRead, OptionalSubItemImagesGiveTheSameItems)
{
    const DescriptionsList without = parseDescriptionsStream(streamWith(itemsData(kHandItems, false)));
    const DescriptionsList with = parseDescriptionsStream(streamWith(itemsData(kHandItems, true)));
    expectHandItems(without);
    expectHandItems(with);
    for (const DescriptionItem& item : without.items) EXPECT_TRUE(item.subItemImages.empty());
    EXPECT_EQ(with.items[0].subItemImages, (std::vector<int>{5, -1}));
    EXPECT_EQ(with.items[1].subItemImages, std::vector<int>{7});
    EXPECT_TRUE(with.items[2].subItemImages.empty());
}

TEST(ObjectStreamRead, Utf8TextIsKept)
{
    const DescriptionsList list =
        parseDescriptionsStream(streamWith(itemsData({{2, "*.żółw", {"opis ą"}, {}}}, false)));
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].caption, "*.żółw");
    EXPECT_EQ(list.items[0].subItems.at(0), "opis ą");
}

TEST(ObjectStreamRead, NoItemsPropertyGivesEmptyList)
{
    const std::string bytes = Bytes().raw("TPF0").str("TListView").str("ListView").str("Left").u8(2).u8(8).u8(0).u8(0).s;
    EXPECT_TRUE(parseDescriptionsStream(bytes).items.empty());
}

TEST(ObjectStreamRead, RepeatedItemsPropertyKeepsTheLast)
{
    const std::string first = itemsData({{1, "stary", {"s"}, {}}}, false);
    const std::string bytes = streamWith(itemsData(kHandItems, false),
                                         Bytes().str("Items.Data").u8(10).u32(std::uint32_t(first.size())).raw(first).s);
    expectHandItems(parseDescriptionsStream(bytes));
}

struct SkipCase {
    const char* name;
    std::string value;  // type byte and payload
};

class ObjectStreamSkip : public testing::TestWithParam<SkipCase> {};

// Each value stands before and after Items.Data; a wrong length for any type would misread
// the items or the end of the stream.
TEST_P(ObjectStreamSkip, OtherPropertiesAreSkipped)
{
    const std::string property = Bytes().str("Prop").raw(GetParam().value).s;
    expectHandItems(parseDescriptionsStream(streamWith(itemsData(kHandItems, true), property, property)));
}

std::string wide(std::u16string_view t)
{
    Bytes b;
    b.u32(std::uint32_t(t.size()));
    for (char16_t c : t) b.u16(c);
    return b.s;
}

INSTANTIATE_TEST_SUITE_P(
    Types, ObjectStreamSkip,
    testing::Values(
        SkipCase{"Null", Bytes().u8(0).s},
        SkipCase{"Int8", Bytes().u8(2).u8(0xFF).s},
        SkipCase{"Int16", Bytes().u8(3).u16(0x0100).s},
        SkipCase{"Int32", Bytes().u8(4).u32(0x0A000000).s},
        SkipCase{"Extended", Bytes().u8(5).raw(std::string(9, '\0')).u8(0x40).s},
        // A string that holds what looks like the items property must stay a string.
        SkipCase{"String", Bytes().u8(6).str("\x0AItems.Data").s},
        SkipCase{"EmptyString", Bytes().u8(6).u8(0).s},
        SkipCase{"Ident", Bytes().u8(7).str("clWindow").s},
        SkipCase{"False", Bytes().u8(8).s},
        SkipCase{"True", Bytes().u8(9).s},
        SkipCase{"Binary", Bytes().u8(10).u32(3).raw(std::string("\0\0\0", 3)).s},
        SkipCase{"Set", Bytes().u8(11).str("akTop").str("akLeft").u8(0).s},
        SkipCase{"EmptySet", Bytes().u8(11).u8(0).s},
        SkipCase{"LString", Bytes().u8(12).u32(300).raw(std::string(300, 'L')).s},
        SkipCase{"Nil", Bytes().u8(13).s},
        SkipCase{"Collection",
                 Bytes().u8(14)
                     .u8(1).str("Caption").u8(6).str("Typ pliku").str("Width").u8(3).u16(150).u8(0)
                     .u8(1).str("Width").u8(3).u16(565).u8(0)
                     .u8(0).s},
        SkipCase{"CollectionWithOrderValues",
                 Bytes().u8(14).u8(2).u8(0).u8(1).str("Tag").u8(2).u8(1).u8(0)
                     .u8(4).u32(1).u8(1).str("Tag").u8(2).u8(2).u8(0).u8(0).s},
        SkipCase{"CollectionItemWithoutListMarker", Bytes().u8(14).str("Width").u8(2).u8(9).u8(0).u8(0).s},
        SkipCase{"EmptyCollection", Bytes().u8(14).u8(0).s},
        SkipCase{"Single", Bytes().u8(15).u32(0x3F800000).s},
        SkipCase{"Currency", Bytes().u8(16).raw(std::string(8, '\x01')).s},
        SkipCase{"Date", Bytes().u8(17).raw(std::string(8, '\x02')).s},
        SkipCase{"WString", Bytes().u8(18).raw(wide(u"zażółć")).s},
        SkipCase{"Int64", Bytes().u8(19).raw(std::string(8, '\0')).s},
        SkipCase{"Utf8String", Bytes().u8(20).u32(4).raw("ąę").s},
        SkipCase{"Double", Bytes().u8(21).raw(std::string(8, '\0')).s},
        SkipCase{"List", Bytes().u8(1).u8(6).str("a").u8(1).u8(2).u8(5).u8(0).u8(9).u8(0).s}),
    [](const testing::TestParamInfo<SkipCase>& param) { return std::string(param.param.name); });

TEST(ObjectStreamRead, ChildObjectsAndHeaderPrefixAreSkipped)
{
    const std::string data = itemsData(kHandItems, false);
    Bytes b;
    // An inherited object with a child position: prefix 0xF3, then an int8 position.
    b.raw("TPF0").u8(0xF3).u8(2).u8(4).str("TListView").str("ListView");
    b.str("Items.Data").u8(10).u32(std::uint32_t(data.size())).raw(data).u8(0);
    b.str("TPopupMenu").str("Menu").str("Tag").u8(2).u8(1).u8(0);
    b.str("TMenuItem").str("Item").u8(0).u8(0);  // grandchild
    b.u8(0);                                      // end of the child's children
    b.u8(0);                                      // end of the list view's children
    expectHandItems(parseDescriptionsStream(b.s));
}

// Offsets of the hand-built malformed streams below.
constexpr std::size_t kItemsValueOffset = kPropertiesOffset + 11;  // after the name "Items.Data"
constexpr std::size_t kDataOffset = kItemsValueOffset + 5;          // after type and length

struct MalformedCase {
    const char* name;
    std::string bytes;
    std::size_t offset;  // the offset the error must name
};

std::string withCount(std::int32_t count)
{
    std::string data = itemsData(kHandItems, false);
    Bytes c;
    c.i32(count);
    data.replace(4, 4, c.s);
    return streamWith(data);
}

std::string withBlockSize(std::uint32_t size, bool withImages)
{
    std::string data = itemsData(kHandItems, withImages);
    Bytes c;
    c.u32(size);
    data.replace(0, 4, c.s);
    return streamWith(data);
}

const std::size_t kRecordsSize = itemsData(kHandItems, false).size();

class ObjectStreamMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(ObjectStreamMalformed, ThrowsNamingTheOffset)
{
    const std::string text = errorText(GetParam().bytes);
    ASSERT_FALSE(text.empty()) << "no error";
    EXPECT_NE(text.find("bajcie " + std::to_string(GetParam().offset) + ":"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ObjectStreamMalformed,
    testing::Values(
        MalformedCase{"Empty", "", 0},
        MalformedCase{"BadSignature", "TPF1" + streamWith(itemsData(kHandItems, false)).substr(4), 0},
        MalformedCase{"TextFile", "Typ pliku\tOpis\r\n", 0},
        MalformedCase{"ClassNamePastEnd", Bytes().raw("TPF0").u8(20).raw("TList").s, 4},
        MalformedCase{"PropertyNamePastEnd", Bytes().raw("TPF0").str("TListView").str("ListView").u8(9).raw("Items").s,
                      kPropertiesOffset},
        MalformedCase{"UnknownValueType", Bytes().raw("TPF0").str("TListView").str("ListView").str("X").u8(0x63).u8(0).u8(0).s,
                      kPropertiesOffset + 2},
        MalformedCase{"StringPastEnd", Bytes().raw("TPF0").str("TListView").str("ListView").str("X").u8(6).u8(200).raw("abc").s,
                      kPropertiesOffset + 3},
        MalformedCase{"BinaryLengthPastEnd",
                      Bytes().raw("TPF0").str("TListView").str("ListView").str("X").u8(10).u32(0xFFFFFFF0).raw("abc").s,
                      kPropertiesOffset + 3},
        MalformedCase{"WStringLengthPastEnd",
                      Bytes().raw("TPF0").str("TListView").str("ListView").str("X").u8(18).u32(0x80000001).raw("ab").s,
                      kPropertiesOffset + 3},
        MalformedCase{"ItemsDataLengthPastEnd",
                      Bytes().raw("TPF0").str("TListView").str("ListView").str("Items.Data").u8(10).u32(1000).u32(8).u32(0).s,
                      kItemsValueOffset + 1},
        MalformedCase{"ItemsDataNotBinary", streamWith({}).replace(kItemsValueOffset, 1, "\x06"), kItemsValueOffset},
        MalformedCase{"CountLargerThanData", withCount(4), kDataOffset + kRecordsSize},
        MalformedCase{"HugeCount", withCount(0x7FFFFFFF), kDataOffset + 4},
        MalformedCase{"NegativeCount", withCount(-1), kDataOffset + 4},
        MalformedCase{"CountSmallerThanData", withCount(2), kDataOffset},
        // The last caption ("*.reg") no longer fits: its length byte is named.
        MalformedCase{"BlockSizeTooSmall", withBlockSize(std::uint32_t(kRecordsSize - 1), false),
                      kDataOffset + kRecordsSize - 6},
        MalformedCase{"BlockSizeTooLarge", withBlockSize(std::uint32_t(kRecordsSize + 2), true), kDataOffset},
        MalformedCase{"BlockSizePastData", withBlockSize(std::uint32_t(kRecordsSize + 1), false), kDataOffset},
        MalformedCase{"BlockSizeBelowHeader", withBlockSize(4, false), kDataOffset},
        MalformedCase{"ImageTableShort", streamWith(itemsData(kHandItems, true).substr(0, kRecordsSize + 5)),
                      kDataOffset + kRecordsSize},
        MalformedCase{"ImageTableLong", streamWith(itemsData(kHandItems, true) + "xx"), kDataOffset + kRecordsSize},
        MalformedCase{"SubItemCountPastData",
                      streamWith(Bytes().u32(8 + 21).u32(1).i32(0).i32(-1).i32(-1).u32(1000).u32(0).u8(0).s),
                      kDataOffset + 8 + 12},
        MalformedCase{"MissingEnds", streamWith(itemsData(kHandItems, false)).substr(0, kDataOffset + kRecordsSize),
                      kDataOffset + kRecordsSize},
        MalformedCase{"DeepNesting",
                      Bytes().raw("TPF0").str("TListView").str("ListView").str("X").raw(std::string(100000, '\x01')).s,
                      kPropertiesOffset + 2 + 64}),
    [](const testing::TestParamInfo<MalformedCase>& param) { return std::string(param.param.name); });

TEST(ObjectStreamTruncated, EveryTruncationThrows)
{
    const std::string props = Bytes().str("Columns").u8(14).u8(1).str("Width").u8(3).u16(150).u8(0).u8(0)
                                  .str("Name").u8(18).raw(wide(u"ab")).s;
    const std::string full = streamWith(itemsData(kHandItems, true), props);
    ASSERT_NO_THROW(parseDescriptionsStream(full));
    for (std::size_t length = 0; length < full.size(); ++length) {
        // A copy of exactly that length, so a read past it is a read past the buffer.
        const std::string part = full.substr(0, length);
        EXPECT_THROW(parseDescriptionsStream(part), mtl::Error) << "length " << length;
    }
}

class ObjectStreamFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path()
            / ("mtl_objectstream_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    void write(const std::filesystem::path& file, std::string_view bytes)
    {
        std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::filesystem::path m_dir;
};

TEST_F(ObjectStreamFile, ReadsTheFile)
{
    write(m_dir / "filtr_opisy.dat", streamWith(itemsData(kHandItems, true)));
    expectHandItems(mtl::readDescriptionsFile(m_dir / "filtr_opisy.dat"));
}

TEST_F(ObjectStreamFile, MissingFileIsFileErrorNamingTheFile)
{
    const std::filesystem::path file = m_dir / "brak_opisy.dat";
    try {
        mtl::readDescriptionsFile(file);
        FAIL() << "no error";
    } catch (const mtl::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
}

TEST_F(ObjectStreamFile, DamagedFileNamesFileAndOffset)
{
    const std::filesystem::path file = m_dir / "filtr_opisy.dat";
    write(file, withCount(4));
    try {
        mtl::readDescriptionsFile(file);
        FAIL() << "no error";
    } catch (const mtl::FileError& e) {
        FAIL() << "a damaged file is not a file error: " << e.what();
    } catch (const mtl::Error& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find(file.string()), std::string::npos) << text;
        EXPECT_NE(text.find("bajcie "), std::string::npos) << text;
    }
}

// The rows of the readable source, parsed independently of the generator.
std::vector<std::vector<std::string>> sourceRows()
{
    std::ifstream in(MIOTLARZ_SOURCE_DIR "/data/Filtry/filtr_opisy.txt", std::ios::binary);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream ss(line);
        for (std::string field; std::getline(ss, field, '\t');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

TEST(ObjectStreamShipped, FileHoldsTheSourceItems)
{
    const DescriptionsList list = mtl::readDescriptionsFile(MIOTLARZ_PROGRAM_DIR "/Filtry/filtr_opisy.dat");
    EXPECT_EQ(list.className, "TListView");
    EXPECT_EQ(list.objectName, "ListView");
    const auto rows = sourceRows();
    if (rows.empty()) GTEST_SKIP() << "the descriptions source holds no items yet";
    ASSERT_EQ(list.items.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(rows[i].size(), 3u);
        EXPECT_EQ(std::to_string(list.items[i].imageIndex), rows[i][0]);
        EXPECT_EQ(list.items[i].caption, rows[i][1]);
        EXPECT_EQ(list.items[i].subItems, std::vector<std::string>{rows[i][2]});
    }
}

} // namespace
