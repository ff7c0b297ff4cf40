// The windows from the keyboard: Alt with a caption's marked letter on every
// button, tab and check box, Ctrl+PageUp/PageDown between the tabs wherever
// the focus is, and Tab on to the folder field's browse button.
#include "Captions.h"
#include "WindowsFixture.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/OptionListView.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace quorvex::test {
namespace {

// The buttons and check boxes of a page or window that carry a caption (the
// browse buttons' "..." carry none).
std::vector<QAbstractButton*> CaptionedButtons(const QWidget& parent)
{
    std::vector<QAbstractButton*> buttons;
    for (QAbstractButton* button : parent.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QToolButton*>(button) == nullptr)
            buttons.push_back(button);
    }
    return buttons;
}

// Adds a control's letter to those in view, failing where it has none or
// one already taken.
void TakeLetter(QString& taken, const QString& caption)
{
    const QChar letter = MnemonicOf(caption);
    EXPECT_FALSE(letter.isNull()) << caption.toStdString() << " has no Alt letter";
    EXPECT_FALSE(!letter.isNull() && taken.contains(letter)) << caption.toStdString() << " takes a letter twice";
    taken += letter;
}

TEST(Keyboard, EveryTabButtonAndCheckBoxHasAnAltLetterNoneTwiceInView)
{
    TWindowsFixture fixture;
    QTabWidget* tabs = fixture.Tabs();
    QString tabLetters;
    for (int index = 0; index < tabs->count(); ++index)
        TakeLetter(tabLetters, tabs->tabText(index));
    for (int index = 0; index < tabs->count(); ++index) {
        SCOPED_TRACE(tabs->widget(index)->objectName().toStdString());
        QString inView = tabLetters;  // the tabs are in view with every page
        for (QAbstractButton* button : CaptionedButtons(*tabs->widget(index)))
            TakeLetter(inView, button->text());
    }
    for (QWidget* window : std::initializer_list<QWidget*>{&fixture.windows.main->StatusWindow(),
                                                          &fixture.windows.main->EditWindow()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        QString inView;
        for (QAbstractButton* button : CaptionedButtons(*window))
            TakeLetter(inView, button->text());
    }
}

// The main window shown and active, with a version 10 messenger.
class KeyboardWindow : public ::testing::Test {
protected:
    KeyboardWindow()
    {
        fixture.windows.main->show();
        fixture.windows.main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fixture.windows.main.get()));
    }

    QWidget* CurrentTab() const { return fixture.Tabs()->currentWidget(); }

    TWindowsFixture fixture{{.Version = "10.0.0.1270"}};
};

struct TAltCase {
    const char* Name;
    const char* Tab;  // shown first
    Qt::Key Letter;
    std::function<bool(const TWindowsFixture&)> Done;
};

void PrintTo(const TAltCase& c, std::ostream* out)
{
    *out << c.Name;
}

class AltLetters : public KeyboardWindow, public ::testing::WithParamInterface<TAltCase> {};

TEST_P(AltLetters, TakeTheirControl)
{
    const TAltCase& c = GetParam();
    fixture.ShowTab(c.Tab);
    ASSERT_FALSE(c.Done(fixture));

    QTest::keyClick(fixture.windows.main.get(), c.Letter, Qt::AltModifier);

    // A button pressed by its letter shows itself pressed a moment first.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.Done(fixture); }, 5000));
}

bool Showing(const TWindowsFixture& fixture, const char* tab)
{
    return fixture.Tabs()->currentWidget() == fixture.Find(tab);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AltLetters,
    ::testing::Values(
        TAltCase{"UITab", "tbAdverts", Qt::Key_U, [](const auto& f) { return Showing(f, "tbUI"); }},
        TAltCase{"AboutAdvertsTab", "tbAdverts", Qt::Key_E, [](const auto& f) { return Showing(f, "tbAboutAdverts"); }},
        TAltCase{"CleanTab", "tbHelp", Qt::Key_L, [](const auto& f) { return Showing(f, "tbClean"); }},
        TAltCase{"CheckAll", "tbAdverts", Qt::Key_C,
                 [](const auto& f) { return f.template Find<TOptionListView>("lvOptions")->Checked(0); }},
        TAltCase{"CheckAllOnTheUITab", "tbUI", Qt::Key_C,
                 [](const auto& f) { return f.template Find<TOptionListView>("lvUI")->Checked(8); }},
        // The test prefix holds the registry only: the apply stops at its first precondition.
        TAltCase{"Apply", "tbAdverts", Qt::Key_P,
                 [](const auto& f) {
                     return !f.seams.Messages->Shown.empty()
                         && f.seams.Messages->Shown.back().Text.startsWith("Yahoo Messenger is not located");
                 }},
        TAltCase{"OpenHelp", "tbHelp", Qt::Key_O,
                 [](const auto& f) { return f.windows.main->HelpWindow().isVisible(); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(KeyboardWindow, CtrlPageDownAndUpSwitchTabsRoundTheEndAlsoFromAList)
{
    auto* list = fixture.Find<TOptionListView>("lvOptions");
    list->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));

    QTest::keyClick(list, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(CurrentTab(), fixture.Find("tbUI"));

    fixture.ShowTab("tbAdverts");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(CurrentTab(), fixture.Find("tbClean")) << "back round the start";

    QTest::keyClick(fixture.Find("lvClean"), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(CurrentTab(), fixture.Find("tbAdverts")) << "on round the end";
}

TEST_F(KeyboardWindow, TabGoesFromTheFolderFieldToItsBrowseButtonWhichOpensThePicker)
{
    auto* field = fixture.Find<TFolderEdit>("dePath");
    field->Edit()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->Edit()->hasFocus(); }));

    QTest::keyClick(field->Edit(), Qt::Key_Tab);

    ASSERT_EQ(QApplication::focusWidget(), field->BrowseButton());
    fixture.seams.FolderPicker->Answer = fixture.prefix.DriveC();
    QTest::keyClick(field->BrowseButton(), Qt::Key_Space);
    EXPECT_EQ(field->text(), "C:\\");
}

}  // namespace
}  // namespace quorvex::test
