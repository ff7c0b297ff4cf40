// An empty window of the main window's size: the floor for Quorvex's start-up time.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.setFixedSize(521, 481);
    window.show();
    return QApplication::exec();
}
