#pragma once

#include <QPointer>
#include <QProcess>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

namespace gridvane::testing {

// How an answer goes out: all at once; one byte a second; the head with no length, then the
// body over and over while the client reads; only the first half of the body; or the head alone.
enum class Pace { allAtOnce, oneByteASecond, endless, closedMidBody, headOnly };

struct ScriptedReply
{
    int status = 200;
    QByteArray reason = "OK";
    QByteArray headers = "Content-Type: text/html\r\n"; // lines ending in CR LF
    QByteArray body = {};
    bool held = false; // never answered
    Pace pace = Pace::allAtOnce;
};

inline ScriptedReply htmlPage(
    const QByteArray& body, int status = 200, const QByteArray& reason = "OK")
{
    return { .status = status, .reason = reason, .body = body };
}

// An HTTP server on 127.0.0.1 answering GET requests by path from a script (404 otherwise),
// one request per connection; https once serveTls has made it a key and certificate.
class LoopbackServer : public QTcpServer
{
public:
    LoopbackServer() { listen(QHostAddress::LocalHost, 0); }
    QString url(const QString& path) const
    {
        return QString("http%1://127.0.0.1:%2").arg(pem.isEmpty() ? "" : "s").arg(serverPort())
            + path;
    }
    void on(const QByteArray& path, const ScriptedReply& reply) { replies.insert(path, reply); }
    // Makes a key and a certificate for 127.0.0.1 in the file and serves https with them.
    bool serveTls(const QString& pemFile)
    {
        pem = pemFile;
        return !QProcess::execute("openssl",
            { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", pem,
                "-out", pem });
    }

    static void answer(QTcpSocket* socket, const ScriptedReply& reply)
    {
        const QByteArray& body = reply.body;
        const QByteArray bytes = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason
            + "\r\n" + reply.headers
            + (reply.pace == Pace::endless
                    ? ""
                    : "Content-Length: " + QByteArray::number(body.size()) + "\r\n")
            + "\r\n" + (reply.pace == Pace::closedMidBody ? body.left(body.size() / 2) : body);
        if (reply.pace == Pace::endless)
            connect(socket, &QTcpSocket::bytesWritten, socket, [socket, body] {
                if (socket->bytesToWrite() < body.size())
                    socket->write(body);
            });
        if (reply.pace == Pace::oneByteASecond) {
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket,
                [=, sent = 0]() mutable { socket->write(bytes.mid(sent++, 1)); });
            return timer->start(1000);
        }
        socket->write(
            reply.pace == Pace::headOnly ? bytes.left(bytes.indexOf("\r\n\r\n") + 4) : bytes);
        if (reply.pace != Pace::endless && reply.pace != Pace::headOnly)
            socket->disconnectFromHost();
    }

    QList<QByteArray> requests; // the requests, head and body, in order
    QList<QPointer<QTcpSocket>> held; // the connections of held requests, null once closed
    QHash<QByteArray, ScriptedReply> replies;
    QString pem;

private:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        if (!pem.isEmpty()) {
            socket->setPrivateKey(pem, QSsl::Ec);
            socket->setLocalCertificate(pem);
            socket->startServerEncryption();
        }
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            // The request stays in the buffer until its head and body have come.
            const QByteArray got = socket->peek(socket->bytesAvailable());
            const qsizetype end = got.indexOf("\r\n\r\n");
            const qsizetype length
                = got.mid(got.indexOf("Content-Length: ") + 16).split('\r')[0].toInt();
            if (end < 0 || got.size() < end + 4 + (got.contains("Content-Length: ") ? length : 0))
                return;
            requests.append(socket->readAll());
            const ScriptedReply reply = replies.value(requests.last().split(' ').value(1),
                htmlPage("<p>No such page here</p>", 404, "Not Found"));
            reply.held ? held.append(socket) : answer(socket, reply);
        });
    }
};

} // namespace gridvane::testing
