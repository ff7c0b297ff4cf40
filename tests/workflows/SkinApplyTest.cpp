// The skin options apply: every combination of the nine UI options gives a
// well-formed contact-list skin in which exactly the chosen elements are
// inside comments, and the edge cases of the contact card, the toolbar tabs,
// a second run and a missing skin folder.
#include "platform/Error.h"
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/Workflows.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <map>
#include <set>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

constexpr int kUIOptions = 9;

const std::vector<std::string> kLines = {
    "Insider Button: Successfully Removed",  "Email Button: Successfully Removed",
    "Mobile Button: Successfully Removed",   "Voice Button: Successfully Removed",
    "Contact Card: Successfully Removed",    "Plugins Toolbar: Successfully Removed",
    "Contacts Tab: Successfully Removed",    "YUpdates Tab: Successfully Removed",
    "System Notifications: Successfully Removed",
};

// The elements (by id) that each UI option removes from the contact list.
const std::vector<std::vector<std::string>> kRemovedIds = {
    {"InsiderEdge", "Insider", "InsiderIcon"},
    {"Email"},
    {"GoMobile"},
    {"Voice"},
    {},
    {"PluginsArea.Plugin", "PluginsArea.AddPlugins"},
    {"MenuContacts", "BtnContacts"},
    {"MenuUpdates", "BtnUpdates"},
    {"SysNotification", "SysNotificationIcon", "SysNotificationClose", "SysNotificationText"},
};

// What a parser sees in a skin: the ids of the elements, the ids written
// inside comments, and the attributes of each element by id.
struct TSkinView {
    std::string Error;
    std::multiset<std::string> Elements;
    std::multiset<std::string> Commented;
    std::map<std::string, std::map<std::string, std::string>> Attributes;
};

// The values of the id attributes written in a text.
std::vector<std::string> IdsIn(const std::string& text)
{
    std::vector<std::string> ids;
    const std::string attribute = " id=\"";
    for (std::size_t at = text.find(attribute); at != std::string::npos; at = text.find(attribute, at + 1)) {
        const std::size_t start = at + attribute.size();
        ids.push_back(text.substr(start, text.find('"', start) - start));
    }
    return ids;
}

TSkinView Parse(const std::string& skin)
{
    TSkinView view;
    QXmlStreamReader reader(QByteArray::fromStdString(skin));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const std::string id = reader.attributes().value("id").toString().toStdString();
            view.Elements.insert(id);
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                view.Attributes[id][attribute.name().toString().toStdString()] = attribute.value().toString().toStdString();
        } else if (reader.isComment()) {
            for (const std::string& id : IdsIn(reader.text().toString().toStdString()))
                view.Commented.insert(id);
        }
    }
    if (reader.hasError())
        view.Error = reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber());
    return view;
}

bool Chosen(unsigned mask, int option)
{
    return (mask >> option & 1u) != 0;
}

// The panel attributes that the options change, as each combination must
// leave them.
std::map<std::pair<std::string, std::string>, std::string> ExpectedPanels(unsigned mask)
{
    const bool plugins = Chosen(mask, 5), contacts = Chosen(mask, 6), updates = Chosen(mask, 7);
    return {
        {{"BottomPluginEdge", "height"}, plugins ? "0" : "7"},
        {{"BottomPluginEdge", "width"}, plugins ? "0" : "100%"},
        {{"BottomPluginEdge", "resizemargin"}, plugins ? "0,0,0,0" : "7,0,7,0"},
        {{"PluginPanel", "width"}, plugins ? "0" : "100%"},
        {{"PluginPanel", "resizemargin"}, plugins ? "0,0,0,0" : "5,5,5,5"},
        {{"PluginPanel", "margin"}, plugins ? "0,0,0,0" : "5,3,5,0"},
        {{"PluginPanel", "spacersize"}, plugins ? "0" : "5"},
        {{"NewToolbar", "width"}, contacts ? "0" : "100%"},
        {{"NewToolbarLeft", "width"}, contacts ? "0" : updates ? "100%" : "50%"},
        {{"NewToolbarRight", "width"}, updates ? "0" : "51%"},
    };
}

// The marker comments that must still stand in the written skin.
std::set<std::string> ExpectedMarkers(unsigned mask)
{
    const std::vector<std::pair<std::string, bool>> markers = {
        {"Insider", !Chosen(mask, 0)},
        {"Email", !Chosen(mask, 1)},
        {"Mobile", !Chosen(mask, 2)},
        {"Voice", !Chosen(mask, 3)},
        {"SysNot", !Chosen(mask, 8)},
        {"ConTab", !Chosen(mask, 6) && !Chosen(mask, 7)},
        {"YUpdate", !Chosen(mask, 7)},
        {"Plugin", !Chosen(mask, 5)},
    };
    std::set<std::string> kept;
    for (const auto& [name, stays] : markers) {
        if (stays) {
            kept.insert("<!-- {" + name + "} -->");
            kept.insert("<!-- {/" + name + "} -->");
        }
    }
    return kept;
}

std::set<std::string> MarkersIn(const std::string& skin)
{
    std::set<std::string> found;
    for (std::size_t at = skin.find("<!-- {"); at != std::string::npos; at = skin.find("<!-- {", at + 1)) {
        const std::size_t end = skin.find("} -->", at);
        if (end != std::string::npos)
            found.insert(skin.substr(at, end + 5 - at));
    }
    return found;
}

class SkinApply : public WorkflowTest {
public:
    void Apply(const std::vector<int>& rows)
    {
        host.Tick(kUIOptions, rows);
        host.Journal.clear();
        ApplySkinOptions(storage, host);
    }

    std::string FriendList() const { return ReadText(Skin("FriendList")); }
    std::string Template() { return ToText(StoredBytes(11)); }
    static std::string ToText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
};

TEST_F(SkinApply, EveryCombinationOfTheNineOptionsCommentsOutExactlyTheChosenElements)
{
    const TSkinView stock = Parse(Template());
    ASSERT_EQ(stock.Error, "");
    const std::string placeholderCard = ReadText(Skin("ContactCard"));

    for (unsigned mask = 1; mask < (1u << kUIOptions); ++mask) {
        SCOPED_TRACE("options mask " + std::to_string(mask));
        WriteText(Skin("ContactCard"), placeholderCard);
        std::vector<int> rows;
        std::vector<std::string> lines;
        std::multiset<std::string> elements = stock.Elements, commented = stock.Commented;
        for (int option = 0; option < kUIOptions; ++option) {
            if (!Chosen(mask, option))
                continue;
            rows.push_back(option);
            lines.push_back(kLines[static_cast<std::size_t>(option)]);
            for (const std::string& id : kRemovedIds[static_cast<std::size_t>(option)]) {
                elements.erase(elements.find(id));
                commented.insert(id);
            }
        }

        Apply(rows);

        const std::string skin = FriendList();
        const TSkinView view = Parse(skin);
        ASSERT_EQ(view.Error, "");
        EXPECT_EQ(view.Elements, elements);
        EXPECT_EQ(view.Commented, commented);
        for (const auto& [attribute, value] : ExpectedPanels(mask))
            EXPECT_EQ(view.Attributes.at(attribute.first).at(attribute.second), value) << attribute.first;
        EXPECT_EQ(MarkersIn(skin), ExpectedMarkers(mask));
        EXPECT_EQ(host.Lines(), lines);
        EXPECT_EQ(ReadText(Skin("ContactCard")), Chosen(mask, 4) ? ToText(StoredBytes(12)) : placeholderCard);
        EXPECT_EQ(host.Journal.front(), "show");
        EXPECT_EQ(std::vector<std::string>(host.Journal.end() - 3, host.Journal.end()),
                  (std::vector<std::string>{"untick", "status: Applying Options Complete", "progress: paused"}));
        EXPECT_FALSE(host.AnyTicked());
        if (HasFailure())
            break;  // one combination's report is enough
    }
}

TEST_F(SkinApply, TheContactCardAloneEmptiesItAndRewritesTheListFromTheUntouchedTemplate)
{
    const std::string stockTemplate = Template();
    Apply({0, 1, 2, 3, 4, 5, 6, 7, 8});  // a full run first: the stored template must not change

    Apply({4});

    EXPECT_EQ(host.Journal, (std::vector<std::string>{"show", "line: Contact Card: Successfully Removed", "untick",
                                                      "status: Applying Options Complete", "progress: paused"}));
    EXPECT_EQ(ReadBytes(Skin("ContactCard")).size(), 86u);
    EXPECT_EQ(ReadBytes(Skin("ContactCard")), StoredBytes(12));
    EXPECT_EQ(FriendList(), stockTemplate) << "every marker in place, every element shown";
    EXPECT_EQ(Template(), stockTemplate);
}

TEST_F(SkinApply, EachRunStartsFromTheTemplateSoAnEarlierRemovalComesBack)
{
    Apply({1});
    EXPECT_EQ(Parse(FriendList()).Elements.count("Email"), 0u);

    Apply({3});

    const TSkinView view = Parse(FriendList());
    EXPECT_EQ(view.Elements.count("Email"), 1u);
    EXPECT_EQ(view.Elements.count("Voice"), 0u);
    EXPECT_EQ(view.Commented.count("Voice"), 1u);
}

TEST_F(SkinApply, AFolderWithATrailingBackslashWorksThroughTheDoubledSeparator)
{
    host.Folder = std::string(kMessengerFolder) + "\\";

    Apply({0, 4});

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{kLines[0], kLines[4]}));
    EXPECT_EQ(Parse(FriendList()).Elements.count("Insider"), 0u);
    EXPECT_EQ(ReadBytes(Skin("ContactCard")), StoredBytes(12));
}

struct TMissingSkinCase {
    const char* Name;
    const char* Folder;                 // the skin folder that is missing
    std::vector<std::string> Journal;   // everything before the error
};

class SkinApplyMissingFolder : public SkinApply, public ::testing::WithParamInterface<TMissingSkinCase> {};

TEST_P(SkinApplyMissingFolder, EndsTheRunWithTheCreationErrorBeforeTheListIsWritten)
{
    const fs::path friendList = Skin("FriendList");
    const bool listKept = GetParam().Folder != std::string("FriendList");
    const std::string listBefore = listKept ? ReadText(friendList) : "";
    fs::remove_all(Skin(GetParam().Folder).parent_path());
    host.Tick(kUIOptions, {0, 1, 4, 5});

    try {
        ApplySkinOptions(storage, host);
        ADD_FAILURE() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().Folder + std::string(".xml\". ")), std::string::npos)
            << error.what();
    }

    EXPECT_EQ(host.Journal, GetParam().Journal);
    EXPECT_EQ(host.Ticks, (std::vector<bool>{true, true, false, false, true, true, false, false, false}));
    if (listKept) {
        EXPECT_EQ(ReadText(friendList), listBefore) << "the contact list is not written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, SkinApplyMissingFolder,
    ::testing::Values(TMissingSkinCase{"ContactCard",
                                       "ContactCard",
                                       {"show", "line: Insider Button: Successfully Removed",
                                        "line: Email Button: Successfully Removed"}},
                      TMissingSkinCase{"FriendList",
                                       "FriendList",
                                       {"show", "line: Insider Button: Successfully Removed",
                                        "line: Email Button: Successfully Removed",
                                        "line: Contact Card: Successfully Removed",
                                        "line: Plugins Toolbar: Successfully Removed"}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
