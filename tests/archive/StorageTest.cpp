// The storage and its collection: names, indexes, totals, the stored form and
// extraction.
#include "ArchiveTestSupport.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::vector<std::string> NamesOf(const TmxStorage& storage)
{
    std::vector<std::string> names;
    for (int i = 0; i < storage.StoredItems().Count(); ++i)
        names.push_back(storage.StoredItems()[i].Name());
    return names;
}

TEST(Storage, NewItemsTakeTheSmallestFreeDefaultNumber)
{
    TmxStorage storage;
    TmxStoredItems& items = storage.StoredItems();
    items.Add();
    items.Add();
    items.Add();
    EXPECT_EQ(NamesOf(storage), (std::vector<std::string>{"mxStoredItem1", "mxStoredItem2", "mxStoredItem3"}));

    items.Delete(1);
    EXPECT_EQ(items.Add().Name(), "mxStoredItem2");

    items[0].SetName("MxStoredItem4");
    EXPECT_EQ(items.Add().Name(), "mxStoredItem1");
    EXPECT_EQ(items.Add().Name(), "mxStoredItem5") << "taken names compare without regard to case";
}

TEST(Storage, RenamingRefusesAnotherItemsNameAndIgnoresACaseChange)
{
    TmxStorage storage;
    TmxStoredItems& items = storage.StoredItems();
    items.Add().SetName("mxMain");
    items.Add().SetName("mxHelp");
    int changes = 0;
    items.OnChange = [&](TmxStoredItem& item) {
        ++changes;
        EXPECT_EQ(item.Name(), "mxManual");
    };

    items[0].SetName("MXMAIN");
    EXPECT_EQ(items[0].Name(), "mxMain");
    EXPECT_EQ(ErrorOf([&] { items[1].SetName("MXMAIN"); }), "Duplicated stored item name");
    EXPECT_EQ(items[1].Name(), "mxHelp");
    EXPECT_EQ(changes, 0);

    items[1].SetName("mxManual");
    EXPECT_EQ(changes, 1);
}

TEST(Storage, AnIndexOutsideTheCollectionIsAnError)
{
    TmxStorage storage;
    storage.StoredItems().Add();
    storage.StoredItems().Add();
    EXPECT_EQ(ErrorOf([&] { storage.StoredItems()[2]; }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { storage.ItemByIndex(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { storage.StoredItems().Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(storage.StoredItems().Count(), 2);
    EXPECT_EQ(storage.ItemByIndex(1).Index(), 1);
}

TEST(Storage, TotalsAndRatios)
{
    TmxStorage storage;
    EXPECT_EQ(storage.Version(), "1.21");
    EXPECT_EQ(storage.Size(), 0);
    EXPECT_EQ(storage.OriginalSize(), 0);
    EXPECT_EQ(storage.Ratio(), "100%");
    EXPECT_EQ(storage.StoredItems().Add().Ratio(), "100%") << "an item with FileSize 0";

    AddItem(storage, Bytes(600, 'a'), TCompressionLevel::clNone);
    AddItem(storage, Bytes(200, 'b'), TCompressionLevel::clNone);
    TmxStoredItem& packed = AddItem(storage, SampleFile(8000), TCompressionLevel::clMax);
    EXPECT_EQ(storage.OriginalSize(), 8800);
    EXPECT_EQ(storage.Size(), 800 + packed.Size());

    char expected[32];
    std::snprintf(expected, sizeof expected, "%.2f%%", packed.Size() * 100.0 / 8000);
    EXPECT_EQ(packed.Ratio(), expected);
}

TEST(Storage, LooksItemsUpByNameAndFileNameWithoutRegardToCase)
{
    TmxStorage storage;
    storage.LoadFromStoredForm(FormOf({Encode({"clMax", "mxMain", "main.jpg", 0, {}}),
                                       Encode({"clMax", "mxHelp", "help.html", 0, {}})}));
    EXPECT_EQ(storage.ItemByName("MXHELP"), &storage.ItemByIndex(1));
    EXPECT_EQ(storage.ItemByFileName("Main.JPG"), &storage.ItemByIndex(0));
    EXPECT_EQ(storage.ItemByName("mxChat"), nullptr);
    EXPECT_EQ(storage.ItemByFileName("chat.jpg"), nullptr);
}

TEST(Storage, DestroyedItemsHaveLeftTheirCollectionWhenTheyAreTold)
{
    std::vector<std::string> destroyed;
    {
        TmxStorage storage;
        for (int i = 0; i < 3; ++i)
            storage.StoredItems().Add().OnDestroy = [&](TmxStoredItem& item) {
                EXPECT_EQ(item.Index(), -1);
                destroyed.push_back(item.Name() + " of " + std::to_string(item.Collection().Count() + 1));
            };
        storage.StoredItems().Delete(0);
        EXPECT_EQ(destroyed, std::vector<std::string>{"mxStoredItem1 of 3"});
    }
    EXPECT_EQ(destroyed,
              (std::vector<std::string>{"mxStoredItem1 of 3", "mxStoredItem3 of 2", "mxStoredItem2 of 1"}));
}

TEST(StoredForm, RoundTripKeepsEveryPropertyAndEveryDataBlockByteForByte)
{
    TmxStorage storage;
    const TCompressionLevel levels[] = {TCompressionLevel::clNone, TCompressionLevel::clFastest,
                                        TCompressionLevel::clDefault, TCompressionLevel::clMax};
    for (int i = 0; i < 4; ++i) {
        TmxStoredItem& item = AddItem(storage, SampleFile(1000 + 700 * static_cast<std::size_t>(i)), levels[i]);
        item.SetName("mxItem" + std::to_string(i));
        item.SetTag(-7 + i);
    }
    storage.StoredItems().Add().SetName("mxEmpty");
    const Bytes form = StoredForm(storage);

    TmxStorage read;
    read.StoredItems().Add().SetName("mxOld");
    read.LoadFromStoredForm(form);
    ASSERT_EQ(read.StoredItems().Count(), 5);
    EXPECT_EQ(NamesOf(read), (std::vector<std::string>{"mxItem0", "mxItem1", "mxItem2", "mxItem3", "mxEmpty"}));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        TmxStoredItem& original = storage.ItemByIndex(i);
        TmxStoredItem& copy = read.ItemByIndex(i);
        EXPECT_EQ(&copy.Collection(), &read.StoredItems());
        EXPECT_EQ(copy.Compression(), original.Compression());
        EXPECT_EQ(copy.Tag(), original.Tag());
        EXPECT_EQ(copy.FileSize(), original.FileSize());
        EXPECT_EQ(copy.Size(), original.Size());
        EXPECT_EQ(Saved(copy), Saved(original));
    }
    EXPECT_EQ(StoredForm(read), form) << "nothing is re-encoded";
    EXPECT_FALSE(read.Reading());
}

TEST(StoredForm, TheDataBlockFollowsItsFourByteLength)
{
    TmxStorage storage;
    TmxStoredItem& item = AddItem(storage, SampleFile(3000), TCompressionLevel::clMax);
    const Bytes form = StoredForm(storage);
    const Bytes key = Property("StoredItem", 4, U32(static_cast<std::uint32_t>(item.Size())));
    const auto at = std::search(form.begin(), form.end(), key.begin(), key.end());
    ASSERT_NE(at, form.end());
    EXPECT_EQ(at[static_cast<std::ptrdiff_t>(key.size())], 0x78);
    EXPECT_EQ(at[static_cast<std::ptrdiff_t>(key.size()) + 1], 0xDA);
}

TEST(StoredForm, EveryTruncationIsRejectedAndLeavesTheStorageAsItWas)
{
    TmxStorage source;
    AddItem(source, SampleFile(300), TCompressionLevel::clMax).SetName("mxFirst");
    AddItem(source, ToBytes("second"), TCompressionLevel::clNone).SetName("mxSecond");
    const Bytes form = StoredForm(source);

    TmxStorage storage;
    AddItem(storage, ToBytes("kept"), TCompressionLevel::clDefault).SetName("mxKept");
    for (std::size_t length = 0; length < form.size(); ++length) {
        const std::span<const std::uint8_t> prefix(form.data(), length);
        EXPECT_THROW(storage.LoadFromStoredForm(prefix), Error) << "length " << length;
    }
    ASSERT_EQ(storage.StoredItems().Count(), 1);
    EXPECT_EQ(storage.ItemByIndex(0).Name(), "mxKept");
    EXPECT_EQ(Saved(storage.ItemByIndex(0)), ToBytes("kept"));
    EXPECT_FALSE(storage.Reading());
}

struct MalformedCase {
    const char* what;
    Bytes form;
    const char* message;
};

std::vector<MalformedCase> MalformedForms()
{
    const Bytes good = Encode({"clMax", "mxGood", "good.bin", 0, {}});
    Bytes wrongSignature = FormOf({good});
    wrongSignature[3] = 'Z';
    Bytes trailing = FormOf({good});
    trailing.push_back(0);
    Bytes unknown = Property("Colour", 2, U32(1));
    unknown.push_back(0);
    Bytes wrongType = Property("Tag", 3, U32(0));
    wrongType.push_back(0);
    Bytes badValueType = Property("Tag", 9, U32(0));
    badValueType.push_back(0);
    Bytes negativeSize = Property("FileSize", 2, U32(0xFFFFFFFFu));
    negativeSize.push_back(0);
    Bytes hugeString = Property("Name", 3, U32(0x7FFFFFFFu));
    Bytes hugeCount = ToBytes("QVXS");
    const Bytes count = U32(0xFFFFFFFFu);
    hugeCount.insert(hugeCount.end(), count.begin(), count.end());
    return {
        {"wrong signature", wrongSignature, "Invalid stored item archive: it does not start with \"QVXS\""},
        {"bytes after the last item", trailing, "Invalid stored item archive: 1 bytes follow the last item"},
        {"unknown property", FormOf({unknown}), "Invalid stored item archive: unknown property \"Colour\""},
        {"wrong value type", FormOf({wrongType}), "Invalid stored item archive: property \"Tag\" has the wrong type"},
        {"unknown value type", FormOf({badValueType}), "Invalid stored item archive: unknown value type 9"},
        {"unknown compression", FormOf({Encode({"clHuge", "mxItem", "a", 0, {}})}),
         "Invalid stored item archive: unknown compression \"clHuge\""},
        {"negative file size", FormOf({negativeSize}), "Invalid stored item archive: negative FileSize -1"},
        {"duplicated names", FormOf({good, Encode({"clNone", "MXGOOD", "b", 0, {}})}),
         "Invalid stored item archive: duplicated stored item name \"MXGOOD\""},
        {"string longer than the form", FormOf({hugeString}),
         "Invalid stored item archive: it is truncated (2147483647 bytes needed at byte 18, 0 left)"},
        {"more items than bytes", hugeCount, "Invalid stored item archive: it claims 4294967295 items in 0 bytes"},
    };
}

TEST(StoredForm, MalformedFormsAreRejectedWithAClearError)
{
    for (const MalformedCase& bad : MalformedForms()) {
        SCOPED_TRACE(bad.what);
        TmxStorage storage;
        EXPECT_EQ(ErrorOf([&] { storage.LoadFromStoredForm(bad.form); }), bad.message);
        EXPECT_EQ(storage.StoredItems().Count(), 0);
    }
}

TEST(Storage, ExtractToWritesEveryItemAndReportsEachFailure)
{
    TmxStorage storage;
    storage.LoadFromStoredForm(FormOf({
        Encode({"clMax", "mxOne", "one.txt", 0, {}}),
        Encode({"clMax", "mxEvil", "../escape.txt", 0, {}}),
        Encode({"clMax", "mxSkip", "skip.txt", 0, {}}),
        Encode({"clMax", "mxTwo", "two.txt", 0, {}}),
    }));
    TMemoryStream two;
    two.Assign(ToBytes("2"));
    storage.ItemByIndex(3).LoadFromStream(&two);

    TempFolder folder;
    std::vector<std::string> events;
    storage.OnBeforeExtract = [&](TmxStoredItem& item, std::string&, std::string& fileName, bool& mayExtract) {
        mayExtract = item.Name() != "mxSkip";
        if (item.Name() == "mxTwo")
            fileName = "renamed.txt";
    };
    storage.OnAfterExtract = [&](TmxStoredItem&, const std::string&, const std::string& fileName) {
        events.push_back("wrote " + fileName);
    };
    storage.OnExtractError = [&](TmxStoredItem&, const std::string&, const std::string& fileName) {
        events.push_back("failed " + fileName);
    };

    EXPECT_FALSE(storage.ExtractTo(folder.Path().string()));
    EXPECT_EQ(events, (std::vector<std::string>{"wrote one.txt", "failed ../escape.txt", "wrote renamed.txt"}));
    EXPECT_TRUE(ReadFile(folder / "one.txt").empty());
    EXPECT_EQ(ReadFile(folder / "renamed.txt"), ToBytes("2"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "escape.txt"));

    storage.StoredItems().Delete(1);
    EXPECT_TRUE(storage.ExtractTo(folder.Path().string() + "/"));
}

}  // namespace
}  // namespace quorvex::test
