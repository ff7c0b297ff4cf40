// Seams that answer as a test tells them and record what the update
// checker asked of them.
#pragma once

#include "update/UpdateSeams.h"

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

namespace quorvex::test {

struct TShownMessage {
    QString Caption;
    QString Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    bool operator==(const TShownMessage&) const = default;
};

inline void PrintTo(const TShownMessage& message, std::ostream* out)
{
    *out << '"' << message.Caption.toStdString() << ": " << message.Text.toStdString() << '"';
}

class TFakeMessages final : public IMessageBoxes {
public:
    std::vector<TShownMessage> Shown;
    std::deque<TModalResult> Answers;  // Ok once they run out
    // Runs while a box is "open", before it is answered.
    std::function<void(const TShownMessage&)> WhileOpen;

    TModalResult Show(QWidget*, const QString& caption, const QString& text, TMsgDlgType type,
                      TMsgDlgButtons buttons) override
    {
        Shown.push_back({caption, text, type, buttons});
        if (WhileOpen)
            WhileOpen(Shown.back());
        if (Answers.empty())
            return TModalResult::Ok;
        const TModalResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

struct TShellRequest {
    QString Verb;
    QString Target;
    int ShowCommand;
    bool operator==(const TShellRequest&) const = default;
};

inline void PrintTo(const TShellRequest& request, std::ostream* out)
{
    *out << request.Verb.toStdString() << ' ' << request.Target.toStdString() << ' ' << request.ShowCommand;
}

class TFakeShell final : public IShell {
public:
    std::vector<TShellRequest> Requests;

    void Open(const QString& verb, const QString& target, int showCommand) override
    {
        Requests.push_back({verb, target, showCommand});
    }
};

class TFakeApplicationControl final : public IApplicationControl {
public:
    int Requests = 0;

    void Terminate() override { ++Requests; }
    bool TerminateRequested() const override { return Requests > 0; }
};

// The three fakes, installed in one set of seams.
struct TFakeUpdateSeams {
    std::shared_ptr<TFakeMessages> Messages = std::make_shared<TFakeMessages>();
    std::shared_ptr<TFakeShell> Shell = std::make_shared<TFakeShell>();
    std::shared_ptr<TFakeApplicationControl> Application = std::make_shared<TFakeApplicationControl>();
    TUpdateSeams Seams{Messages, Shell, Application};
};

}  // namespace quorvex::test
