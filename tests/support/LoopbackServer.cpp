#include "support/LoopbackServer.h"

#include <algorithm>
#include <memory>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace korvane {

constexpr qint64 kChunk = 1 << 20;
// What one turn of the server's event loop adds to a connection: a body repeated in pieces of a
// few bytes takes many writes, and the bytes leave only between turns.
constexpr qint64 kTurnBytes = 64 << 10;

LoopbackServer::LoopbackServer()
{
    Start(new QTcpServer);
}

LoopbackServer::LoopbackServer(const QByteArray& certificatePem, const QByteArray& keyPem)
    : m_tls(true)
{
    auto* listener = new QSslServer;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromData(certificatePem));
    tls.setPrivateKey(QSslKey(keyPem, QSsl::Rsa));
    tls.setProtocol(QSsl::TlsV1_2);
    listener->setSslConfiguration(tls);
    Start(listener);
}

void LoopbackServer::Start(QTcpServer* listener)
{
    // Everything is set up before the thread starts, so no set-up crosses between threads.
    m_context = new QObject; // deleted in its thread when the thread ends
    listener->setParent(m_context);
    if (!listener->listen(QHostAddress::LocalHost, 0))
        qFatal("the loopback server cannot listen");
    m_port = listener->serverPort();
    QObject::connect(listener, &QTcpServer::pendingConnectionAvailable, listener, [this, listener] {
        while (QTcpSocket* socket = listener->nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                const bool answered = request->contains("\r\n\r\n");
                *request += socket->readAll();
                if (!answered && request->contains("\r\n\r\n"))
                    Respond(socket, *request);
            });
        }
    });
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

LoopbackServer::~LoopbackServer()
{
    m_context->deleteLater();
    m_thread.quit();
    m_thread.wait();
    // What the server's thread recorded goes under the lock it was recorded under: a wait for a
    // thread that has already ended orders nothing that the thread checker can see.
    const std::lock_guard lock(m_mutex);
    m_requests.clear();
    m_routes.clear();
}

void LoopbackServer::SetRoute(const QByteArray& path, const Route& route)
{
    const std::lock_guard lock(m_mutex);
    m_routes.insert(path, route);
}

std::string LoopbackServer::Url(std::string_view path) const
{
    return (m_tls ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(m_port) +
           std::string(path);
}

QList<QMap<QByteArray, QByteArray>> LoopbackServer::Requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

quint16 LoopbackServer::ClosedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free loopback port");
    return probe.serverPort(); // closed when probe goes
}

namespace {

// The CRC-32 of the gzip trailer (the polynomial of RFC 1952), bit by bit: bodies are small.
quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendLittleEndian(QByteArray& out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((value >> shift) & 0xFFu));
}

} // namespace

QByteArray LoopbackServer::Gzip(const QByteArray& bytes)
{
    // qCompress gives a 4-byte length, a 2-byte zlib header, the deflate stream and a 4-byte
    // Adler-32: the deflate stream goes between a gzip header and a gzip trailer instead.
    const QByteArray zlib = qCompress(bytes, 9);
    constexpr qsizetype kPrefix = 4 + 2;
    constexpr qsizetype kAdler = 4;
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff", 10);
    out.append(zlib.mid(kPrefix, zlib.size() - kPrefix - kAdler));
    AppendLittleEndian(out, Crc32(bytes));
    AppendLittleEndian(out, static_cast<quint32>(bytes.size()));
    return out;
}

void LoopbackServer::Respond(QTcpSocket* socket, const QByteArray& text)
{
    const QList<QByteArray> lines = text.left(text.indexOf("\r\n\r\n")).split('\n');
    QMap<QByteArray, QByteArray> headers;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    Route route;
    {
        const std::lock_guard lock(m_mutex);
        route = m_routes.value(lines.value(0).split(' ').value(1));
        m_requests.append(headers);
    }
    if (route.delayMs > 0)
        QTimer::singleShot(route.delayMs, socket, [socket, route] { Send(socket, route); });
    else
        Send(socket, route);
}

void LoopbackServer::Send(QTcpSocket* socket, const Route& route)
{
    socket->write((route.http10 ? "HTTP/1.0 " : "HTTP/1.1 ") + QByteArray::number(route.status) +
                  " Status\r\n" + route.headers);
    if (route.chunked)
        socket->write("Transfer-Encoding: chunked\r\n");
    else if (route.announceLength)
        socket->write("Content-Length: " +
                      QByteArray::number(std::max(route.body.size(), route.sentBytes)) + "\r\n");
    socket->write("Connection: close\r\n\r\n");
    auto sent = std::make_shared<qint64>(0);
    auto ended = std::make_shared<bool>(false);
    // A chunk at a time, so a large body never sits whole in the socket's buffer; when the body
    // trickles, one piece a tick. A body sent beyond its size starts again from its beginning.
    const qint64 piece = route.intervalMs > 0 ? route.pieceBytes : kChunk;
    const auto pump = [socket, route, sent, ended, piece] {
        const qint64 turnEnd = *sent + kTurnBytes;
        while (*sent < route.sentBytes && !route.body.isEmpty() &&
               socket->bytesToWrite() < kChunk && *sent < turnEnd) {
            const qint64 at = *sent % route.body.size();
            const qint64 n = std::min({piece, route.sentBytes - *sent, route.body.size() - at});
            if (route.chunked)
                socket->write(QByteArray::number(n, 16) + "\r\n");
            socket->write(route.body.constData() + at, n);
            if (route.chunked)
                socket->write("\r\n");
            *sent += n;
            if (route.intervalMs > 0)
                break;
        }
        if (*sent >= route.sentBytes && route.closeAfter && !*ended) {
            *ended = true;
            if (route.chunked)
                socket->write("0\r\n\r\n");
            socket->disconnectFromHost(); // after what is buffered has gone out
        }
    };
    if (route.intervalMs > 0) {
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, pump);
        timer->start(route.intervalMs);
    } else {
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pump);
        pump();
    }
}

} // namespace korvane
