#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <array>

namespace gridvane::testing {

// What the server answers on one path.
struct ScriptedReply
{
    int status = 200;
    QByteArray reason = "OK";
    QByteArray contentType = "text/html";
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool gzip = false; // body sent gzip-compressed, with Content-Encoding: gzip
    int delayMs = 0; // answer this long after the request came in
    bool held = false; // answer only on release(), so never unless the test releases it
};

inline ScriptedReply htmlPage(
    const QByteArray& body, int status = 200, const QByteArray& reason = "OK")
{
    ScriptedReply reply;
    reply.status = status;
    reply.reason = reason;
    reply.body = body;
    return reply;
}

inline ScriptedReply redirectTo(const QByteArray& location)
{
    ScriptedReply reply = htmlPage("<p>Moved</p>", 302, "Found");
    reply.headers.append({ "Location", location });
    return reply;
}

// A gzip member holding the data, deflated by qCompress (whose zlib wrapper is swapped for
// the gzip one).
inline QByteArray gzipped(const QByteArray& data)
{
    std::array<quint32, 256> table {};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data)
        crc = table[(crc ^ static_cast<quint8>(byte)) & 0xFF] ^ (crc >> 8);
    crc ^= 0xFFFFFFFFu;

    const auto littleEndian = [](quint32 value) {
        QByteArray bytes;
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    // qCompress: 4-byte length, 2-byte zlib header, raw deflate, 4-byte Adler-32.
    const QByteArray deflated = qCompress(data, 9).mid(6).chopped(4);
    return QByteArray("\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03", 10) + deflated + littleEndian(crc)
        + littleEndian(static_cast<quint32>(data.size()));
}

// A small HTTP/1.1 server on 127.0.0.1 that answers GET requests from a script of replies
// by path; unknown paths get a 404. Each connection carries one request and is then closed.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                    [this, socket] { readRequest(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                    m_pending.remove(socket);
                    socket->deleteLater();
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    ~LoopbackServer()
    {
        // The sockets go first, silently, while everything their handlers touch still exists.
        for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) {
            socket->disconnect();
            delete socket;
        }
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void on(const QByteArray& path, const ScriptedReply& reply) { m_replies.insert(path, reply); }

    // Held requests whose client is still connected.
    int heldConnections() const
    {
        int open = 0;
        for (const auto& [socket, reply] : m_held)
            open += socket && socket->state() == QAbstractSocket::ConnectedState;
        return open;
    }

    // Answers every held request now.
    void release()
    {
        const auto held = std::exchange(m_held, {});
        for (const auto& [socket, reply] : held) {
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
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = pending.left(end);
        m_pending.remove(socket);
        requests.append(head);

        const QByteArray path = head.split(' ').value(1);
        const ScriptedReply reply = m_replies.value(
            path, htmlPage("<html><body><p>No such page here</p></body></html>", 404, "Not Found"));
        if (reply.held)
            m_held.append({ socket, reply });
        else if (reply.delayMs > 0)
            QTimer::singleShot(
                reply.delayMs, socket, [this, socket, reply] { answer(socket, reply); });
        else
            answer(socket, reply);
    }

    void answer(QTcpSocket* socket, const ScriptedReply& reply)
    {
        const QByteArray body = reply.gzip ? gzipped(reply.body) : reply.body;
        QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason
            + "\r\nContent-Type: " + reply.contentType + "\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
        if (reply.gzip)
            response += "Content-Encoding: gzip\r\n";
        for (const auto& [name, value] : reply.headers)
            response += name + ": " + value + "\r\n";
        socket->write(response + "\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, ScriptedReply> m_replies;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<std::pair<QPointer<QTcpSocket>, ScriptedReply>> m_held;
};

} // namespace gridvane::testing
