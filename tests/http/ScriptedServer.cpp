#include "ScriptedServer.h"

#include <gtest/gtest.h>

#include <array>

namespace quorvex::test {

TScript& TScript::ReadRequest()
{
    steps_.push_back({TStep::stepRead, {}, 0});
    return *this;
}

TScript& TScript::Send(const std::string& bytes)
{
    steps_.push_back({TStep::stepSend, bytes, 0});
    return *this;
}

TScript& TScript::SendInPieces(const std::string& bytes, std::size_t pieceSize, int pauseMs)
{
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize)
        Send(bytes.substr(at, pieceSize)).Pause(pauseMs);
    return *this;
}

TScript& TScript::Pause(int ms)
{
    steps_.push_back({TStep::stepPause, {}, ms});
    return *this;
}

TScript& TScript::Close()
{
    steps_.push_back({TStep::stepClose, {}, 0});
    return *this;
}

// Plays one script on one accepted connection.
class TScriptedServer::TRunner {
public:
    TRunner(std::unique_ptr<TTcpSocket> socket, TScript script, std::vector<std::string>& requests)
        : socket_(std::move(socket)), script_(std::move(script)), requests_(requests)
    {
        socket_->OnDataAvailable = [this] { Receive(); };
    }

    void Advance()
    {
        waitingForRequest_ = false;
        while (next_ < script_.Steps().size()) {
            const TScript::TStep& step = script_.Steps()[next_];
            switch (step.Kind) {
            case TScript::TStep::stepRead: {
                const std::size_t end = received_.find("\r\n\r\n");
                if (end == std::string::npos) {
                    waitingForRequest_ = true;
                    return;
                }
                requests_.push_back(received_.substr(0, end + 4));
                received_.erase(0, end + 4);
                break;
            }
            case TScript::TStep::stepSend:
                socket_->Send(step.Bytes);
                break;
            case TScript::TStep::stepPause:
                ++next_;
                pause_.emplace(step.Ms, [this] { Advance(); }, true);
                return;
            case TScript::TStep::stepClose:
                socket_->Close();
                break;
            }
            ++next_;
        }
    }

private:
    void Receive()
    {
        std::array<char, 4096> buffer;
        for (std::int64_t count; (count = socket_->Receive(buffer.data(), buffer.size())) > 0;)
            received_.append(buffer.data(), static_cast<std::size_t>(count));
        if (waitingForRequest_)
            Advance();
    }

    std::unique_ptr<TTcpSocket> socket_;
    TScript script_;
    std::vector<std::string>& requests_;
    std::string received_;
    std::size_t next_ = 0;
    bool waitingForRequest_ = false;
    std::optional<TTestTimer> pause_;
};

TScriptedServer::TScriptedServer()
{
    listener_.OnSessionAvailable = [this] { Accept(); };
    try {
        listener_.Listen("127.0.0.1", 0);
        port_ = listener_.Port();
    } catch (const ESocketException& error) {
        ADD_FAILURE() << "the scripted server cannot listen: " << error.Message();
    }
}

TScriptedServer::~TScriptedServer() = default;

std::string TScriptedServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

TScript& TScriptedServer::Connection()
{
    return scripts_.emplace_back();
}

void TScriptedServer::Accept()
{
    for (;;) {
        auto socket = std::make_unique<TTcpSocket>();
        try {
            if (!listener_.Accept(*socket))
                return;
        } catch (const ESocketException& error) {
            ADD_FAILURE() << "the scripted server cannot accept: " << error.Message();
            listener_.Close();
            return;
        }
        const std::size_t index = peers_.size();
        peers_.push_back(socket->PeerAddr());
        TScript script = index < scripts_.size() ? scripts_[index] : TScript().Close();
        runners_.push_back(std::make_unique<TRunner>(std::move(socket), std::move(script), requests_));
        runners_.back()->Advance();
    }
}

std::string Response(const std::string& statusLine, const std::string& body, const std::string& extraHeader)
{
    return statusLine + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeader + "\r\n" + body;
}

}  // namespace quorvex::test
