// The colour row of the Adverts tab and of the editor window, as
// TColorRowForm rules it: a colour box that opens the shared colour dialog,
// and a dropper that takes the colour of any screen pixel while the left
// button is held on its pipette.
#pragma once

#include "forms/ColorRowForm.h"

#include <QColor>
#include <QObject>

#include <cstdint>
#include <optional>

class QLabel;
class QTimer;
class QWidget;

namespace quorvex {

class TShape;

// The colour value the engine takes: bits 0-7 red, 8-15 green, 16-23 blue.
std::uint32_t ColorValue(const QColor& colour);
QColor ColorOfValue(std::uint32_t value);

// The colour dialog that the main window owns and the editor shares.
class TColorDialog : public QObject {
    Q_OBJECT
public:
    explicit TColorDialog(QObject* parent);

    TColorDialogForm& Form() { return form_; }

private:
    TColorDialogForm form_;
};

// The controls of one row, by the names the main window gives them.
struct TColorRowControls {
    TShape* shColor;   // the colour box, whose fill is the row's colour
    TShape* shDrop;    // the frame around the pipette
    QLabel* imgDrop;   // the pipette picture
    QLabel* imgCDrop;  // hidden copy of the pipette
    QLabel* imgBlank;  // hidden, empty
    QTimer* tmrDrop;   // the sampling timer, 300 ms
};

class TColorRow : public QObject, private IColorRowView {
    Q_OBJECT
public:
    TColorRow(const TColorRowControls& controls, TColorDialog& cdColor, TFrameHover frameHover,
              QObject* parent);

    QColor Color() const;
    bool Picking() const { return form_.Picking(); }

signals:
    // The box took a colour from the dialog or from the screen.
    void ColorChanged(const QColor& colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::uint32_t BoxColor() const override;
    void FillBox(std::uint32_t colour) override;
    void StartSampling() override;
    void StopSampling() override;
    bool Sampling() const override;
    void ShowDropperPointer(bool dropper) override;
    void ShowPipette(bool shown) override;
    void LightBorder(TColorRowPart border, bool lit) override;
    std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
    std::optional<std::uint32_t> PixelUnderPointer() override;

    TColorRowControls controls_;
    TColorRowForm form_;
};

}  // namespace quorvex
