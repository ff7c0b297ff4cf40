// The skin options apply: the contact-list skin rewritten from the stored
// template with the chosen elements commented out or shrunk, and the contact
// card replaced by an empty theme.
//
// The template encloses each removable stretch of elements in a pair of
// marker comments, "<!-- {Name} -->" before and "<!-- {/Name} -->" after.
// Turning the opening marker into "<!-- " and the closing one into " -->"
// makes the whole stretch one comment; this holds because no stretch holds a
// comment or "--" of its own.
#include "workflows/Workflows.h"

#include "archive/mxStorage.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "workflows/WorkflowSteps.h"

#include <array>
#include <span>
#include <utility>

namespace quorvex {
namespace {

// The rows of the UI option list.
enum TUIOption : int {
    kInsiderButton,
    kEmailButton,
    kMobileButton,
    kVoiceButton,
    kContactCard,
    kPluginsToolbar,
    kContactsTab,
    kUpdatesTab,
    kSystemNotifications,
    kUIOptionCount,
};

constexpr std::array<std::string_view, kUIOptionCount> kRemovedLines = {
    "Insider Button: Successfully Removed",   "Email Button: Successfully Removed",
    "Mobile Button: Successfully Removed",    "Voice Button: Successfully Removed",
    "Contact Card: Successfully Removed",     "Plugins Toolbar: Successfully Removed",
    "Contacts Tab: Successfully Removed",     "YUpdates Tab: Successfully Removed",
    "System Notifications: Successfully Removed",
};

// The marker pair that each simple removal turns into a comment.
constexpr std::array<std::pair<TUIOption, std::string_view>, 5> kMarkedButtons = {{
    {kInsiderButton, "Insider"},
    {kEmailButton, "Email"},
    {kMobileButton, "Mobile"},
    {kVoiceButton, "Voice"},
    {kSystemNotifications, "SysNot"},
}};

// A panel's start-tag line as the template has it, and its replacement.
struct TPanelEdit {
    std::string_view Line;
    std::string_view Replacement;
};

constexpr TPanelEdit kBottomPluginEdgeShrunk = {
    R"(<dockpanel id="BottomPluginEdge" dock="bottom" height="7" width="100%" imagefile="BottomPluginEdge.png" resizemargin="7,0,7,0" />)",
    R"(<dockpanel id="BottomPluginEdge" dock="bottom" height="0" width="0" imagefile="BottomPluginEdge.png" resizemargin="0,0,0,0" />)",
};
constexpr TPanelEdit kPluginPanelShrunk = {
    R"(<dockpanel id="PluginPanel" dock="bottom" imagefile="PluginPanel.png" width="100%" resizemargin="5,5,5,5" margin="5,3,5,0" spacersize="5" >)",
    R"(<dockpanel id="PluginPanel" dock="bottom" imagefile="PluginPanel.png" width="0" resizemargin="0,0,0,0" margin="0,0,0,0" spacersize="0" >)",
};
constexpr TPanelEdit kTabToolbarShrunk = {
    R"(<dockpanel id="NewToolbar" dock="top" width="100%" >)",
    R"(<dockpanel id="NewToolbar" dock="top" width="0" >)",
};
constexpr std::string_view kLeftTabPanel = R"(<dockpanel id="NewToolbarLeft" dock="left" width="50%" >)";
constexpr TPanelEdit kLeftTabPanelShrunk = {kLeftTabPanel, R"(<dockpanel id="NewToolbarLeft" dock="left" width="0" >)"};
constexpr TPanelEdit kLeftTabPanelWidened = {kLeftTabPanel,
                                             R"(<dockpanel id="NewToolbarLeft" dock="left" width="100%" >)"};
constexpr TPanelEdit kRightTabPanelShrunk = {
    R"(<dockpanel id="NewToolbarRight" dock="right" width="51%" >)",
    R"(<dockpanel id="NewToolbarRight" dock="right" width="0" >)",
};

std::string OpeningMarker(std::string_view name)
{
    return "<!-- {" + std::string(name) + "} -->";
}

std::string ClosingMarker(std::string_view name)
{
    return "<!-- {/" + std::string(name) + "} -->";
}

void CommentOut(std::string& skin, std::string_view marker)
{
    skin = ReplaceAll(std::move(skin), OpeningMarker(marker), "<!-- ");
    skin = ReplaceAll(std::move(skin), ClosingMarker(marker), " -->");
}

void DeleteMarkers(std::string& skin, std::string_view marker)
{
    skin = ReplaceAll(std::move(skin), OpeningMarker(marker), "");
    skin = ReplaceAll(std::move(skin), ClosingMarker(marker), "");
}

void Apply(std::string& skin, const TPanelEdit& edit)
{
    skin = ReplaceAll(std::move(skin), edit.Line, edit.Replacement);
}

// The template's bytes as text. It is pure ASCII, and the 8-bit code page
// maps every byte to one character and back, so the bytes are the text.
std::string TemplateText(TmxStorage& storage)
{
    const TMemoryStream& stream = storage.ItemByIndex(kFriendListTemplate).GetAsStream();
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

// Options 6 and 7 share the toolbar: with the contacts tab gone too, the
// toolbar and both tab panels shrink to nothing; with only the updates tab
// gone, the contacts tab widens over the whole toolbar.
void RemoveToolbarTabs(std::string& skin, bool contacts, bool updates, IStatusLog& status)
{
    if (contacts) {
        Apply(skin, kTabToolbarShrunk);
        Apply(skin, kLeftTabPanelShrunk);
        CommentOut(skin, "ConTab");
        status.AppendLine(std::string(kRemovedLines[kContactsTab]));
    } else if (updates) {
        Apply(skin, kLeftTabPanelWidened);
        DeleteMarkers(skin, "ConTab");
    }
    if (updates) {
        Apply(skin, kRightTabPanelShrunk);
        CommentOut(skin, "YUpdate");
        status.AppendLine(std::string(kRemovedLines[kUpdatesTab]));
    }
}

void RemoveOption(int option, std::string& skin, TmxStorage& storage, const std::string& folder,
                  IStatusLog& status)
{
    switch (option) {
    case kContactCard:
        WriteStoredItem(storage, kEmptyContactCard, folder, kContactCardSkin);
        break;
    case kPluginsToolbar:
        Apply(skin, kBottomPluginEdgeShrunk);
        Apply(skin, kPluginPanelShrunk);
        CommentOut(skin, "Plugin");
        break;
    default:
        for (const auto& [button, marker] : kMarkedButtons) {
            if (button == option)
                CommentOut(skin, marker);
        }
        break;
    }
    status.AppendLine(std::string(kRemovedLines[static_cast<std::size_t>(option)]));
}

}  // namespace

void ApplySkinOptions(TmxStorage& storage, IWorkflowHost& host)
{
    const std::string folder = host.MessengerFolder();
    if (!ReadyToApply(host, folder))
        return;
    const std::vector<bool> ticks = ReadTicks(host, kUIOptionCount);
    IStatusLog& status = host.StatusLog();
    status.Show();

    std::string skin = TemplateText(storage);
    for (int option = 0; option < kUIOptionCount; ++option) {
        if (option == kContactsTab)
            RemoveToolbarTabs(skin, ticks[kContactsTab], ticks[kUpdatesTab], status);
        else if (option != kUpdatesTab && ticks[static_cast<std::size_t>(option)])
            RemoveOption(option, skin, storage, folder, status);
    }
    FileSystem().WriteFile(folder + std::string(kFriendListSkin),
                           std::span(reinterpret_cast<const std::uint8_t*>(skin.data()), skin.size()));

    host.UntickAll();
    ShowComplete(status);
}

}  // namespace quorvex
