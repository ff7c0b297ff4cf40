// Seams that answer as a test tells them and record what the windows asked.
#pragma once

#include "tests/fixtures/FakeUpdateSeams.h"
#include "ui/Seams.h"


namespace quorvex::test {

class TFakeFolderPicker final : public IFolderPicker {
public:
    std::optional<QString> Answer;  // nothing: the user cancels
    int Calls = 0;
    QString Prompt;
    QString StartFolder;

    std::optional<QString> Pick(QWidget*, const QString& prompt, const QString& startFolder) override
    {
        ++Calls;
        Prompt = prompt;
        StartFolder = startFolder;
        return Answer;
    }
};

class TFakeColorDialog final : public IColorDialog {
public:
    std::optional<QColor> Answer;
    std::optional<QColor> Pick(QWidget*, const QColor&) override { return Answer; }
};

class TFakeScreen final : public IScreenSampler {
public:
    std::optional<QColor> Answer;
    std::optional<QColor> PixelAt(const QPoint&) override { return Answer; }
};

class TFakePointer final : public IPointer {
public:
    QPoint Answer;
    QPoint Position() override { return Answer; }
};

// Installs fakes for every seam for its lifetime; the desktop ones come back after.
class TFakeSeams : public TFakeUpdateSeams {
public:
    std::shared_ptr<TFakeFolderPicker> FolderPicker = std::make_shared<TFakeFolderPicker>();
    std::shared_ptr<TFakeColorDialog> ColorDialog = std::make_shared<TFakeColorDialog>();
    std::shared_ptr<TFakeScreen> Screen = std::make_shared<TFakeScreen>();
    std::shared_ptr<TFakePointer> Pointer = std::make_shared<TFakePointer>();

    TFakeSeams() { Seams() = TSeams{Update, FolderPicker, ColorDialog, Screen, Pointer}; }
    ~TFakeSeams() { Seams() = DesktopSeams(); }
    TFakeSeams(const TFakeSeams&) = delete;
    TFakeSeams& operator=(const TFakeSeams&) = delete;
};

}  // namespace quorvex::test
