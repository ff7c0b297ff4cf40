// A filled rectangle with a one-pixel border: the colour box and the dropper
// frame of a colour row.
#pragma once

#include <QColor>
#include <QWidget>

namespace quorvex {

class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);

    QColor BrushColor() const { return brush_; }
    void SetBrushColor(const QColor& colour);
    QColor PenColor() const { return pen_; }
    void SetPenColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_{255, 255, 255};
    QColor pen_{167, 166, 170};
};

}  // namespace quorvex
