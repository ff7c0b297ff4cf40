#include "ScriptedServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace quorvex::test {

TScript& TScript::ReadRequest()
{
    steps_.push_back({TStep::stepRead, {}, 0});
    return *this;
}

TScript& TScript::Send(const QByteArray& bytes)
{
    steps_.push_back({TStep::stepSend, bytes, 0});
    return *this;
}

TScript& TScript::SendInPieces(const QByteArray& bytes, int pieceSize, int pauseMs)
{
    for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
        Send(bytes.mid(at, pieceSize)).Pause(pauseMs);
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
class TScriptedServer::TRunner : public QObject {
public:
    TRunner(QTcpSocket* socket, TScript script, QList<QByteArray>& requests)
        : socket_(socket), script_(std::move(script)), requests_(requests)
    {
        socket_->setParent(this);
        connect(socket_, &QTcpSocket::readyRead, this, [this] {
            received_ += socket_->readAll();
            if (waitingForRequest_)
                Advance();
        });
        Advance();
    }

private:
    void Advance()
    {
        waitingForRequest_ = false;
        while (next_ < script_.Steps().size()) {
            const TScript::TStep& step = script_.Steps()[next_];
            switch (step.Kind) {
            case TScript::TStep::stepRead: {
                const qsizetype end = received_.indexOf("\r\n\r\n");
                if (end < 0) {
                    waitingForRequest_ = true;
                    return;
                }
                requests_.append(received_.left(end + 4));
                received_.remove(0, end + 4);
                break;
            }
            case TScript::TStep::stepSend:
                socket_->write(step.Bytes);
                break;
            case TScript::TStep::stepPause:
                ++next_;
                QTimer::singleShot(step.Ms, this, [this] { Advance(); });
                return;
            case TScript::TStep::stepClose:
                socket_->disconnectFromHost();
                break;
            }
            ++next_;
        }
    }

    QTcpSocket* socket_;
    TScript script_;
    QList<QByteArray>& requests_;
    QByteArray received_;
    std::size_t next_ = 0;
    bool waitingForRequest_ = false;
};

TScriptedServer::TScriptedServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
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
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const std::size_t index = static_cast<std::size_t>(accepted_++);
        TScript script = index < scripts_.size() ? scripts_[index] : TScript().Close();
        runners_.push_back(std::make_unique<TRunner>(socket, std::move(script), requests_));
    }
}

QByteArray Response(const QByteArray& statusLine, const QByteArray& body, const QByteArray& extraHeader)
{
    return statusLine + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeader + "\r\n"
           + body;
}

}  // namespace quorvex::test
