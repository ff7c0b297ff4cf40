// The stored item catalogue that the program carries: its items, the files in
// them, and the rules that tie the stored skin files together.
#include "ArchiveTestSupport.h"

#include "archive/Catalogue.h"
#include "tools/packer/Passages.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <map>
#include <cstdio>
#include <jpeglib.h>
#include <regex>

namespace quorvex::test {
namespace {

struct Entry {
    const char* name;
    const char* fileName;
};

constexpr Entry kCatalogue[] = {
    {"mxMain", "main.jpg"},         {"mxChange", "change.jpg"},         {"mxChat", "chat.jpg"},
    {"mxWebcam", "webcam.jpg"},     {"mxVideo", "vidad.jpg"},           {"mxImAd", "IMStatus.jpg"},
    {"mxHelp", "help.html"},        {"mxIMAdvert", "IMWindow.xml"},     {"mxResIM", "IMWindowRes.xml"},
    {"mxFriendsRes", "FriendList.xml"}, {"mxContactRes", "ContactCard.xml"}, {"mxFriends", "FriendList_Temp.xml"},
    {"mxContact", "Contact.xml"},
};

// The catalogue, read once as the program reads it at start-up.
TmxStorage& Catalogue()
{
    static TmxStorage* storage = [] {
        auto* s = new TmxStorage;
        LoadStoredCatalogue(*s);
        return s;
    }();
    return *storage;
}

// The content of a stored item, written out as SaveToFile would.
std::string TextOf(int index)
{
    const Bytes bytes = Saved(Catalogue().ItemByIndex(index));
    return {bytes.begin(), bytes.end()};
}

TEST(Catalogue, HoldsTheThirteenItemsInOrderEachAtClMax)
{
    TmxStorage& storage = Catalogue();
    ASSERT_EQ(storage.StoredItems().Count(), 13);
    std::int64_t sizes = 0;
    std::int64_t fileSizes = 0;
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        const TmxStoredItem& item = storage.ItemByIndex(i);
        EXPECT_EQ(item.Name(), kCatalogue[i].name);
        EXPECT_EQ(item.FileName(), kCatalogue[i].fileName);
        EXPECT_EQ(item.Compression(), TCompressionLevel::clMax);
        EXPECT_EQ(item.Tag(), 0);
        const Bytes block = DataBlock(storage, i);
        ASSERT_GE(block.size(), 2u);
        EXPECT_EQ(block[0], 0x78);
        EXPECT_EQ(block[1], 0xDA);
        EXPECT_EQ(item.Size(), static_cast<std::int32_t>(block.size()));
        sizes += item.Size();
        fileSizes += item.FileSize();
    }
    EXPECT_EQ(storage.Size(), sizes);
    EXPECT_EQ(storage.OriginalSize(), fileSizes);
    EXPECT_EQ(storage.Version(), "1.21");
}

// The help document is written for both systems; this program carries the
// Linux passages of it.
constexpr int kHelpIndex = 6;

TEST(Catalogue, CarriesTheCurrentResourceFilesWithoutReencoding)
{
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(kCatalogue[i].fileName);
        const std::string path = std::string(QUORVEX_STORED_DIR) + "/" + kCatalogue[i].fileName;
        const Bytes source = ReadFile(path);
        const Bytes file = i == kHelpIndex ? SystemPassages(source, "linux", path) : source;
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(Catalogue().ItemByIndex(i).FileSize(), static_cast<std::int32_t>(file.size()));
        EXPECT_EQ(Saved(Catalogue().ItemByIndex(i)), file);
    }
    const auto carried = StoredCatalogue();
    EXPECT_EQ(StoredForm(Catalogue()), Bytes(carried.begin(), carried.end()));
}

// ---- pictures --------------------------------------------------------------

struct JpegFacts {
    bool decoded = false;
    int width = 0;
    int height = 0;
    bool progressive = true;
};

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpOut(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Decodes every scan line with libjpeg, as the picture loader does.
JpegFacts DecodeJpeg(const Bytes& data)
{
    JpegFacts facts;
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOut;
    std::vector<JSAMPLE> row;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    facts.progressive = jpeg_has_multiple_scans(&info);
    jpeg_start_decompress(&info);
    facts.width = static_cast<int>(info.output_width);
    facts.height = static_cast<int>(info.output_height);
    row.resize(static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(info.output_components));
    JSAMPROW rows[] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    facts.decoded = true;
    return facts;
}

struct PictureCase {
    int index;
    int width;
    int height;
};

class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, DecodeWithLibjpegAsBaselineAtTheirExactSize)
{
    const JpegFacts facts = DecodeJpeg(Content(Catalogue().ItemByIndex(GetParam().index).GetAsStream()));
    ASSERT_TRUE(facts.decoded);
    EXPECT_EQ(facts.width, GetParam().width);
    EXPECT_EQ(facts.height, GetParam().height);
    EXPECT_FALSE(facts.progressive);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Pictures,
                         ::testing::Values(PictureCase{0, 277, 555}, PictureCase{1, 704, 409},
                                           PictureCase{2, 704, 549}, PictureCase{3, 380, 416},
                                           PictureCase{4, 480, 552}, PictureCase{5, 521, 457}),
                         [](const auto& info) { return std::string(kCatalogue[info.param.index].name); });

TEST(Catalogue, PictureCheckRejectsWhatIsNoJpeg)
{
    EXPECT_FALSE(DecodeJpeg(ToBytes("not a picture")).decoded);
}

// ---- help document ---------------------------------------------------------

TEST(Catalogue, HelpDocumentIsAPlainHtml401PageWithItsSectionsInOrder)
{
    const std::string help = TextOf(kHelpIndex);
    EXPECT_EQ(help.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"", 0), 0u);
    EXPECT_NE(help.find("<title>Quorvex - Help</title>"), std::string::npos);
    EXPECT_NE(help.find("font-family: \"Trebuchet MS\""), std::string::npos);
    std::size_t at = 0;
    for (const char* section : {"Questions and Answers", "Vista and Windows 7 Users", "Overall Usage", "Advert Options",
                                "Other Options", "Yahoo UI Options", "HTML Replacement File"}) {
        at = help.find("<h2>" + std::string(section) + "</h2>", at);
        EXPECT_NE(at, std::string::npos) << section << " missing or out of order";
    }
    EXPECT_NE(help.find("C:\\BlankQuorvex.html"), std::string::npos);
    EXPECT_EQ(help.find("<!--only "), std::string::npos) << "the passages of one system only";
    EXPECT_EQ(help.find("<!--end only-->"), std::string::npos);
    EXPECT_NE(help.find("WINEPREFIX"), std::string::npos) << "the Linux program's passages";
    const std::regex onlyNote(R"(\( Yahoo Messenger 11 and 10 Only \))");
    EXPECT_EQ(std::distance(std::sregex_iterator(help.begin(), help.end(), onlyNote), std::sregex_iterator()), 2);
    const std::regex active(R"(<\s*(a|img|script|link|object|embed|iframe)\b|\b(href|src|on[a-z]+)\s*=)",
                            std::regex::icase);
    EXPECT_FALSE(std::regex_search(help, active)) << "no links, pictures or scripts";
}

// ---- skin files ------------------------------------------------------------

std::string XmlError(const std::string& text)
{
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber())
                             : "";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class SkinFiles : public ::testing::TestWithParam<int> {};

TEST_P(SkinFiles, AreAsciiCrLfThemesThatParse)
{
    const std::string skin = TextOf(GetParam());
    EXPECT_EQ(skin.rfind("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<theme app=\"Y!Msgr\" version=\"2\" >\r\n", 0),
              0u);
    for (std::size_t i = 0; i < skin.size(); ++i) {
        const auto c = static_cast<unsigned char>(skin[i]);
        ASSERT_TRUE(c < 0x80 && (c >= 0x20 || c == '\r' || c == '\n')) << "byte " << int(c) << " at " << i;
        ASSERT_EQ(c == '\r', i + 1 < skin.size() && skin[i + 1] == '\n') << "bare CR at " << i;
        ASSERT_EQ(c == '\n', i > 0 && skin[i - 1] == '\r') << "bare LF at " << i;
    }
    EXPECT_EQ(XmlError(skin), "");
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SkinFiles, ::testing::Range(7, 13),
                         [](const auto& info) { return std::string(kCatalogue[info.param].name); });

TEST(Catalogue, EmptyThemeIsExactlyItsEightySixBytes)
{
    EXPECT_EQ(TextOf(12), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<theme app=\"Y!Msgr\" version=\"2\" >\r\n\r\n</theme>");
    EXPECT_EQ(Catalogue().ItemByIndex(12).FileSize(), 86);
}

TEST(Catalogue, StatusBarSkinIsTheStockSkinWithItsFourLabelsCommentedOut)
{
    const std::string stock = TextOf(8);
    std::string expected = stock;
    for (const std::string id : {"IMWnd.StatusBarTag", "IMWnd.StatusBar", "IMWnd.StatusBarGap", "IMWnd.StatusBarUrl"}) {
        SCOPED_TRACE(id);
        const std::regex label("<label\\b[^>]*\\bid=\"" + Replaced(id, ".", "\\.") + "\"[^>]*/>");
        ASSERT_EQ(std::distance(std::sregex_iterator(stock.begin(), stock.end(), label), std::sregex_iterator()), 1);
        std::smatch found;
        ASSERT_TRUE(std::regex_search(expected, found, label));
        EXPECT_EQ(found.str().find("--"), std::string::npos);
        expected.replace(static_cast<std::size_t>(found.position()), static_cast<std::size_t>(found.length()),
                         "<!--" + found.str() + "-->");
    }
    EXPECT_EQ(TextOf(7), expected);
}

// The markers of the skin template, in file order, with the elements (tag and
// id) that each encloses.
struct Marker {
    std::string name;
    std::vector<std::string> elements;
};

const std::vector<Marker>& Markers()
{
    static const std::vector<Marker> markers = {
        {"Insider", {"textbutton InsiderEdge", "textbutton Insider", "textbutton InsiderIcon"}},
        {"Email", {"textbutton Email"}},
        {"Mobile", {"textbutton GoMobile"}},
        {"Voice", {"textbutton Voice"}},
        {"SysNot", {"dockpanel SysNotification"}},
        {"ConTab", {"imagebutton MenuContacts", "textbutton BtnContacts"}},
        {"YUpdate", {"textbutton MenuUpdates", "textbutton BtnUpdates"}},
        {"Plugin", {"textbutton PluginsArea.Plugin", "textbutton PluginsArea.AddPlugins"}},
    };
    return markers;
}

std::string Opening(const Marker& m) { return "<!-- {" + m.name + "} -->"; }
std::string Closing(const Marker& m) { return "<!-- {/" + m.name + "} -->"; }

// "tag id" of each element at the top level of an XML fragment.
std::vector<std::string> TopLevelElements(const std::string& fragment)
{
    QXmlStreamReader reader(QByteArray::fromStdString("<r>" + fragment + "</r>"));
    std::vector<std::string> elements;
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && ++depth == 2)
            elements.push_back(reader.name().toString().toStdString() + " "
                               + reader.attributes().value("id").toString().toStdString());
        if (reader.isEndElement())
            --depth;
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return elements;
}

// Runs of white space made one blank, so that only white space may differ.
std::string Squeezed(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

TEST(Catalogue, SkinTemplateIsTheStockContactListWithEachMarkerPairOnce)
{
    const std::string skin = TextOf(11);
    std::size_t previous = 0;
    std::string unmarked = skin;
    for (const Marker& marker : Markers()) {
        SCOPED_TRACE(marker.name);
        ASSERT_EQ(Occurrences(skin, Opening(marker)), 1u);
        ASSERT_EQ(Occurrences(skin, Closing(marker)), 1u);
        const std::size_t begin = skin.find(Opening(marker)) + Opening(marker).size();
        const std::size_t end = skin.find(Closing(marker));
        ASSERT_GT(begin, previous) << "markers out of order";
        ASSERT_LT(begin, end);
        previous = end;

        const std::string stretch = skin.substr(begin, end - begin);
        EXPECT_EQ(stretch.find("--"), std::string::npos) << "no comment and no \"--\" in a marked stretch";
        EXPECT_EQ(TopLevelElements(stretch), marker.elements);
        EXPECT_EQ(stretch.find_first_not_of(" \r\n"), stretch.find('<')) << "opening marker directly before";
        EXPECT_EQ(stretch.find_last_not_of(" \r\n"), stretch.rfind('>')) << "closing marker directly after";
        unmarked = Replaced(Replaced(unmarked, Opening(marker), ""), Closing(marker), "");
    }
    EXPECT_EQ(Squeezed(unmarked), Squeezed(TextOf(9))) << "nothing else differs but white space";
}

TEST(Catalogue, SkinTemplateStaysWellFormedWithAnyMarkerPairMadeAComment)
{
    const std::string skin = TextOf(11);
    std::string allRemoved = skin;
    for (const Marker& marker : Markers()) {
        SCOPED_TRACE(marker.name);
        const std::string removed = Replaced(Replaced(skin, Opening(marker), "<!-- "), Closing(marker), " -->");
        EXPECT_EQ(XmlError(removed), "");
        allRemoved = Replaced(Replaced(allRemoved, Opening(marker), "<!-- "), Closing(marker), " -->");
    }
    EXPECT_EQ(XmlError(allRemoved), "");
    const std::string contactsKept =
        Replaced(Replaced(skin, "<!-- {ConTab} -->", ""), "<!-- {/ConTab} -->", "");
    EXPECT_EQ(XmlError(contactsKept), "");
}

const char* const kPanelLines[] = {
    R"(<dockpanel id="BottomPluginEdge" dock="bottom" height="7" width="100%" imagefile="BottomPluginEdge.png" resizemargin="7,0,7,0" />)",
    R"(<dockpanel id="PluginPanel" dock="bottom" imagefile="PluginPanel.png" width="100%" resizemargin="5,5,5,5" margin="5,3,5,0" spacersize="5" >)",
    R"(<dockpanel id="NewToolbar" dock="top" width="100%" >)",
    R"(<dockpanel id="NewToolbarLeft" dock="left" width="50%" >)",
    R"(<dockpanel id="NewToolbarRight" dock="right" width="51%" >)",
};

TEST(Catalogue, ContactListSkinsHoldEachPanelLineOnceAsWritten)
{
    for (const int index : {9, 11}) {
        const std::string skin = TextOf(index);
        for (const char* line : kPanelLines) {
            SCOPED_TRACE(std::to_string(index) + ": " + line);
            EXPECT_EQ(Occurrences(skin, line), 1u);
            EXPECT_EQ(Occurrences(skin, std::string(line) + "\r\n"), 1u) << "a start-tag line of its own";
        }
        const std::size_t edge = skin.find(kPanelLines[0]);
        const std::size_t next = skin.find_first_not_of(" \r\n", edge + std::strlen(kPanelLines[0]));
        EXPECT_EQ(skin.compare(next, std::strlen(kPanelLines[1]), kPanelLines[1]), 0)
            << "the plug-in panel follows the bottom plug-in edge";
    }
}

// The id of each element's nearest ancestor that has one.
std::map<std::string, std::string> ParentIds(const std::string& skin)
{
    QXmlStreamReader reader(QByteArray::fromStdString(skin));
    std::map<std::string, std::string> parents;
    std::vector<std::string> ids{""};
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const std::string id = reader.attributes().value("id").toString().toStdString();
            if (!id.empty())
                parents[id] = ids.back();
            ids.push_back(id.empty() ? ids.back() : id);
        } else if (reader.isEndElement()) {
            ids.pop_back();
        }
    }
    return parents;
}

TEST(Catalogue, StockContactListLaysOutThePanelsTheWorkflowEdits)
{
    const std::string skin = TextOf(9);
    auto parents = ParentIds(skin);
    EXPECT_EQ(parents["NewToolbarLeft"], "NewToolbar");
    EXPECT_EQ(parents["NewToolbarRight"], "NewToolbar");
    EXPECT_EQ(parents["PluginsArea.Plugin"], "PluginPanel");
    EXPECT_EQ(parents["SysNotificationText"], "SysNotification");

    EXPECT_EQ(Occurrences(skin, "<textbutton id=\"Email\""), 2u) << "one live, one commented out";
    const std::size_t comment = skin.find("<!--");
    ASSERT_NE(comment, std::string::npos);
    EXPECT_NE(skin.substr(comment, skin.find("-->", comment) - comment).find("<textbutton id=\"Email\""),
              std::string::npos);
}

}  // namespace
}  // namespace quorvex::test
