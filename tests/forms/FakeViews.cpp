#include "FakeViews.h"

#include "platform/Stream.h"

namespace quorvex::test {
namespace {

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

}  // namespace

const char* Name(TOptionList list)
{
    switch (list) {
    case TOptionList::lvOptions: return "lvOptions";
    case TOptionList::lvUI: return "lvUI";
    case TOptionList::lvClean: return "lvClean";
    }
    return "?";
}

const char* Name(TFolderField field)
{
    return field == TFolderField::dePath ? "dePath" : "deUpath";
}

const char* Name(TMainControl control)
{
    switch (control) {
    case TMainControl::btnApply: return "btnApply";
    case TMainControl::btnUIApply: return "btnUIApply";
    case TMainControl::btnClean: return "btnClean";
    case TMainControl::btnCallm: return "btnCallm";
    case TMainControl::btnCallu: return "btnCallu";
    case TMainControl::btnReplace: return "btnReplace";
    case TMainControl::lvOptions: return "lvOptions";
    case TMainControl::lvUI: return "lvUI";
    case TMainControl::lvClean: return "lvClean";
    case TMainControl::dePath: return "dePath";
    case TMainControl::deUpath: return "deUpath";
    }
    return "?";
}

const char* Name(TMainPage page)
{
    switch (page) {
    case TMainPage::tbAdverts: return "tbAdverts";
    case TMainPage::tbUI: return "tbUI";
    case TMainPage::Other: return "other";
    }
    return "?";
}

void TRecordingStatusLog::SetProgressState(TProgressState state)
{
    journal_.push_back(state == TProgressState::Normal ? "progress: normal" : "progress: paused");
}

TFakeMainView::TFakeMainView()
{
    Ticks[TOptionList::lvOptions].assign(9, false);
    Ticks[TOptionList::lvUI].assign(9, false);
    Ticks[TOptionList::lvClean].assign(3, false);
}

TJournal TFakeMainView::Entries(std::initializer_list<std::string> prefixes, std::size_t first) const
{
    TJournal entries;
    for (std::size_t index = first; index < Journal.size(); ++index) {
        for (const std::string& prefix : prefixes) {
            if (Journal[index].starts_with(prefix)) {
                entries.push_back(Journal[index]);
                break;
            }
        }
    }
    return entries;
}

std::string TFakeMainView::TickedRows(TOptionList list) const
{
    std::string rows;
    for (bool ticked : Ticks.at(list))
        rows += ticked ? '1' : '0';
    return rows;
}

void TFakeMainView::SetTicked(TOptionList list, int index, bool ticked)
{
    Ticks.at(list).at(index) = ticked;
    Journal.push_back(std::string("tick ") + Name(list) + " " + std::to_string(index) + " " + OnOff(ticked));
}

void TFakeMainView::SetCaption(TOptionList list, int index, const std::string& caption)
{
    Captions[list][index] = caption;
    Journal.push_back(std::string("caption ") + Name(list) + " " + std::to_string(index) + ": " + caption);
}

std::string TFakeMainView::FolderText(TFolderField field) const
{
    if (FolderReadError)
        throw std::runtime_error(*FolderReadError);
    const auto text = Folders.find(field);
    return text == Folders.end() ? std::string() : text->second;
}

void TFakeMainView::SetFolderText(TFolderField field, const std::string& text)
{
    Folders[field] = text;
    Journal.push_back(std::string("folder ") + Name(field) + ": " + text);
}

void TFakeMainView::SetVersionText(TVersionLabel label, const std::string& text)
{
    Versions[label] = text;
    Journal.push_back(std::string("version ") + (label == TVersionLabel::lbVersion ? "lbVersion" : "lbUIVer") + ": "
                      + text);
}

void TFakeMainView::SetPrefixToolTip(const std::string& text)
{
    ToolTip = text;
    Journal.push_back("tip: " + text);
}

void TFakeMainView::EnablePage(TMainPage page, bool enabled)
{
    Journal.push_back(std::string("page ") + Name(page) + " " + OnOff(enabled));
}

bool TFakeMainView::Enabled(TMainControl control) const
{
    const auto own = OwnEnabled.find(control);
    return own == OwnEnabled.end() || own->second;
}

void TFakeMainView::Enable(TMainControl control, bool enabled)
{
    OwnEnabled[control] = enabled;
    Journal.push_back(std::string("enable ") + Name(control) + " " + OnOff(enabled));
}

void TFakeMainView::ShowControl(TMainControl control, bool visible)
{
    Visible[control] = visible;
    Journal.push_back(std::string("show ") + Name(control) + " " + OnOff(visible));
}

void TFakeMainView::ShowAdvertItem(int index)
{
    if (BrokenAdvertItem == index)
        throw std::runtime_error("Cannot decode picture " + std::to_string(index));
    Journal.push_back("advert item " + std::to_string(index));
}

void TFakeMainView::ExecuteUpdateCheck(bool silent)
{
    Journal.push_back(silent ? "update check silent" : "update check with messages");
    if (UpdateCheck)
        UpdateCheck(silent);
}

std::string TFakeReads::MessengerVersion()
{
    ++VersionReads;
    if (ReadError)
        throw std::runtime_error(*ReadError);
    return Version;
}

bool TFakeReads::Answer(bool value) const
{
    if (ReadError)
        throw std::runtime_error(*ReadError);
    return value;
}

void TFakeSplash::ShowNow()
{
    Up = true;
    journal_.push_back("splash shown");
}

void TFakeSplash::Hide()
{
    Up = false;
    journal_.push_back("splash hidden");
}

void TFakeStatusView::DrawProgress(TProgressState state)
{
    Journal.push_back(state == TProgressState::Normal ? "progress: moving" : "progress: stopped");
}

void TFakeHelpView::ShowDocument(TStream& document)
{
    document.Seek(0);
    std::string bytes(document.Size(), '\0');
    const std::size_t read =
        document.Read(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
    bytes.resize(read);
    Journal.push_back("document: " + bytes);
}

}  // namespace quorvex::test
