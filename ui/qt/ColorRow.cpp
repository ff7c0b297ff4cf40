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

}  // namespace

std::uint32_t ColorValue(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8
        | static_cast<std::uint32_t>(colour.blue()) << 16;
}

QColor ColorOfValue(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>(value >> 8 & 0xFF),
                  static_cast<int>(value >> 16 & 0xFF));
}

TColorDialog::TColorDialog(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("cdColor"));
}

TColorRow::TColorRow(const TColorRowControls& controls, TColorDialog& cdColor, TFrameHover frameHover,
                     QObject* parent)
    : QObject(parent), controls_(controls), form_(*this, cdColor.Form(), frameHover)
{
    controls_.tmrDrop->setInterval(300);
    connect(controls_.tmrDrop, &QTimer::timeout, this, [this] { form_.tmrDropTimer(); });
    controls_.shColor->installEventFilter(this);
    controls_.imgDrop->installEventFilter(this);
    controls_.shDrop->installEventFilter(this);
}

QColor TColorRow::Color() const
{
    return controls_.shColor->BrushColor();
}

std::uint32_t TColorRow::BoxColor() const
{
    return ColorValue(Color());
}

void TColorRow::FillBox(std::uint32_t colour)
{
    controls_.shColor->SetBrushColor(ColorOfValue(colour));
    emit ColorChanged(ColorOfValue(colour));
}

void TColorRow::StartSampling()
{
    controls_.tmrDrop->start();
}

void TColorRow::StopSampling()
{
    controls_.tmrDrop->stop();
}

bool TColorRow::Sampling() const
{
    return controls_.tmrDrop->isActive();
}

void TColorRow::ShowDropperPointer(bool dropper)
{
    SetCursorOverride(dropper ? RegisteredCursor(crDropper).value_or(QCursor(Qt::CrossCursor))
                              : QCursor(Qt::ArrowCursor));
}

void TColorRow::ShowPipette(bool shown)
{
    controls_.imgDrop->setPixmap((shown ? controls_.imgCDrop : controls_.imgBlank)->pixmap());
}

void TColorRow::LightBorder(TColorRowPart border, bool lit)
{
    TShape* shape = border == TColorRowPart::Box ? controls_.shColor : controls_.shDrop;
    shape->SetPenColor(lit ? kHoverBorder : kRestBorder);
}

std::optional<std::uint32_t> TColorRow::AskColor(std::uint32_t initial)
{
    if (const std::optional<QColor> chosen = Seams().ColorDialog->Pick(controls_.shColor->window(), ColorOfValue(initial)))
        return ColorValue(*chosen);
    return std::nullopt;
}

std::optional<std::uint32_t> TColorRow::PixelUnderPointer()
{
    if (const std::optional<QColor> pixel = Seams().Screen->PixelAt(Seams().Pointer->Position()))
        return ColorValue(*pixel);
    return std::nullopt;
}

// The left button held on the pipette keeps sending its events there, even
// with the pointer outside every window: the widget under a press receives
// the moves and the release until the last button goes up.
bool TColorRow::eventFilter(QObject* watched, QEvent* event)
{
    const TColorRowPart part = watched == controls_.shColor ? TColorRowPart::Box
        : watched == controls_.imgDrop                      ? TColorRowPart::Pipette
                                                            : TColorRowPart::Frame;
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        form_.PointerOver(part, event->type() == QEvent::Enter);
        return false;
    }
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (part == TColorRowPart::Box && release) {
        form_.shColorMouseUp();
        return true;
    }
    if (part == TColorRowPart::Pipette && (press || release)) {
        const bool left = static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (press)
            form_.imgDropMouseDown(left);
        else
            form_.imgDropMouseUp(left);
        return true;
    }
    return false;
}

}  // namespace quorvex
