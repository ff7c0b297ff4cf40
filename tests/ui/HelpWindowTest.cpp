// The help window: its form and the help document from the stored items.
#include "archive/Catalogue.h"
#include "ui/qt/HtmlView.h"
#include "ui/qt/uHelp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QScrollBar>
#include <QTest>

#include <string_view>

namespace quorvex {
namespace {

class HelpWindow : public ::testing::Test {
protected:
    HelpWindow() { LoadStoredCatalogue(storage_); }

    THtmlView* View() const { return help_->findChild<THtmlView*>(QStringLiteral("wbHelp")); }

    TmxStorage storage_;
    std::unique_ptr<TfrmHelp> help_;
};

// Opens the view's context menu as a right click would; true when a menu came up.
bool ContextMenuOpens(THtmlView& view)
{
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &event);
    QWidget* popup = QApplication::activePopupWidget();
    if (popup != nullptr)
        popup->close();
    return popup != nullptr;
}

TEST_F(HelpWindow, FormAsDefined)
{
    help_ = std::make_unique<TfrmHelp>(storage_);
    EXPECT_EQ(help_->objectName(), "frmHelp");
    EXPECT_EQ(help_->windowTitle(), " Help Document");
    EXPECT_EQ(help_->minimumSize(), QSize(641, 458));
    EXPECT_EQ(help_->maximumSize(), QSize(641, 458));
    EXPECT_EQ(help_->font().family(), "Tahoma");
    EXPECT_EQ(help_->font().pointSize(), 8);
    EXPECT_TRUE(help_->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(help_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->geometry(), help_->rect()) << "the view fills the window";
    EXPECT_FALSE(help_->isVisible()) << "created hidden";
}

TEST_F(HelpWindow, ShowsTheHelpDocumentWithItsSectionsInOrder)
{
    help_ = std::make_unique<TfrmHelp>(storage_);
    help_->ShowWindow();
    EXPECT_EQ(View()->documentTitle(), "Quorvex - Help");
    const QString text = View()->toPlainText();
    qsizetype at = 0;
    for (const char* section : {"Questions and Answers", "Vista and Windows 7 Users", "Overall Usage",
                                "Advert Options", "Other Options", "Yahoo UI Options", "HTML Replacement File"}) {
        const qsizetype found = text.indexOf(QLatin1String(section), at);
        EXPECT_GE(found, at) << section;
        at = std::max(at, found);
    }
    EXPECT_TRUE(text.contains("C:\\BlankQuorvex.html"));
}

TEST_F(HelpWindow, TheDocumentComesFromStoredItemSix)
{
    TMemoryStream page;
    const std::string_view html = "<html><head><title>Another page</title></head><body>Text</body></html>";
    page.Write(std::span(reinterpret_cast<const std::uint8_t*>(html.data()), html.size()));
    storage_.ItemByIndex(kHelpItem).LoadFromStream(&page);
    storage_.ItemByIndex(kHelpItem).GetAsStream().Seek(40);  // a lent stream read before

    help_ = std::make_unique<TfrmHelp>(storage_);
    help_->ShowWindow();
    EXPECT_EQ(View()->documentTitle(), "Another page") << "read from the stream's start";
    EXPECT_EQ(View()->toPlainText(), "Text");
}

TEST_F(HelpWindow, TheDocumentIsLoadedWhenFirstShownAndLooksAsIfLoadedAtOnce)
{
    help_ = std::make_unique<TfrmHelp>(storage_);
    EXPECT_TRUE(View()->document()->isEmpty()) << "start-up does not lay the document out";

    THtmlView loadedAtOnce;
    loadedAtOnce.setFont(View()->font());
    loadedAtOnce.LoadFromStream(storage_.ItemByIndex(kHelpItem).GetAsStream());
    loadedAtOnce.resize(View()->size());
    help_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help_.get()));
    EXPECT_EQ(View()->toHtml(), loadedAtOnce.toHtml());
    EXPECT_EQ(View()->documentTitle(), "Quorvex - Help");

    QImage shown(View()->size(), QImage::Format_RGB32);
    View()->render(&shown);
    QImage expected(View()->size(), QImage::Format_RGB32);
    loadedAtOnce.render(&expected);
    EXPECT_EQ(shown, expected) << "drawn alike";
}

TEST_F(HelpWindow, HasNoContextMenu)
{
    help_ = std::make_unique<TfrmHelp>(storage_);
    help_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help_.get()));
    EXPECT_FALSE(ContextMenuOpens(*View()));

    THtmlView plain;
    plain.setHtml("<p>Text</p>");
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    EXPECT_TRUE(ContextMenuOpens(plain)) << "an HTML view has one unless it is switched off";
}

TEST_F(HelpWindow, ReopeningShowsTheSameDocumentWhereItWasLeft)
{
    help_ = std::make_unique<TfrmHelp>(storage_);
    help_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help_.get()));
    const QTextDocument* document = View()->document();
    QScrollBar* scroll = View()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 200) << "the document is longer than the window";
    scroll->setValue(200);

    help_->close();
    EXPECT_FALSE(help_->isVisible());
    help_->ShowWindow();
    EXPECT_TRUE(help_->isVisible());
    EXPECT_EQ(View()->document(), document);
    EXPECT_EQ(scroll->value(), 200) << "not loaded again";
}

}  // namespace
}  // namespace quorvex
