// Seams that answer as a test tells them and record what the windows asked.
#pragma once

#include "tests/fixtures/FakeUpdateSeams.h"
#include "ui/qt/Seams.h"

#include <deque>
#include <functional>
#include <vector>

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
    std::optional<QColor> Answer;  // nothing: the user cancels
    std::vector<QColor> Preselected;  // the colour of each opening, in turn

    std::optional<QColor> Pick(QWidget*, const QColor& initial) override
    {
        Preselected.push_back(initial);
        return Answer;
    }
};

// A screen that shows Answer everywhere, or, when Pixels is set, what it
// gives for each position.
class TFakeScreen final : public IScreenSampler {
public:
    std::optional<QColor> Answer;
    std::function<std::optional<QColor>(const QPoint&)> Pixels;
    std::vector<QPoint> Sampled;  // every position read, in turn

    std::optional<QColor> PixelAt(const QPoint& position) override
    {
        Sampled.push_back(position);
        return Pixels ? Pixels(position) : Answer;
    }
};

// A pointer that visits the points of Path, one a reading, then rests at
// Answer (the last point of the path, unless the test moves it).
class TFakePointer final : public IPointer {
public:
    QPoint Answer;
    std::deque<QPoint> Path;

    QPoint Position() override
    {
        if (!Path.empty()) {
            Answer = Path.front();
            Path.pop_front();
        }
        return Answer;
    }
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
