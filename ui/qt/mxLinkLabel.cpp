#include "ui/qt/mxLinkLabel.h"

#include "ui/qt/Seams.h"

#include <QMouseEvent>

namespace quorvex {

TmxLinkLabel::TmxLinkLabel(QWidget* parent) : QLabel(parent) {}

void TmxLinkLabel::Click()
{
    if (Link.isEmpty())
        return;
    switch (LabelStyle) {
    case TLabelStyle::lsInternetLink:
        OpenReportingFailure(QString(), Link, SW_SHOWNOACTIVATE);
        break;
    case TLabelStyle::lsMailTo:
        OpenReportingFailure(QString(), QStringLiteral("mailto:") + Link, SW_SHOWNOACTIVATE);
        break;
    case TLabelStyle::lsStandard:
        break;
    }
}

void TmxLinkLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (!isEnabled() || hovered_)
        return;
    hovered_ = true;
    if (!IsLinkStyle())
        return;
    hadOwnCursor_ = testAttribute(Qt::WA_SetCursor);
    rememberedCursor_ = cursor();
    setCursor(Qt::PointingHandCursor);
    normalFont_ = font();
    normalPalette_ = palette();
    QPalette linkPalette = normalPalette_;
    linkPalette.setColor(QPalette::WindowText, LinkColor);
    DrawIn(LinkFont, linkPalette);
}

void TmxLinkLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (!hovered_ || !isEnabled())
        return;
    hovered_ = false;
    if (!IsLinkStyle())
        return;
    if (hadOwnCursor_)
        setCursor(rememberedCursor_);
    else
        unsetCursor();
    DrawIn(normalFont_, normalPalette_);
}

void TmxLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void TmxLinkLabel::DrawIn(const QFont& font, const QPalette& palette)
{
    setFont(font);
    setPalette(palette);
}

}  // namespace quorvex
