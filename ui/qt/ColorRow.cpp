#include "ui/qt/ColorRow.h"

#include "ui/qt/Cursors.h"
#include "ui/qt/Seams.h"
#include "ui/qt/Shape.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace quorvex {
namespace {

const QColor kRestBorder(167, 166, 170);
const QColor kHoverBorder(255, 0, 0);

// The border to show for an enter or leave event; nothing for other events.
std::optional<QColor> HoverBorder(const QEvent* event)
{
    if (event->type() == QEvent::Enter)
        return kHoverBorder;
    if (event->type() == QEvent::Leave)
        return kRestBorder;
    return std::nullopt;
}

}  // namespace

std::uint32_t ColorValue(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8
        | static_cast<std::uint32_t>(colour.blue()) << 16;
}

TColorDialog::TColorDialog(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("cdColor"));
}

std::optional<QColor> TColorDialog::Execute(QWidget* parent)
{
    const std::optional<QColor> chosen = Seams().ColorDialog->Pick(parent, color_);
    if (chosen)
        color_ = *chosen;
    return chosen;
}

TColorRow::TColorRow(const TColorRowControls& controls, TColorDialog& cdColor, TFrameHover frameHover,
                     QObject* parent)
    : QObject(parent), controls_(controls), cdColor_(cdColor), frameHover_(frameHover)
{
    controls_.tmrDrop->setInterval(300);
    connect(controls_.tmrDrop, &QTimer::timeout, this, &TColorRow::tmrDropTimer);
    controls_.shColor->installEventFilter(this);
    controls_.imgDrop->installEventFilter(this);
    if (frameHover_ == TFrameHover::PictureAndFrame)
        controls_.shDrop->installEventFilter(this);
}

QColor TColorRow::Color() const
{
    return controls_.shColor->BrushColor();
}

bool TColorRow::Picking() const
{
    return controls_.tmrDrop->isActive();
}

void TColorRow::shColorMouseUp()
{
    if (const std::optional<QColor> chosen = cdColor_.Execute(controls_.shColor->window()))
        SetColor(*chosen);
}

void TColorRow::imgDropMouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    controls_.tmrDrop->start();
    SetCursorOverride(RegisteredCursor(crDropper).value_or(QCursor(Qt::CrossCursor)));
    controls_.imgDrop->setPixmap(controls_.imgBlank->pixmap());
}

void TColorRow::imgDropMouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    controls_.tmrDrop->stop();
    SetCursorOverride(QCursor(Qt::ArrowCursor));
    controls_.imgDrop->setPixmap(controls_.imgCDrop->pixmap());
}

void TColorRow::tmrDropTimer()
{
    // A position no screen shows (or that cannot be read) leaves the colour.
    if (const std::optional<QColor> pixel = Seams().Screen->PixelAt(Seams().Pointer->Position()))
        SetColor(*pixel);
}

void TColorRow::SetColor(const QColor& colour)
{
    controls_.shColor->SetBrushColor(colour);
    emit ColorChanged(colour);
}

// The left button held on the pipette keeps sending its events there, even
// with the pointer outside every window: the widget under a press receives
// the moves and the release until the last button goes up.
bool TColorRow::eventFilter(QObject* watched, QEvent* event)
{
    if (const std::optional<QColor> border = HoverBorder(event)) {
        if (watched == controls_.shColor)
            controls_.shColor->SetPenColor(*border);
        else
            controls_.shDrop->SetPenColor(*border);
        return false;
    }
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (watched == controls_.shColor && release) {
        shColorMouseUp();
        return true;
    }
    if (watched == controls_.imgDrop && (press || release)) {
        const Qt::MouseButton button = static_cast<const QMouseEvent*>(event)->button();
        if (press)
            imgDropMouseDown(button);
        else
            imgDropMouseUp(button);
        return true;
    }
    return false;
}

}  // namespace quorvex
