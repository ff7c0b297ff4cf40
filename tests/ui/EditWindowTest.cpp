// The HTML replacement file editor: its form, the preview of the file and of
// each colour change, and saving the file as the engine writes it.
#include "Captions.h"
#include "FakeSeams.h"
#include "TestPrefix.h"
#include "engine/HtmlFile.h"
#include "engine/TQuorvex.h"
#include "ui/qt/ColorRow.h"
#include "ui/qt/HtmlView.h"
#include "ui/qt/Shape.h"
#include "ui/qt/uEdit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace quorvex::test {
namespace {

constexpr char kPage336699[] = "<html><body bgcolor=\"#336699\" style=\"overflow: hidden;\"></body></html>";

class EditWindow : public ::testing::Test {
protected:
    // The editor as start-up creates it, on the file as the test has left it.
    TfrmEdit& Create()
    {
        edit_ = std::make_unique<TfrmEdit>(&owner_, dialog_);
        return *edit_;
    }
    TfrmEdit& Shown()
    {
        Create().ShowWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(edit_.get()));
        return *edit_;
    }

    template <class T = QWidget>
    T* Find(const char* name) const
    {
        return edit_->findChild<T*>(QString::fromLatin1(name));
    }
    THtmlView* Preview() const { return Find<THtmlView>("wbPreview"); }
    // The colour the preview shows in its middle.
    QColor PreviewColour() const
    {
        const QImage shown = Preview()->viewport()->grab().toImage();
        return shown.pixelColor(shown.rect().center());
    }

    void Choose(const QColor& colour)
    {
        seams_.ColorDialog->Answer = colour;
        QTest::mouseClick(Find("shColor"), Qt::LeftButton);
    }
    void Save() { QTest::mouseClick(Find<QPushButton>("btnSave"), Qt::LeftButton); }

    QString FilePath() const { return prefix_.DriveC() + "/BlankQuorvex.html"; }
    void WriteFile(const QByteArray& content) const
    {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray ReadFile() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }

    TFakeSeams seams_;
    TTestPrefix prefix_;
    QWidget owner_;
    TColorDialog dialog_{nullptr};
    std::unique_ptr<TfrmEdit> edit_;
};

TEST_F(EditWindow, FormAsDefined)
{
    TfrmEdit& edit = Create();
    EXPECT_EQ(edit.objectName(), "frmEdit");
    EXPECT_EQ(edit.windowTitle(), " Edit HTML Replacement File");
    EXPECT_EQ(edit.minimumSize(), QSize(345, 295));
    EXPECT_EQ(edit.maximumSize(), QSize(345, 295));
    EXPECT_EQ(edit.font().family(), "Arial");
    EXPECT_EQ(edit.font().pointSize(), 9);
    EXPECT_TRUE(edit.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(edit.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    const struct {
        const char* Name;
        const char* Parent;
        QSize Size;
    } controls[] = {
        {"shColor", "frmEdit", {24, 24}},   {"shDrop", "frmEdit", {24, 24}},
        {"imgDropp", "shDrop", {20, 20}},   {"gbPreview", "frmEdit", {329, 211}},
        {"wbPreview", "gbPreview", {311, 191}}, {"btnSave", "frmEdit", {150, 25}},
    };
    for (const auto& control : controls) {
        const QWidget* widget = Find(control.Name);
        ASSERT_NE(widget, nullptr) << control.Name;
        EXPECT_EQ(widget->parentWidget()->objectName(), control.Parent) << control.Name;
        EXPECT_EQ(widget->size(), control.Size) << control.Name;
        EXPECT_TRUE(edit.rect().contains(widget->geometry().translated(widget->parentWidget()->mapTo(&edit, QPoint()))))
            << control.Name;
    }
    EXPECT_EQ(Find("imgDropp")->pos(), QPoint(2, 2));
    EXPECT_EQ(Find<QGroupBox>("gbPreview")->title(), "");
    EXPECT_LT(Find("shColor")->geometry().bottom(), Find("gbPreview")->y()) << "the colour row is above the preview";
    const QRect save = Find("btnSave")->geometry();
    EXPECT_NEAR(save.center().x(), edit.width() / 2, 1) << "centred";
    EXPECT_GT(save.top(), Find("gbPreview")->geometry().bottom());
    EXPECT_EQ(ShownCaption(Find<QPushButton>("btnSave")->text()), "Save Changes");

    QStringList captions;
    for (const QLabel* label : edit.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            captions << label->text();
    EXPECT_TRUE(captions.contains("Background Color"));
    EXPECT_TRUE(captions.contains("Get Color from Screen"));

    EXPECT_EQ(Preview()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Preview()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Find<QTimer>("tmrDropp")->interval(), 300);
    EXPECT_FALSE(Find<QTimer>("tmrDropp")->isActive());
    EXPECT_TRUE(Find("imgCDrop")->isHidden());
    EXPECT_TRUE(Find("imgBlank")->isHidden());
    EXPECT_EQ(Find<QLabel>("imgCDrop")->pixmap().toImage(), Find<QLabel>("imgDropp")->pixmap().toImage());
    EXPECT_TRUE(Find<QLabel>("imgBlank")->pixmap().isNull());
    EXPECT_EQ(Find<TShape>("shColor")->BrushColor(), QColor(255, 255, 255));
}

TEST_F(EditWindow, ThePreviewShowsTheFileAsItWasAtStartUp)
{
    WriteFile("<html><body bgcolor=\"#0000FF\" style=\"overflow: hidden;\"></body></html>\r\n");
    Shown();
    EXPECT_EQ(PreviewColour(), QColor(0, 0, 255));
    EXPECT_EQ(edit_->PageText(), "") << "no colour chosen yet";

    // The advert workflow writes a new file; showing the editor again does not reload it.
    TQuorvex().CreateAdvertHTML(0x0000FF);
    edit_->close();
    edit_->ShowWindow();
    EXPECT_EQ(PreviewColour(), QColor(0, 0, 255));
}

TEST_F(EditWindow, AMissingFileShowsAMessageUntilTheFirstColourChange)
{
    Shown();
    const QString shown = Preview()->toPlainText();
    EXPECT_TRUE(shown.contains("This page cannot be shown.")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("C:\\BlankQuorvex.html")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("No such file or directory")) << shown.toStdString();

    Choose(QColor(0x33, 0x66, 0x99));
    EXPECT_TRUE(Preview()->toPlainText().isEmpty());
}

TEST_F(EditWindow, EveryColourChangeRebuildsThePageAndShowsIt)
{
    Shown();
    Choose(QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(edit_->PageText(), kPage336699);
    EXPECT_EQ(PreviewColour(), QColor(0x33, 0x66, 0x99));
    EXPECT_FALSE(Preview()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(Preview()->horizontalScrollBar()->isVisible());

    seams_.Screen->Answer = QColor(0x0F, 0xA0, 0x00);
    QTest::mousePress(Find("imgDropp"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !seams_.Screen->Sampled.empty(); }, 5000));
    EXPECT_EQ(edit_->PageText(), "<html><body bgcolor=\"#0FA000\" style=\"overflow: hidden;\"></body></html>")
        << "each tick rebuilds the page";
    EXPECT_EQ(PreviewColour(), QColor(0x0F, 0xA0, 0x00));
    QTest::mouseRelease(Find("imgDropp"), Qt::LeftButton);
    QGuiApplication::restoreOverrideCursor();
}

TEST_F(EditWindow, SaveWritesWhatTheEngineWritesForTheColourThenCloses)
{
    WriteFile("old");
    Shown();
    Choose(QColor(0x33, 0x66, 0x99));
    Save();

    const QByteArray saved = ReadFile();
    EXPECT_EQ(saved, QByteArray(kPage336699) + "\r\n");
    EXPECT_FALSE(edit_->isVisible());
    EXPECT_TRUE(seams_.Messages->Shown.empty());

    TQuorvex().CreateAdvertHTML(ColorValue(QColor(0x33, 0x66, 0x99)));
    EXPECT_EQ(ReadFile(), saved) << "byte for byte";
}

TEST_F(EditWindow, SaveBeforeAnyColourWasChosenKeepsTheFileAndCloses)
{
    WriteFile("<html><body bgcolor=\"#123456\"></body></html>\r\n");
    Shown();
    Save();
    EXPECT_EQ(ReadFile(), "<html><body bgcolor=\"#123456\"></body></html>\r\n");
    EXPECT_FALSE(edit_->isVisible());

    QFile::remove(FilePath());
    edit_->ShowWindow();
    Save();
    EXPECT_FALSE(QFile::exists(FilePath())) << "no empty page is written either";
}

TEST_F(EditWindow, ClosingWithoutSavingKeepsTheColourAndThePageForALaterSave)
{
    WriteFile("old");
    Shown();
    Choose(QColor(0x33, 0x66, 0x99));
    edit_->close();
    EXPECT_FALSE(edit_->isVisible());
    EXPECT_EQ(ReadFile(), "old");

    edit_->ShowWindow();
    EXPECT_EQ(Find<TShape>("shColor")->BrushColor(), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(edit_->PageText(), kPage336699);
    EXPECT_EQ(PreviewColour(), QColor(0x33, 0x66, 0x99));
    Save();
    EXPECT_EQ(ReadFile(), QByteArray(kPage336699) + "\r\n");
}

TEST_F(EditWindow, AFileThatCannotBeWrittenIsReportedAndTheWindowStays)
{
    // A folder in the file's place cannot be replaced, whoever runs the test.
    ASSERT_TRUE(QDir(prefix_.DriveC()).mkdir("BlankQuorvex.html"));
    Shown();
    Choose(QColor(0x33, 0x66, 0x99));
    Save();

    ASSERT_EQ(seams_.Messages->Shown.size(), 1u);
    const TShownMessage& report = seams_.Messages->Shown[0];
    EXPECT_EQ(report.Caption, "Quorvex");
    EXPECT_EQ(report.Type, TMsgDlgType::Error);
    EXPECT_TRUE(report.Text.startsWith("Cannot create file \"")) << report.Text.toStdString();
    EXPECT_TRUE(report.Text.contains("BlankQuorvex.html")) << report.Text.toStdString();
    EXPECT_TRUE(edit_->isVisible());
    EXPECT_EQ(edit_->PageText(), kPage336699);
    EXPECT_TRUE(QFileInfo(FilePath()).isDir());
}

TEST_F(EditWindow, CtrlNDoesNothingInThePreview)
{
    Shown();
    edit_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit_.get()));
    QAction newWindow(edit_.get());
    newWindow.setShortcut(QKeySequence::New);
    edit_->addAction(&newWindow);
    int triggered = 0;
    QObject::connect(&newWindow, &QAction::triggered, [&triggered] { ++triggered; });

    Preview()->setFocus();
    QTest::keyClick(Preview(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(triggered, 0);

    Find("btnSave")->setFocus();
    QTest::keyClick(Find("btnSave"), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1) << "elsewhere in the window the key reaches the window's shortcut";
}

}  // namespace
}  // namespace quorvex::test
