#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <optional>
#include <utility>

namespace gridvane::testing {

// How an answer goes out: all at once; one byte a second; the head with no length, then the
// body over and over for as long as the client reads; or, under the length of the whole body,
// only its first half before the connection closes.
enum class Pace { allAtOnce, oneByteASecond, endless, closedMidBody };

// What the server answers on one path.
struct ScriptedReply
{
    int status = 200;
    QByteArray reason = "OK";
    QByteArray contentType = "text/html";
    QByteArray headers = {}; // further header lines, each ending in CR LF
    QByteArray body = {};
    bool gzip = false; // body sent gzip-compressed, with Content-Encoding: gzip
    bool held = false; // answer only on release(), so never unless the test releases it
    Pace pace = Pace::allAtOnce;
};

inline ScriptedReply htmlPage(
    const QByteArray& body, int status = 200, const QByteArray& reason = "OK")
{
    return { .status = status, .reason = reason, .body = body };
}

inline ScriptedReply redirectTo(const QByteArray& location)
{
    return { .status = 302, .reason = "Found", .headers = "Location: " + location + "\r\n" };
}

// A gzip member holding the data: qCompress's raw deflate stream with the gzip header and
// trailer in place of zlib's.
inline QByteArray gzipped(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    QByteArray trailer(8, '\0');
    qToLittleEndian<quint32>(~crc, trailer.data());
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), trailer.data() + 4);
    // qCompress: 4-byte length, 2-byte zlib header, raw deflate, 4-byte Adler-32.
    return QByteArray("\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03", 10)
        + qCompress(data, 9).mid(6).chopped(4) + trailer;
}

// A small HTTP/1.1 server on 127.0.0.1 that answers GET requests from a script of replies
// by path; unknown paths get a 404. Each connection carries one request and is then closed.
// Given a TLS configuration, it speaks https instead.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                    [this, socket] { readRequest(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    bool isListening() const { return m_server.isListening(); }
    void serveTls(const QSslConfiguration& tls) { m_server.tls = tls; }
    QString url(const QString& path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(m_server.tls ? "https" : "http")
            .arg(m_server.serverPort())
            .arg(path);
    }
    void on(const QByteArray& path, const ScriptedReply& reply) { m_replies.insert(path, reply); }

    // Held requests whose client is still connected.
    int heldConnections() const
    {
        return int(std::count_if(m_held.cbegin(), m_held.cend(), [](const auto& held) {
            return held.first && held.first->state() == QAbstractSocket::ConnectedState;
        }));
    }

    // Answers every held request now.
    void release()
    {
        for (const auto& [socket, reply] : std::exchange(m_held, {})) {
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                answer(socket, reply);
        }
    }

    bool lastRequestWas(const QByteArray& path) const
    {
        return !requests.isEmpty() && requests.last().startsWith("GET " + path + ' ');
    }

    // The request heads received, in order.
    QList<QByteArray> requests;

private:
    void readRequest(QTcpSocket* socket)
    {
        // The head stays in the socket's buffer until all of it has come.
        const qsizetype end = socket->peek(socket->bytesAvailable()).indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = socket->read(end);
        socket->readAll();
        requests.append(head);

        const ScriptedReply reply = m_replies.value(head.split(' ').value(1),
            htmlPage("<html><body><p>No such page here</p></body></html>", 404, "Not Found"));
        if (reply.held)
            m_held.append({ socket, reply });
        else
            answer(socket, reply);
    }

    static void answer(QTcpSocket* socket, const ScriptedReply& reply)
    {
        const QByteArray body = reply.gzip ? gzipped(reply.body) : reply.body;
        const QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason
            + "\r\nContent-Type: " + reply.contentType + "\r\n"
            + (reply.pace == Pace::endless
                    ? QByteArray()
                    : "Content-Length: " + QByteArray::number(body.size()) + "\r\n")
            + "Connection: close\r\n" + (reply.gzip ? "Content-Encoding: gzip\r\n" : "")
            + reply.headers + "\r\n";
        if (reply.pace == Pace::endless) {
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket, body] {
                if (socket->bytesToWrite() < body.size())
                    socket->write(body);
            });
            socket->write(head);
            return;
        }
        if (reply.pace == Pace::oneByteASecond) {
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket,
                [socket, timer, bytes = head + body, sent = qsizetype(0)]() mutable {
                    socket->write(bytes.mid(sent++, 1));
                    if (sent == bytes.size())
                        timer->stop(), socket->disconnectFromHost();
                });
            timer->start(1000);
            return;
        }
        socket->write(
            head + (reply.pace == Pace::closedMidBody ? body.left(body.size() / 2) : body));
        socket->disconnectFromHost();
    }

    // Hands out TLS sockets, their server handshake started, once serveTls has been called.
    struct Listener : QTcpServer
    {
        std::optional<QSslConfiguration> tls;
        void incomingConnection(qintptr descriptor) override
        {
            if (!tls)
                return QTcpServer::incomingConnection(descriptor);
            auto* socket = new QSslSocket(this);
            socket->setSslConfiguration(*tls);
            socket->setSocketDescriptor(descriptor);
            socket->startServerEncryption();
            addPendingConnection(socket);
        }
    };
    Listener m_server;
    QHash<QByteArray, ScriptedReply> m_replies;
    QList<std::pair<QPointer<QTcpSocket>, ScriptedReply>> m_held;
};

} // namespace gridvane::testing
