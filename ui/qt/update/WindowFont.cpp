#include "ui/qt/update/WindowFont.h"

#include <QPalette>
#include <QWidget>

namespace quorvex {

void TWindowFont::ApplyTo(QWidget& widget) const
{
    widget.setFont(Font);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, Color);
    palette.setColor(QPalette::Text, Color);
    widget.setPalette(palette);
}

}  // namespace quorvex
