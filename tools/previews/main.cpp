// Draws the six advert preview pictures of the stored item archive: schematic
// messenger windows with the advert's place highlighted and labelled. Run it
// through the "previews" build target to remake resources/stored/*.jpg.
//
//   quorvex_previews <output folder>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor kFrame(0x5B, 0x3E, 0x8E);
const QColor kTitle(0x7D, 0x5C, 0xB4);
const QColor kPanel(0xEE, 0xEB, 0xF4);
const QColor kLine(0xC9, 0xC3, 0xD6);
const QColor kText(0x8A, 0x84, 0x99);
const QColor kAdvert(0xFF, 0x6A, 0x00);
const QColor kDesk(0xD8, 0xE4, 0xEE);

// One picture: a canvas, a painter and the scale of its type.
class Sketch {
public:
    Sketch(int width, int height, int fontSize) : image_(width, height, QImage::Format_RGB32), fontSize_(fontSize)
    {
        image_.fill(kDesk);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setRenderHint(QPainter::TextAntialiasing);
    }

    QPainter& P() { return painter_; }

    // A window frame with its title bar; returns the client area.
    QRect Window(const QRect& outer, const QString& title)
    {
        const int bar = fontSize_ + 14;
        painter_.setPen(QPen(kFrame, 3));
        painter_.setBrush(Qt::white);
        painter_.drawRoundedRect(outer, 6, 6);
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(kTitle);
        painter_.drawRoundedRect(QRect(outer.left() + 2, outer.top() + 2, outer.width() - 3, bar), 4, 4);
        Text(QRect(outer.left() + 12, outer.top() + 2, outer.width() - 90, bar), title, Qt::white, fontSize_, true,
             Qt::AlignLeft | Qt::AlignVCenter);
        for (int i = 0; i < 3; ++i)
            painter_.drawRect(QRect(outer.right() - 26 - i * 24, outer.top() + bar / 2 - 7, 16, 14));
        return QRect(outer.left() + 6, outer.top() + bar + 8, outer.width() - 12, outer.height() - bar - 14);
    }

    // A grey block standing for ordinary content, optionally captioned.
    void Block(const QRect& r, const QString& caption = {})
    {
        painter_.setPen(QPen(kLine, 1));
        painter_.setBrush(kPanel);
        painter_.drawRect(r);
        if (!caption.isEmpty())
            Text(r, caption, kText, fontSize_ * 3 / 5, false, Qt::AlignCenter);
    }

    // Rows of short grey bars, like names in a list or lines of a chat.
    void Lines(const QRect& r, int pitch, int seed)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(kLine);
        for (int y = r.top() + pitch / 2, i = 0; y + 6 < r.bottom(); y += pitch, ++i) {
            const int length = r.width() * (40 + (i * 37 + seed * 13) % 50) / 100;
            painter_.drawRoundedRect(QRect(r.left() + 8, y, length - 8, 6), 3, 3);
        }
    }

    // The advert's place: a striped orange area with its name in a label.
    void Advert(const QRect& r, const QString& name)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(QBrush(QColor(0xFF, 0xD8, 0xB8)));
        painter_.drawRect(r);
        painter_.setBrush(QBrush(QColor(0xFF, 0xB0, 0x70), Qt::BDiagPattern));
        painter_.drawRect(r);
        painter_.setPen(QPen(kAdvert, 4, Qt::DashLine));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(r.adjusted(2, 2, -2, -2));
        Text(r.adjusted(4, 4, -4, -4), name, QColor(0x9A, 0x2E, 0x00), fontSize_, true, Qt::AlignCenter | Qt::TextWordWrap);
    }

    // A call-out with an arrow from `label` to `target`.
    void Callout(const QRect& label, const QPoint& target, const QString& text)
    {
        painter_.setPen(QPen(kAdvert, 4));
        const QPoint from = label.center();
        painter_.drawLine(from, target);
        const QLineF line(target, from);
        QLineF wing = line;
        wing.setLength(16);
        for (const double turn : {25.0, -25.0}) {
            wing.setAngle(line.angle() + turn);
            painter_.drawLine(wing);
        }
        painter_.setBrush(kAdvert);
        painter_.setPen(Qt::NoPen);
        painter_.drawRoundedRect(label, 8, 8);
        Text(label, text, Qt::white, fontSize_, true, Qt::AlignCenter | Qt::TextWordWrap);
    }

    void Text(const QRect& r, const QString& text, const QColor& colour, int size, bool bold, int flags)
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(size);
        font.setBold(bold);
        painter_.setFont(font);
        painter_.setPen(colour);
        painter_.drawText(r, flags, text);
    }

    bool Save(const QString& path)
    {
        painter_.end();
        QImageWriter writer(path, "jpeg");
        writer.setQuality(88);
        writer.setProgressiveScanWrite(false);  // baseline
        return writer.write(image_);
    }

private:
    QImage image_;
    QPainter painter_;
    int fontSize_;
};

void DrawMain(Sketch& s)
{
    const QRect c = s.Window(QRect(8, 8, 261, 539), "Messenger");
    s.Block(QRect(c.left(), c.top(), c.width(), 56), "Your name and status");
    s.Block(QRect(c.left(), c.top() + 62, c.width(), 22), "Contacts | Updates");
    s.Lines(QRect(c.left(), c.top() + 90, c.width(), 230), 22, 1);
    s.Advert(QRect(c.left(), c.top() + 328, c.width(), 120), "Main Messenger Advert");
    s.Block(QRect(c.left(), c.bottom() - 30, c.width(), 30), "Plug-ins");
}

void DrawChangeRoom(Sketch& s)
{
    const QRect c = s.Window(QRect(10, 10, 684, 389), "Join a Room");
    const QRect banner(c.left(), c.top(), 200, c.height());
    s.Advert(banner, "Change Room Banner");
    const QRect list(banner.right() + 12, c.top(), c.width() - banner.width() - 12, c.height() - 48);
    s.Block(QRect(list.left(), list.top(), list.width() / 2 - 6, list.height()), {});
    s.Lines(QRect(list.left(), list.top(), list.width() / 2 - 6, list.height()), 24, 2);
    s.Block(QRect(list.center().x() + 6, list.top(), list.width() / 2 - 6, list.height()), {});
    s.Lines(QRect(list.center().x() + 6, list.top(), list.width() / 2 - 6, list.height()), 24, 5);
    s.Block(QRect(c.right() - 290, c.bottom() - 36, 140, 36), "Join");
    s.Block(QRect(c.right() - 140, c.bottom() - 36, 140, 36), "Cancel");
}

void DrawChatRoom(Sketch& s)
{
    const QRect c = s.Window(QRect(10, 10, 684, 529), "Chat Room");
    const QRect people(c.right() - 170, c.top(), 170, c.height() - 130);
    const QRect chat(c.left(), c.top(), c.width() - 182, c.height() - 190);
    s.Block(chat);
    s.Lines(chat, 26, 3);
    s.Block(QRect(people.left(), people.top(), people.width(), 40), "People");
    s.Block(people.adjusted(0, 46, 0, 0));
    s.Lines(people.adjusted(0, 46, 0, 0), 24, 4);
    s.Block(QRect(c.left(), chat.bottom() + 10, chat.width(), 50), "Type a message");
    s.Advert(QRect(c.left(), c.bottom() - 110, c.width(), 110), "Chat Room Advert");
}

void DrawWebcam(Sketch& s)
{
    const QRect c = s.Window(QRect(8, 8, 364, 400), "Webcam");
    const QRect view(c.left(), c.top(), c.width(), 200);
    s.Block(view, "Webcam picture");
    s.Block(QRect(c.left(), view.bottom() + 8, c.width(), 30), "Viewers and controls");
    s.Advert(QRect(c.left(), view.bottom() + 46, c.width(), c.bottom() - view.bottom() - 46), "Webcam Advert");
}

void DrawVideoCall(Sketch& s)
{
    const QRect c = s.Window(QRect(8, 8, 464, 536), "Conversation");
    s.Block(QRect(c.left(), c.top(), c.width(), 34), "Toolbar");
    const QRect talk(c.left(), c.top() + 42, c.width(), c.height() - 170);
    s.Block(talk);
    s.Lines(QRect(talk.left(), talk.top(), talk.width(), 70), 22, 6);
    s.Advert(QRect(talk.left() + 40, talk.top() + 90, talk.width() - 80, talk.height() - 150), "Video Call Advert");
    s.Lines(QRect(talk.left(), talk.bottom() - 52, talk.width(), 52), 22, 7);
    s.Block(QRect(c.left(), c.bottom() - 118, c.width(), 90), "Type a message");
    s.Block(QRect(c.left(), c.bottom() - 22, c.width(), 22));
}

void DrawStatusBar(Sketch& s)
{
    const QRect c = s.Window(QRect(8, 8, 505, 441), "Conversation");
    s.Block(QRect(c.left(), c.top(), c.width(), 34), "Toolbar");
    const QRect talk(c.left(), c.top() + 42, c.width(), c.height() - 190);
    s.Block(talk);
    s.Lines(talk, 22, 8);
    s.Block(QRect(c.left(), talk.bottom() + 8, c.width(), 90), "Type a message");
    const QRect bar(c.left(), c.bottom() - 30, c.width(), 30);
    s.Block(bar);
    const QRect advert(bar.left() + bar.width() / 3, bar.top(), bar.width() * 2 / 3, bar.height());
    s.Advert(advert, {});
    s.Callout(QRect(c.left() + 150, talk.top() + 60, 300, 70), QPoint(advert.center().x(), advert.top() - 2),
              "IM Statusbar Advert");
}

struct Picture {
    const char* fileName;
    int width;
    int height;
    int fontSize;
    std::function<void(Sketch&)> draw;
};

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvex_previews <output folder>\n");
        return 2;
    }
    const Picture pictures[] = {
        {"main.jpg", 277, 555, 22, DrawMain},        {"change.jpg", 704, 409, 36, DrawChangeRoom},
        {"chat.jpg", 704, 549, 40, DrawChatRoom},    {"webcam.jpg", 380, 416, 30, DrawWebcam},
        {"vidad.jpg", 480, 552, 32, DrawVideoCall},  {"IMStatus.jpg", 521, 457, 32, DrawStatusBar},
    };
    for (const Picture& picture : pictures) {
        Sketch sketch(picture.width, picture.height, picture.fontSize);
        picture.draw(sketch);
        const QString path = QString::fromLocal8Bit(argv[1]) + "/" + picture.fileName;
        if (!sketch.Save(path)) {
            std::fprintf(stderr, "quorvex_previews: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
