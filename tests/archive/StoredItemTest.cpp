// The stored item: its forms, streams, files and the errors of bad data blocks.
#include "ArchiveTestSupport.h"

#include "platform/Error.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace quorvex::test {
namespace {

// Inflates a whole zlib stream with zlib's one-shot call, independently of the
// archive's own code.
Bytes Uncompress(const Bytes& block, std::size_t expected)
{
    Bytes out(expected + 16);
    uLongf length = out.size();
    EXPECT_EQ(uncompress(out.data(), &length, block.data(), block.size()), Z_OK);
    out.resize(length);
    return out;
}

// A zlib stream of arbitrary bytes, for data blocks that frame badly.
Bytes Compress(const Bytes& raw)
{
    Bytes out(compressBound(raw.size()));
    uLongf length = out.size();
    EXPECT_EQ(compress2(out.data(), &length, raw.data(), raw.size(), 9), Z_OK);
    out.resize(length);
    return out;
}

Bytes Framed(const Bytes& file)
{
    Bytes framed = U32(static_cast<std::uint32_t>(file.size()));
    framed.insert(framed.end(), file.begin(), file.end());
    return framed;
}

// A storage whose only item is compressed at clMax with exactly this block.
void LoadBlock(TmxStorage& storage, const Bytes& block, std::int32_t fileSize = 0)
{
    storage.LoadFromStoredForm(FormOf({Encode({"clMax", "mxItem", "item.bin", fileSize, block})}));
}

struct LevelCase {
    TCompressionLevel level;
    std::uint8_t flags;  // the zlib header's second byte
};

class CompressionLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(CompressionLevels, DataBlockIsOneZlibStreamOfTheFramedFile)
{
    const Bytes file = SampleFile(5000);
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, file, GetParam().level);

    const Bytes block = DataBlock(storage, 0);
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block[0], 0x78);
    EXPECT_EQ(block[1], GetParam().flags);
    EXPECT_EQ(Uncompress(block, file.size() + 4), Framed(file));
    EXPECT_EQ(item.FileSize(), 5000);
    EXPECT_EQ(item.Size(), static_cast<std::int32_t>(block.size()));
    EXPECT_LT(item.Size(), item.FileSize());
    EXPECT_EQ(Saved(item), file);
    EXPECT_EQ(item.Compression(), GetParam().level) << "writing out never changes the form";
}

INSTANTIATE_TEST_SUITE_P(Archive, CompressionLevels,
                         ::testing::Values(LevelCase{TCompressionLevel::clFastest, 0x01},
                                           LevelCase{TCompressionLevel::clDefault, 0x9C},
                                           LevelCase{TCompressionLevel::clMax, 0xDA}),
                         [](const auto& info) { return "level" + std::to_string(static_cast<int>(info.param.level)); });

TEST(StoredItem, VerbatimItemHoldsTheFileAsItIs)
{
    const Bytes file = ToBytes("plain bytes");
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, file, TCompressionLevel::clNone);
    EXPECT_EQ(DataBlock(storage, 0), file);
    EXPECT_EQ(item.FileSize(), 11);
    EXPECT_EQ(item.Ratio(), "100.00%");
    EXPECT_EQ(Saved(item), file);
}

TEST(StoredItem, EmptyThemeWritesExactly86BytesFromA90ByteInflatedBlock)
{
    const Bytes theme = ToBytes("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
                                "<theme app=\"Y!Msgr\" version=\"2\" >\r\n\r\n</theme>");
    ASSERT_EQ(theme.size(), 86u);
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, theme, TCompressionLevel::clMax);

    const Bytes inflated = Uncompress(DataBlock(storage, 0), 200);
    ASSERT_EQ(inflated.size(), 90u);
    EXPECT_EQ(Bytes(inflated.begin(), inflated.begin() + 4), (Bytes{86, 0, 0, 0}));

    TempFolder folder;
    item.SaveToFile(folder / "Contact.xml");
    EXPECT_EQ(ReadFile(folder / "Contact.xml"), theme);
}

TEST(StoredItem, GetAsStreamInflatesOnceAndLendsTheSameStreamAtPositionZero)
{
    const Bytes file = SampleFile(3000);
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, file, TCompressionLevel::clMax);
    int inflations = 0;
    item.OnBeforeSave = [&](TmxStoredItem&, TStream&) { ++inflations; };

    TMemoryStream& first = item.GetAsStream();
    EXPECT_EQ(first.Position(), 0u);
    EXPECT_EQ(Content(first), file);
    first.Seek(1234);  // a borrower reads on

    TMemoryStream& second = item.GetAsStream();
    EXPECT_EQ(&second, &first);
    EXPECT_EQ(second.Position(), 0u);
    EXPECT_EQ(inflations, 1);
    EXPECT_EQ(item.Compression(), TCompressionLevel::clNone);
    EXPECT_EQ(item.Size(), item.FileSize());
}

TEST(StoredItem, SaveToFileWritesTheSameBytesBeforeAndAfterGetAsStream)
{
    const Bytes file = SampleFile(10000);
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, file, TCompressionLevel::clMax);
    TempFolder folder;

    item.SaveToFile(folder / "before.xml");
    EXPECT_EQ(item.Compression(), TCompressionLevel::clMax);
    item.GetAsStream().Seek(500);
    item.SaveToFile(folder / "after.xml");

    EXPECT_EQ(ReadFile(folder / "before.xml"), file);
    EXPECT_EQ(ReadFile(folder / "after.xml"), file);
}

TEST(StoredItem, ChangingCompressionReencodesAndKeepsTheFile)
{
    const Bytes file = SampleFile(4000);
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, file, TCompressionLevel::clMax);
    TMemoryStream& lent = item.GetAsStream();

    item.SetCompression(TCompressionLevel::clFastest);
    EXPECT_EQ(DataBlock(storage, 0)[1], 0x01);
    EXPECT_EQ(&item.GetAsStream(), &lent) << "the lent stream lives as long as the item";
    EXPECT_EQ(Content(lent), file);

    TmxStoredItem& empty = storage.StoredItems().Add();
    empty.SetCompression(TCompressionLevel::clMax);
    EXPECT_EQ(empty.Size(), 0) << "an empty item stays empty";
    EXPECT_TRUE(Saved(empty).empty());
}

TEST(StoredItem, LoadFromStreamCallsItsHooksInOrderAndTakesTheWholeSource)
{
    TmxStorage storage;
    TmxStoredItem& item = storage.StoredItems().Add();
    std::vector<std::string> calls;
    item.OnBeforeLoad = [&](TmxStoredItem&, TStream& source) {
        calls.push_back("before load at " + std::to_string(source.Position()));
    };
    item.OnAfterLoad = [&](TmxStoredItem& self) { calls.push_back("after load " + std::to_string(self.FileSize())); };
    item.OnBeforeSave = [&](TmxStoredItem&, TStream&) { calls.push_back("before save"); };
    item.OnAfterSave = [&](TmxStoredItem&) { calls.push_back("after save"); };

    TMemoryStream source;
    source.Assign(ToBytes("0123456789"));
    source.Seek(7);  // the whole source is taken, wherever it stands
    item.LoadFromStream(&source);
    EXPECT_EQ(Saved(item), ToBytes("0123456789"));
    EXPECT_EQ(calls, (std::vector<std::string>{"before load at 0", "after load 10", "before save", "after save"}));

    calls.clear();
    item.SaveToStream(nullptr);
    TMemoryStream empty;
    item.LoadFromStream(&empty);
    EXPECT_TRUE(calls.empty()) << "no target, or an empty source, calls no hook";
    EXPECT_EQ(item.Size(), 0);
    EXPECT_EQ(item.FileSize(), 0);
}

TEST(StoredItem, VerbatimLoadTracksTheNewFileSize)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, ToBytes("four"), TCompressionLevel::clNone);
    TMemoryStream longer;
    longer.Assign(ToBytes("nine char"));
    item.LoadFromStream(&longer);
    EXPECT_EQ(item.FileSize(), 9);
    EXPECT_EQ(item.Ratio(), "100.00%");
}

TEST(StoredItem, SaveToStreamWritesAtTheTargetsPosition)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, ToBytes("abc"), TCompressionLevel::clDefault);
    TMemoryStream target;
    target.Assign(ToBytes("0123456"));
    target.Seek(2);
    item.SaveToStream(&target);
    EXPECT_EQ(Content(target), ToBytes("01abc56"));
}

TEST(StoredItem, ZeroLengthFieldWritesNothingWhateverFollows)
{
    Bytes raw = U32(0);
    const Bytes junk = ToBytes("bytes after the file that must not be written");
    raw.insert(raw.end(), junk.begin(), junk.end());
    TmxStorage storage;
    LoadBlock(storage, Compress(raw));
    EXPECT_TRUE(Saved(storage.ItemByIndex(0)).empty());
}

TEST(StoredItem, BytesInflatedAfterTheFileAreNotRead)
{
    Bytes raw = Framed(ToBytes("file"));
    raw.push_back('!');
    TmxStorage storage;
    LoadBlock(storage, Compress(raw), 4);
    EXPECT_EQ(Saved(storage.ItemByIndex(0)), ToBytes("file"));
}

TEST(StoredItem, FileNameAndFileSizeAreSetOnlyByTheStoredFormOrALoad)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, ToBytes("hello"), TCompressionLevel::clMax);
    item.SetFileName("other.txt");
    item.SetFileSize(1);
    EXPECT_EQ(item.FileName(), "");
    EXPECT_EQ(item.FileSize(), 5);

    TempFolder folder;
    WriteFile(folder / "greeting.txt", ToBytes("hello, world"));
    item.LoadFromFile(folder / "greeting.txt");
    EXPECT_EQ(item.FileName(), "greeting.txt");
    EXPECT_EQ(item.FileSize(), 12);
    EXPECT_EQ(Saved(item), ToBytes("hello, world"));
    EXPECT_EQ(item.Compression(), TCompressionLevel::clMax);

    try {
        item.LoadFromFile(folder / "missing.txt");
        FAIL() << "a missing file loads";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + (folder / "missing.txt") + "\". No such file or directory");
    }
    EXPECT_EQ(Saved(item), ToBytes("hello, world")) << "a failed load keeps the content";
}

TEST(StoredItem, LoadFromFileNamesTheItemAfterTheLastSeparatorOfEitherKind)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "skins");
    WriteFile(folder / "skins/Friend List.xml", ToBytes("<skin/>"));
    const std::string paths[] = {
        folder / "skins/Friend List.xml",
        folder.Path().string() + "\\skins\\Friend List.xml",
        folder.Path().string() + "/skins\\Friend List.xml",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        TmxStorage storage;
        TmxStoredItem& item = storage.StoredItems().Add();
        item.LoadFromFile(path);
        EXPECT_EQ(item.FileName(), "Friend List.xml");
        EXPECT_EQ(Saved(item), ToBytes("<skin/>"));
    }
}

TEST(StoredItem, SaveToFileIntoAMissingFolderFailsAndCreatesNothing)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, ToBytes("skin"), TCompressionLevel::clMax);
    TempFolder folder;
    const std::string path = folder / "skins/Default/IMWindow/IMWindow.xml";
    try {
        item.SaveToFile(path);
        FAIL() << "wrote into a missing folder";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_TRUE(folder.Names().empty());
}

TEST(StoredItem, SaveToFileReplacesAnExistingFileAndKeepsItsPermissions)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, ToBytes("new"), TCompressionLevel::clMax);
    TempFolder folder;
    const std::string path = folder / "FriendList.xml";
    WriteFile(path, SampleFile(1000));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                           | std::filesystem::perms::group_read);

    item.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), ToBytes("new"));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                  | std::filesystem::perms::group_read);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"FriendList.xml"});
}

// Data blocks that do not inflate to a framed file.
struct BadBlock {
    const char* what;
    Bytes block;
};

std::vector<BadBlock> BadBlocks()
{
    const Bytes good = Compress(Framed(SampleFile(2000)));
    Bytes flipped = good;
    for (std::size_t i = 2; i < flipped.size() - 4; i += 7)
        flipped[i] ^= 0x5A;
    Bytes badHeader = good;
    badHeader[1] ^= 0xFF;
    Bytes shortFile = U32(100);  // claims 100 bytes, holds 20
    const Bytes twenty = ToBytes("only twenty bytes...");
    shortFile.insert(shortFile.end(), twenty.begin(), twenty.end());
    return {
        {"not zlib at all", ToBytes("this is no zlib stream")},
        {"header only", Bytes(good.begin(), good.begin() + 2)},
        {"cut in half", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
        {"corrupt deflate data", flipped},
        {"bad header check", badHeader},
        {"shorter than its length field", Compress(shortFile)},
        {"negative length", Compress(U32(0xFFFFFFF0u))},
        {"no length field", Compress(ToBytes("ab"))},
    };
}

TEST(StoredItem, DataBlocksThatDoNotInflateAreErrorsThatLoseNothing)
{
    for (const BadBlock& bad : BadBlocks()) {
        SCOPED_TRACE(bad.what);
        TmxStorage storage;
        LoadBlock(storage, bad.block, 2000);
        TmxStoredItem& item = storage.ItemByIndex(0);

        TMemoryStream out;
        EXPECT_THROW(item.SaveToStream(&out), Error);

        TempFolder folder;
        const std::string path = folder / "IMWindow.xml";
        WriteFile(path, ToBytes("the stock file"));
        EXPECT_THROW(item.SaveToFile(path), Error);
        EXPECT_EQ(ReadFile(path), ToBytes("the stock file")) << "a failed write leaves the old file";
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"IMWindow.xml"}) << "no temporary file is left";

        EXPECT_THROW(item.GetAsStream(), Error);
        EXPECT_EQ(item.Compression(), TCompressionLevel::clMax) << "the item keeps its form";
        EXPECT_EQ(DataBlock(storage, 0), bad.block);
    }
}

TEST(StoredItem, InflateErrorsSayWhatWentWrong)
{
    TmxStorage storage;
    LoadBlock(storage, ToBytes("this is no zlib stream"));
    try {
        Saved(storage.ItemByIndex(0));
        FAIL() << "garbage inflated";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Stored item data does not inflate: incorrect header check");
    }
}

}  // namespace
}  // namespace quorvex::test
