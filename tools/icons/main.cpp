// Draws the application icon, as the window artwork shows it (a white Q with
// an orange dot on a rounded blue square), at every size of the desktop icon
// theme, each drawn for its own size rather than scaled from another:
//
//   quorvex_icons <output folder>
//
// writes <output folder>/hicolor/<N>x<N>/apps/com.example.Quorvex.png.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kSquare(0, 128, 192);
const QColor kLetter(255, 255, 255);
const QColor kDot(255, 176, 32);
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The artwork is 64 units square; every length below is in those units.
QImage DrawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / 64.0, size / 64.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(kSquare);
    painter.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(44);
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("Q"));
    const QRectF bounds = letter.boundingRect();
    letter.translate(30 - bounds.center().x(), 29 - bounds.center().y());
    painter.setBrush(kLetter);
    painter.drawPath(letter);

    painter.setBrush(kDot);
    painter.drawEllipse(QPointF(49, 49), 8.5, 8.5);
    painter.end();
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: quorvex_icons <output folder>\n", stderr);
        return 2;
    }
    for (const int size : kSizes) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = folder + QStringLiteral("/com.example.Quorvex.png");
        if (!QDir().mkpath(folder) || !DrawIcon(size).save(file)) {
            std::fprintf(stderr, "quorvex_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
