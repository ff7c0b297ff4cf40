// The main window as the form defines it: tabs, controls, texts and sizes.
#include "Captions.h"
#include "WindowsFixture.h"
#include "ui/qt/OptionListView.h"
#include "ui/qt/mxLinkLabel.h"

#include <quorvex/BuildConfig.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

namespace quorvex::test {
namespace {

QString TextOf(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return ShownCaption(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

class MainWindowLayout : public ::testing::Test {
protected:
    TWindowsFixture fixture;
};

TEST_F(MainWindowLayout, WindowAndTabs)
{
    QWidget* window = fixture.windows.main.get();
    EXPECT_EQ(window->windowTitle(), "Quorvex");
    EXPECT_EQ(window->size(), QSize(521, 481));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(fixture.Tabs()->geometry(), QRect(8, 8, 505, 465));

    const std::vector<std::pair<const char*, const char*>> tabs{
        {"tbAdverts", "Adverts Options"}, {"tbUI", "UI Options"}, {"tbVersion", "Versions"},
        {"tbAboutAdverts", "About Adverts"}, {"tbDonate", "Donate"}, {"tbAbout", "About"},
        {"tbHelp", "Help"}, {"tbClean", "Clean"}};
    ASSERT_EQ(fixture.Tabs()->count(), 8);
    for (int index = 0; index < 8; ++index) {
        EXPECT_EQ(fixture.Tabs()->widget(index)->objectName(), tabs[index].first);
        EXPECT_EQ(ShownCaption(fixture.Tabs()->tabText(index)), tabs[index].second);
        EXPECT_TRUE(fixture.Tabs()->tabIcon(index).isNull());
    }
    EXPECT_EQ(fixture.Tabs()->currentIndex(), 0);
}

// Also run with only the base fonts (see tests/ui/CMakeLists.txt), where the
// font standing in for Tahoma is wider.
TEST_F(MainWindowLayout, EveryTabShowsItsWholeCaptionInOneRowWithoutScrollArrows)
{
    fixture.windows.main->show();
    const QTabBar* bar = fixture.Tabs()->tabBar();
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
        EXPECT_FALSE(arrow->isVisible());
    for (int index = 0; index < bar->count(); ++index) {
        SCOPED_TRACE(bar->tabText(index).toStdString());
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(index)));
        EXPECT_GE(bar->tabRect(index).width(),
                  bar->fontMetrics().horizontalAdvance(ShownCaption(bar->tabText(index))) + 4);
    }
}

struct TControl {
    const char* Name;
    const char* Tab;
    const char* Text;  // nullptr: not checked
    int Width;
    int Height;        // 0: not checked
};

const TControl kControls[] = {
    {"lvOptions", "tbAdverts", nullptr, 457, 289},
    {"btnCallm", "tbAdverts", "Check All", 89, 25},
    {"btnReplace", "tbAdverts", "Edit HTML Replacement File", 186, 25},
    {"shColor", "tbAdverts", nullptr, 24, 24},
    {"shDrop", "tbAdverts", nullptr, 24, 24},
    {"imgDrop", "tbAdverts", nullptr, 20, 20},
    {"dePath", "tbAdverts", nullptr, 457, 0},
    {"lbVersion", "tbAdverts", "0.0.0.0", 0, 0},
    {"btnApply", "tbAdverts", "Apply Options", 141, 25},
    {"lvUI", "tbUI", nullptr, 457, 289},
    {"btnCallu", "tbUI", "Check All", 89, 25},
    {"deUpath", "tbUI", nullptr, 457, 0},
    {"lbUIVer", "tbUI", "0.0.0.0", 0, 0},
    {"btnUIApply", "tbUI", "Apply Options", 141, 25},
    {"lvVersions", "tbVersion", nullptr, 457, 401},
    {"lvAboutAds", "tbAboutAdverts", nullptr, 457, 177},
    {"imgPreview", "tbAboutAdverts", nullptr, 189, 202},
    {"lbDisc", "tbAboutAdverts", nullptr, 245, 130},
    {"imgDonate", "tbDonate", nullptr, 122, 47},
    {"mxLinkLabel2", "tbDonate", config::kSiteHost, 0, 0},
    {"mxLinkLabel3", "tbAbout", config::kSiteHost, 0, 0},
    {"imgLogo", "tbAbout", nullptr, 125, 51},
    {"btnHelp", "tbHelp", "Open Help Document", 221, 25},
    {"btnUpdate", "tbHelp", "Check for Update", 221, 25},
    {"mxLinkLabel1", "tbHelp", config::kSiteHost, 0, 0},
    {"lvClean", "tbClean", nullptr, 457, 361},
    {"btnClean", "tbClean", "Apply Options", 0, 0},
};

TEST_F(MainWindowLayout, ControlsSitOnTheirTabsWithTheirTextsAndSizes)
{
    for (const TControl& control : kControls) {
        SCOPED_TRACE(control.Name);
        QWidget* widget = fixture.Find(control.Name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(fixture.Find(control.Tab)->isAncestorOf(widget));
        if (control.Text != nullptr) {
            EXPECT_EQ(TextOf(widget), control.Text);
        }
        if (control.Width != 0) {
            EXPECT_EQ(widget->width(), control.Width);
        }
        if (control.Height != 0) {
            EXPECT_EQ(widget->height(), control.Height);
        }
    }
}

const char* const kTexts[][2] = {
    {"tbDonate",
     "If you like Quorvex and would like to help support it's future development then click the Donate button below. "
     "Once the Donation page is loaded you will be able to specify the amount you would like to donate.\n\n"},
    {"tbAbout",
     "Quorvex is designed to remove and replace adverts found in Yahoo Messenger. Some adverts can be removed there "
     "are a few that cannot be. For the ones that cannot be removed a HTML Replacement File is created and saved. "
     "With the HTML Replacement File you can specify a background color. It can be a custom color or a color picked "
     "from your screen. This can help blend the adverts with the window they are in."},
    {"tbAbout",
     "Modifying Yahoo! Messenger is a violation of the Yahoo! TOS. By using Quorvex you agree that the author nor the "
     "hosting site(s) are not responsible for your action in the use of this software."},
    {"tbAbout", "Version: 1.0.4.9"},
    {"tbHelp",
     "If you are not sure about something and need help you can click the Open Help Document button below. More then "
     "likely you might found what you are looking for there."},
    {"tbHelp", "If you want to manually check for an update then click the Check for Update button below."},
    {"tbUI", "All of the Yahoo UI Options are for Yahoo Messenger 11 and 10 only."},
    {"tbAdverts", "Background Color"},
    {"tbAdverts", "Get Color from Screen"},
    {"tbAdverts", "Yahoo Messenger Version:"},
    {"tbUI", "Yahoo Messenger Version:"},
};

TEST_F(MainWindowLayout, PagesCarryTheirTextsExactly)
{
    for (const auto& [tab, text] : kTexts) {
        SCOPED_TRACE(text);
        bool found = false;
        for (QLabel* label : fixture.Find(tab)->findChildren<QLabel*>())
            found = found || label->text() == QString::fromUtf8(text);
        EXPECT_TRUE(found) << "on " << tab;
    }
    bool author = false;
    for (QLabel* label : fixture.Find("tbAbout")->findChildren<QLabel*>())
        author = author || (label->text().startsWith("Created By: ") && label->text().size() > 12);
    EXPECT_TRUE(author);
}

std::vector<QString> Captions(TOptionListView* list, int column = 0)
{
    std::vector<QString> captions;
    for (int index = 0; index < list->Count(); ++index)
        captions.push_back(list->Item(index)->text(column));
    return captions;
}

std::vector<QString> Groups(TOptionListView* list)
{
    std::vector<QString> groups;
    for (int group = 0; group < list->topLevelItemCount(); ++group)
        groups.push_back(list->topLevelItem(group)->text(0));
    return groups;
}

TEST_F(MainWindowLayout, OptionListsHoldTheirRowsInGroups)
{
    auto* options = fixture.Find<TOptionListView>("lvOptions");
    EXPECT_EQ(Groups(options), (std::vector<QString>{"Advert Options", "Other Options"}));
    EXPECT_EQ(options->topLevelItem(0)->childCount(), 6);
    EXPECT_EQ(Captions(options), (std::vector<QString>{
        "Remove Main Messenger Advert", "Replace Change Room Banner", "Remove Chat Room Advert",
        "Replace Webcam Adverts", "Replace Video Call Advert", "Remove IM Statusbar Advert",
        "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8",
        "Disable \"Automatically start Yahoo Messenger\"", "Enable Smiley Search"}));

    auto* ui = fixture.Find<TOptionListView>("lvUI");
    EXPECT_EQ(Groups(ui), (std::vector<QString>{"Yahoo UI Options"}));
    EXPECT_EQ(Captions(ui), (std::vector<QString>{
        "Remove Insider Button", "Remove Email Button", "Remove Mobile Button", "Remove Voice Button",
        "Remove Contact Card", "Remove Plugins Toolbar", "Remove Contacts Tab", "Remove YUpdates Tab",
        "Remove System Notifications"}));

    auto* clean = fixture.Find<TOptionListView>("lvClean");
    EXPECT_EQ(Groups(clean), (std::vector<QString>{"Clean Options"}));
    EXPECT_EQ(Captions(clean), (std::vector<QString>{
        "Restore Yahoo Messenger Backup", "Remove HTML Replacement File", "Restore All Yahoo UI Changes"}));

    for (TOptionListView* list : {options, ui, clean}) {
        SCOPED_TRACE(list->objectName().toStdString());
        EXPECT_TRUE(list->isHeaderHidden());
        EXPECT_EQ(list->headerItem()->text(0), "Options");
        EXPECT_EQ(list->columnWidth(0), 420);
        EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        for (int index = 0; index < list->Count(); ++index)
            EXPECT_TRUE(list->Item(index)->flags().testFlag(Qt::ItemIsUserCheckable));
    }
}

TEST_F(MainWindowLayout, DisplayListsHoldTheVersionsAndTheAdvertDescriptions)
{
    auto* versions = fixture.Find<TOptionListView>("lvVersions");
    EXPECT_EQ(Groups(versions), (std::vector<QString>{"Supported Versions"}));
    const char* const numbers[] = {"11.0.0.2009", "11.0.0.1751", "10.0.0.1270", "10.0.0.1267", "10.0.0.1264",
                                   "10.0.0.1258", "10.0.0.1241", "10.0.0.1102", "10.0.0.542",  "10.0.0.525",
                                   "9.0.0.2162",  "9.0.0.2161",  "9.0.0.2160",  "9.0.0.2152",  "9.0.0.2136",
                                   "9.0.0.2133",  "9.0.0.2128",  "9.0.0.2124",  "9.0.0.2123",  "9.0.0.2112",
                                   "9.0.0.2034",  "9.0.0.2018"};
    std::vector<QString> expected;
    for (const char* number : numbers)
        expected.push_back(QStringLiteral("Yahoo Messenger ") + number);
    EXPECT_EQ(Captions(versions), expected);
    EXPECT_EQ(versions->columnCount(), 3);
    EXPECT_EQ(versions->headerItem()->text(0), "Ym Versions");
    EXPECT_EQ(versions->columnWidth(0), 420);
    EXPECT_TRUE(versions->isColumnHidden(1));
    EXPECT_TRUE(versions->isColumnHidden(2));

    auto* adverts = fixture.Find<TOptionListView>("lvAboutAds");
    EXPECT_EQ(Groups(adverts), (std::vector<QString>{"About Adverts"}));
    EXPECT_EQ(Captions(adverts), (std::vector<QString>{"Main Messenger Advert", "Change Room Banner",
                                                      "Chat Room Advert", "Webcam Adverts", "Video Call Advert",
                                                      "IM Statusbar Advert"}));
    EXPECT_EQ(adverts->Item(5)->text(1),
              "The IM Statusbar Advert is the advert that is located in the statusbar of Yahoo Messenger's Private "
              "Message window(s). This advert appears randomly for a short period of time.");
    EXPECT_EQ(adverts->columnWidth(0), 180);
    EXPECT_TRUE(adverts->isColumnHidden(1));
    for (TOptionListView* list : {versions, adverts})
        EXPECT_EQ(list->Item(0)->data(0, Qt::CheckStateRole), QVariant()) << "no check boxes";
}

// Every control lies on the content column (x 20 to 477) and shows its whole
// text: a single-line caption fits its width, a wrapped one its height.
TEST_F(MainWindowLayout, NothingIsClippedAndEverythingSitsOnTheColumn)
{
    fixture.windows.main->show();
    for (int tab = 0; tab < fixture.Tabs()->count(); ++tab) {
        QWidget* page = fixture.Tabs()->widget(tab);
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isHidden())
                continue;
            SCOPED_TRACE(control->objectName().toStdString());
            EXPECT_GE(control->x(), 20);
            EXPECT_LE(control->geometry().right(), 477);
            EXPECT_LE(control->geometry().bottom(), page->height());
            auto* label = qobject_cast<QLabel*>(control);
            if (label != nullptr && label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height());
            } else if (label != nullptr || qobject_cast<QAbstractButton*>(control) != nullptr) {
                EXPECT_LE(control->sizeHint().width(), control->width());
            }
        }
    }
}

TEST_F(MainWindowLayout, LinkLabelsOpenTheWebSite)
{
    for (const char* name : {"mxLinkLabel1", "mxLinkLabel2", "mxLinkLabel3"}) {
        SCOPED_TRACE(name);
        auto* label = fixture.Find<TmxLinkLabel>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->Link, QStringLiteral("http://%1/").arg(config::kSiteHost));
        EXPECT_EQ(label->LabelStyle, TLabelStyle::lsInternetLink);
        EXPECT_EQ(label->LinkFont.family(), "Tahoma");
        EXPECT_EQ(label->LinkFont.pointSize(), 9);
        EXPECT_TRUE(label->LinkFont.underline());
        EXPECT_EQ(label->LinkColor, QColor(0, 128, 192));
    }
}

}  // namespace
}  // namespace quorvex::test
