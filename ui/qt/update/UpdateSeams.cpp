#include "ui/qt/update/UpdateSeams.h"

#include "platform/ProgramStart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

namespace quorvex {
namespace {

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::Plain: return QMessageBox::NoIcon;
    case TMsgDlgType::Information: return QMessageBox::Information;
    case TMsgDlgType::Confirmation: return QMessageBox::Question;
    case TMsgDlgType::Warning: return QMessageBox::Warning;
    case TMsgDlgType::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(TMsgDlgButtons buttons)
{
    switch (buttons) {
    case TMsgDlgButtons::Ok: return QMessageBox::Ok;
    case TMsgDlgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgDlgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case TMsgDlgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

TModalResult ResultOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return TModalResult::Yes;
    case QMessageBox::No: return TModalResult::No;
    case QMessageBox::Cancel: return TModalResult::Cancel;
    default: return TModalResult::Ok;
    }
}

// Texts break their lines at a carriage return as the Windows message box
// does; Qt's breaks only at a line feed.
QString WithLineFeeds(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

class TDesktopMessageBoxes final : public IMessageBoxes {
public:
    TModalResult Show(const std::string& caption, const std::string& text, TMsgDlgType type,
                      TMsgDlgButtons buttons) override
    {
        QMessageBox box(IconOf(type), QString::fromStdString(caption), WithLineFeeds(QString::fromStdString(text)),
                        ButtonsOf(buttons), QApplication::activeWindow());
        return ResultOf(box.exec());
    }
};

bool IsUrl(const QString& target)
{
    const QUrl url(target);
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

// Windows programs (the messenger, an installer) start through the platform
// (under Wine in the prefix in use). Everything else goes to the desktop's handler for the URL or
// file.
class TDesktopShell final : public IShell {
public:
    using IShell::Open;

    void Open(const std::string& /*verb*/, const std::string& targetText, int /*showCommand*/,
              TFailure onFailure) override
    {
        const QString target = QString::fromStdString(targetText);
        if (target.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
            StartProgram(targetText, {}, std::move(onFailure));
            return;
        }
        const QUrl url = IsUrl(target) ? QUrl(target) : QUrl::fromLocalFile(target);
        if (!QDesktopServices::openUrl(url) && onFailure)
            onFailure("The desktop could not open it.");
    }
};

// Qt ignores a quit before its event loop runs, so the request is also
// remembered for the start-up to look at.
class TDesktopApplicationControl final : public IApplicationControl {
public:
    void Terminate() override
    {
        requested_ = true;
        QCoreApplication::quit();
    }
    bool TerminateRequested() const override { return requested_; }

private:
    bool requested_ = false;
};

class TDesktopDeadlineTimer final : public IDeadlineTimer {
public:
    TDesktopDeadlineTimer()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (expired_)
                expired_();
        });
    }
    void Start(std::chrono::milliseconds time, std::function<void()> expired) override
    {
        expired_ = std::move(expired);
        timer_.start(time);
    }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
    std::function<void()> expired_;
};

}  // namespace

std::shared_ptr<IDeadlineTimer> DesktopDeadlineTimer()
{
    return std::make_shared<TDesktopDeadlineTimer>();
}

std::shared_ptr<IMessageBoxes> DesktopMessageBoxes()
{
    return std::make_shared<TDesktopMessageBoxes>();
}

std::shared_ptr<IShell> DesktopShell()
{
    return std::make_shared<TDesktopShell>();
}

std::shared_ptr<IApplicationControl> DesktopApplicationControl()
{
    return std::make_shared<TDesktopApplicationControl>();
}

}  // namespace quorvex
