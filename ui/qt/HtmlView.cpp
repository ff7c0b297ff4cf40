#include "ui/qt/HtmlView.h"

#include "forms/HtmlPage.h"
#include "platform/Error.h"
#include "platform/Platform.h"
#include "platform/Stream.h"

#include <QKeyEvent>
#include <QStringDecoder>

#include <cstdint>
#include <span>
#include <vector>

namespace quorvex {
namespace {

// By the page's byte-order mark or charset declaration; pages that declare
// nothing Qt decodes are taken byte for byte (they are ANSI text).
QString DecodeHtml(std::span<const std::uint8_t> bytes)
{
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
    if (!decoder.isValid())
        return QString::fromLatin1(data);
    return decoder.decode(data);
}

bool IsNewWindowKey(const QKeyEvent* event)
{
    return event->matches(QKeySequence::New);
}

}  // namespace

THtmlView::THtmlView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
}

void THtmlView::Navigate(const std::string& path)
{
    try {
        const std::vector<std::uint8_t> bytes = FileSystem().ReadFile(path);
        LoadFromText(DecodeHtml(bytes));
    } catch (const Error& error) {
        LoadFromText(QString::fromStdString(CannotShowPage(path, error.what())));
    }
}

void THtmlView::LoadFromText(const QString& html)
{
    setHtml(html);
}

void THtmlView::LoadFromStream(TStream& stream)
{
    std::vector<std::uint8_t> bytes(stream.Size());
    stream.Seek(0);
    bytes.resize(stream.Read(bytes));
    LoadFromText(DecodeHtml(bytes));
}

// Ctrl+N is claimed before any shortcut of the window sees it, then dropped.
bool THtmlView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && IsNewWindowKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTextBrowser::event(event);
}

void THtmlView::keyPressEvent(QKeyEvent* event)
{
    if (IsNewWindowKey(event)) {
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

}  // namespace quorvex
