#include "ui/qt/Application.h"

#include "forms/ErrorReport.h"
#include "platform/Error.h"
#include "ui/qt/CommandLine.h"
#include "ui/qt/Seams.h"

#include <quorvex/BuildConfig.h>

#include <QFont>
#include <QIcon>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

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

struct THeldMessage {
    QtMsgType Type;
    QByteArray Category;
    QString Text;
};

// The window system's messages while the application object starts, and the
// message handler that the guard stands in front of.
std::vector<THeldMessage> heldMessages;
QtMessageHandler guardedHandler = nullptr;

bool IsWindowSystemCategory(const char* category)
{
    return category != nullptr && QByteArrayView(category).startsWith("qt.qpa");
}

// The first held window-system warning, which names the cause (the plugins'
// later complaints only follow from it), else the toolkit's own fatal message;
// its first line.
QString StartFailureReason(const QString& fatal)
{
    const auto cause = std::ranges::find_if(
        heldMessages, [](const THeldMessage& held) { return held.Type != QtDebugMsg && held.Type != QtInfoMsg; });
    return (cause != heldMessages.end() ? cause->Text : fatal).section(QLatin1Char('\n'), 0, 0);
}

void GuardStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fputs(CannotShowWindowsLine(StartFailureReason(text).toStdString()).c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (IsWindowSystemCategory(context.category)) {
        heldMessages.push_back({type, context.category, text});
        return;
    }
    guardedHandler(type, context, text);
}

}  // namespace

TWindowSystemStartGuard::TWindowSystemStartGuard()
{
    guardedHandler = qInstallMessageHandler(GuardStartMessage);
}

TWindowSystemStartGuard::~TWindowSystemStartGuard()
{
    Release();
}

void TWindowSystemStartGuard::Release()
{
    if (released_)
        return;
    released_ = true;
    qInstallMessageHandler(guardedHandler);
    for (const THeldMessage& held : std::exchange(heldMessages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.Category.constData());
        qt_message_output(held.Type, context, held.Text);
    }
}

void ReportApplicationError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorReportText(message.toStdString()));
    Seams().Messages->Show(kApplicationTitle, text.toStdString(), TMsgDlgType::Error, TMsgDlgButtons::Ok);
}

TQuorvexApplication::TQuorvexApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Release();
    InitArtwork();
    SubstituteWindowsFonts();
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    // The desktop matches the windows to the installed entry and its icon by this.
    setDesktopFileName(QString::fromLatin1(config::kDesktopId));
    setWindowIcon(QIcon(QStringLiteral(":/artwork/quorvex.png")));
    // Closing the main window ends the program (it exits the event loop
    // itself); quitting on the last window would close the other windows first
    // and so run their close behaviour.
    setQuitOnLastWindowClosed(false);
}

bool RunReportingErrors(const std::function<void()>& action)
{
    return RunReportingErrors(action,
                              [](const std::string& message) { ReportApplicationError(QString::fromStdString(message)); });
}

bool TQuorvexApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = true;
    RunReportingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace quorvex
