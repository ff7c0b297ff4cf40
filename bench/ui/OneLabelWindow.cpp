// A window of the main window's size showing one line of text: the floor for
// Quorvex's start-up time, since any window with text pays the font set-up.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Label"));
    window.setFixedSize(521, 481);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Remove Main Messenger Advert"), &window));
    window.show();
    return QApplication::exec();
}
