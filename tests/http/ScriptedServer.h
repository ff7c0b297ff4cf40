// A loopback HTTP server inside the test process, served by the same event
// loop that a synchronous Get pumps. Each accepted connection plays the next
// script: read a request, send bytes, pause, close.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>

#include <memory>
#include <string>
#include <vector>

namespace quorvex::test {

class TScript {
public:
    // Waits for a request header (up to the empty line) and records it.
    TScript& ReadRequest();
    TScript& Send(const QByteArray& bytes);
    // Sends the bytes in pieces of the given size with a pause after each.
    TScript& SendInPieces(const QByteArray& bytes, int pieceSize, int pauseMs);
    TScript& Pause(int ms);
    TScript& Close();
    // Reads a request, sends the response and closes.
    TScript& Respond(const QByteArray& response) { return ReadRequest().Send(response).Close(); }

    struct TStep {
        enum TKind { stepRead, stepSend, stepPause, stepClose } Kind;
        QByteArray Bytes;
        int Ms = 0;
    };
    const std::vector<TStep>& Steps() const { return steps_; }

private:
    std::vector<TStep> steps_;
};

class TScriptedServer {
public:
    TScriptedServer();
    ~TScriptedServer();

    quint16 Port() const { return server_.serverPort(); }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    // The script of the next connection to be accepted.
    TScript& Connection();
    // Every request header read so far, in arrival order.
    const QList<QByteArray>& Requests() const { return requests_; }
    int ConnectionsAccepted() const { return accepted_; }

private:
    class TRunner;
    void Accept();

    QTcpServer server_;
    std::vector<TScript> scripts_;
    std::vector<std::unique_ptr<TRunner>> runners_;
    QList<QByteArray> requests_;
    int accepted_ = 0;
};

// A status line, the header lines and a body with its Content-Length.
QByteArray Response(const QByteArray& statusLine, const QByteArray& body, const QByteArray& extraHeader = {});

}  // namespace quorvex::test
