#pragma once

#include <atomic>
#include <mutex>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QThread>
#include <string>
#include <string_view>

class QTcpServer;
class QTcpSocket;

namespace korvane {

// An HTTP or HTTPS server on 127.0.0.1, started by the constructor and stopped by the destructor.
// It runs on a thread of its own, so a test blocked in a transfer or a modal message box is still
// answered. Each path gets a behaviour, good or bad; other paths answer 404.
class LoopbackServer
{
public:
    struct Route
    {
        int status = 404;
        QByteArray body{};
        qint64 sentBytes = 0;       // how much is sent; beyond the body's size it repeats
        bool announceLength = true; // announce the whole body's length
        bool closeAfter = true;     // close once sentBytes are out; else stay silent
        int pieceBytes = 0;         // with intervalMs: send the body slowly
        int intervalMs = 0;
        QByteArray headers{}; // more header lines, each ending in \r\n
        bool chunked = false; // in chunks, without a length
        bool http10 = false;  // an HTTP/1.0 answer
        int delayMs = 0;      // how long the answer waits before its first byte
    };

    LoopbackServer();
    // HTTPS, presenting the certificate (PEM, with its chain) and its private key.
    LoopbackServer(const QByteArray& certificatePem, const QByteArray& keyPem);
    ~LoopbackServer();

    void Serve(const QByteArray& path, const QByteArray& body)
    {
        SetRoute(path, {200, body, body.size()});
    }
    void SetRoute(const QByteArray& path, const Route& route);

    std::string Url(std::string_view path) const;
    // The header fields of each request so far, their names in lower case.
    QList<QMap<QByteArray, QByteArray>> Requests() const;
    static quint16 ClosedPort(); // a loopback port on which nothing listens
    // The bytes gzip-compressed, for a body sent with "Content-Encoding: gzip".
    static QByteArray Gzip(const QByteArray& bytes);

private:
    void Start(QTcpServer* listener);
    void Respond(QTcpSocket* socket, const QByteArray& request);
    static void Send(QTcpSocket* socket, const Route& route);

    QThread m_thread;
    QObject* m_context = nullptr; // lives in m_thread; parent of the listener and connections
    std::atomic<quint16> m_port{0};
    bool m_tls = false;
    mutable std::mutex m_mutex; // a lock the thread checker sees, unlike QMutex from a release Qt
    QMap<QByteArray, Route> m_routes;
    QList<QMap<QByteArray, QByteArray>> m_requests;
};

} // namespace korvane
