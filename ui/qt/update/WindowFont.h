// A font of the update windows as the update component holds it: the face
// and size, and the colour of the text drawn in it.
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace quorvex {

struct TWindowFont {
    QFont Font;
    QColor Color;

    bool operator==(const TWindowFont&) const = default;

    // The font of the widget and its children, and the colour of their text.
    void ApplyTo(QWidget& widget) const;
};

}  // namespace quorvex
