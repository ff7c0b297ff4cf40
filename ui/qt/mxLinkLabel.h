// A label that opens a link (a URL or a mail address) when clicked, drawn in
// its link font and with the hand cursor while the pointer is over it.
#pragma once

#include <QCursor>
#include <QFont>
#include <QLabel>

namespace quorvex {

enum class TLabelStyle { lsStandard, lsInternetLink, lsMailTo };

class TmxLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TmxLinkLabel(QWidget* parent = nullptr);

    QString Link;
    TLabelStyle LabelStyle = TLabelStyle::lsStandard;
    QFont LinkFont;
    QColor LinkColor;

    bool Hovered() const { return hovered_; }
    // Opens the link as the label's style says; a link that cannot be opened
    // is reported in a message box.
    void Click();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool IsLinkStyle() const { return LabelStyle != TLabelStyle::lsStandard; }
    void DrawIn(const QFont& font, const QPalette& palette);

    bool hovered_ = false;
    bool hadOwnCursor_ = false;
    QCursor rememberedCursor_;
    QFont normalFont_;
    QPalette normalPalette_;
};

}  // namespace quorvex
