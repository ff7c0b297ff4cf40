#include "ui/Application.h"

#include "platform/Error.h"
#include "ui/Seams.h"

#include <QFont>
#include <QIcon>

#include <exception>

// The artwork is compiled into the static ui library; the linker keeps it only
// when something calls its initialiser, which must be outside any namespace.
static void InitArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace quorvex {
namespace {

// The windows are laid out for the narrow Windows fonts they name; where
// those are missing, a condensed font keeps every caption inside its control.
void SubstituteWindowsFonts()
{
    const QStringList narrow{QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow")};
    for (const char* family : {"Tahoma", "Trebuchet MS", "Arial", "Segoe UI", "Calibri"})
        QFont::insertSubstitutions(QString::fromLatin1(family), narrow);
}

}  // namespace

void ReportApplicationError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorReportText(message.toStdString()));
    Seams().Messages->Show(QApplication::activeWindow(), QString::fromLatin1(kApplicationTitle), text,
                           TMsgDlgType::Error, TMsgDlgButtons::Ok);
}

TQuorvexApplication::TQuorvexApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    InitArtwork();
    SubstituteWindowsFonts();
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(QIcon(QStringLiteral(":/artwork/quorvex.png")));
    // Closing the main window ends the program (it exits the event loop
    // itself); quitting on the last window would close the other windows first
    // and so run their close behaviour.
    setQuitOnLastWindowClosed(false);
}

bool RunReportingErrors(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        ReportApplicationError(QString::fromStdString(error.what()));
    } catch (...) {
        ReportApplicationError(QString::fromStdString(std::string(kUnknownError)));
    }
    return false;
}

bool TQuorvexApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = true;
    RunReportingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace quorvex
