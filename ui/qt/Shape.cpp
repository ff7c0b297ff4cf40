#include "ui/qt/Shape.h"

#include <QPainter>

namespace quorvex {

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetBrushColor(const QColor& colour)
{
    brush_ = colour;
    update();
}

void TShape::SetPenColor(const QColor& colour)
{
    pen_ = colour;
    update();
}

void TShape::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), pen_);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), brush_);
}

}  // namespace quorvex
