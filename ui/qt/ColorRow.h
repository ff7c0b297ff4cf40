// The colour row of the Adverts tab and of the editor window: a colour box
// that opens the shared colour dialog, and a dropper that takes the colour of
// any screen pixel while the left button is held on its pipette.
#pragma once

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

// The colour dialog that the main window owns and the editor shares: it opens
// with the last colour accepted in it, black before the first.
class TColorDialog : public QObject {
    Q_OBJECT
public:
    explicit TColorDialog(QObject* parent);

    QColor Color() const { return color_; }
    // Shows the dialog; the accepted colour, or nothing when cancelled.
    std::optional<QColor> Execute(QWidget* parent);

private:
    QColor color_{0, 0, 0};
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

// Whether the pointer over the frame itself (not only over the pipette)
// lights the frame: so on the Adverts tab, not in the editor.
enum class TFrameHover { PictureOnly, PictureAndFrame };

class TColorRow : public QObject {
    Q_OBJECT
public:
    TColorRow(const TColorRowControls& controls, TColorDialog& cdColor, TFrameHover frameHover,
              QObject* parent);

    QColor Color() const;
    bool Picking() const;

    // Handlers, named after the main window's controls and their events.
    void shColorMouseUp();
    void imgDropMouseDown(Qt::MouseButton button);
    void imgDropMouseUp(Qt::MouseButton button);
    void tmrDropTimer();

signals:
    // The box took a colour from the dialog or from the screen.
    void ColorChanged(const QColor& colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetColor(const QColor& colour);

    TColorRowControls controls_;
    TColorDialog& cdColor_;
    TFrameHover frameHover_;
};

}  // namespace quorvex
