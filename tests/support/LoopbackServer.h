#pragma once

#include <atomic>
#include <mutex>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QThread>
#include <string>
#include <string_view>

class QTcpSocket;

// An HTTP or HTTPS server on 127.0.0.1, started by the constructor and stopped by the destructor.
// It runs on a thread of its own, so a test blocked in a transfer or a modal message box is still
// answered. Each path gets a behaviour, good or bad; other paths answer 404.
class LoopbackServer
{
public:
    // The certificate (PEM, with its chain) and private key an HTTPS server presents.
    struct Identity
    {
        QByteArray certificatePem;
        QByteArray keyPem;
    };

    struct Request
    {
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // names in lower case
    };

    struct Route
    {
        int status = 404;
        QByteArray body{};
        qint64 sentBytes = 0; // how much of the body is sent
        bool bLength = true;  // announce the whole body's length
        bool bClose = true;   // close once sentBytes are out; else stay silent
        int pieceBytes = 0;   // with intervalMs: send the body slowly
        int intervalMs = 0;
        QByteArray headers{}; // more header lines, each ending in \r\n
    };

    LoopbackServer();
    explicit LoopbackServer(const Identity& identity); // HTTPS
    ~LoopbackServer();

    void Serve(const QByteArray& path, const QByteArray& body)
    {
        SetRoute(path, {200, body, body.size()});
    }
    void Answer(const QByteArray& path, int status) { SetRoute(path, {status, {}, 0}); }
    // Announces the whole body but sends only its first sentBytes, then closes or falls silent.
    void Cut(const QByteArray& path, const QByteArray& body, qint64 sentBytes, bool bClose)
    {
        SetRoute(path, {200, body, sentBytes, true, bClose});
    }
    // No length: the body ends where the connection closes.
    void ServeUntilClose(const QByteArray& path, const QByteArray& body)
    {
        SetRoute(path, {200, body, body.size(), false});
    }
    void Trickle(const QByteArray& path, const QByteArray& body, int pieceBytes, int intervalMs)
    {
        SetRoute(path, {200, body, body.size(), true, true, pieceBytes, intervalMs});
    }
    // Answers with status and, unless it is empty, a Location header.
    void Redirect(const QByteArray& path, int status, const QByteArray& location)
    {
        SetRoute(path, {status,
                        {},
                        0,
                        true,
                        true,
                        0,
                        0,
                        location.isEmpty() ? QByteArray() : "Location: " + location + "\r\n"});
    }
    void SetRoute(const QByteArray& path, const Route& route);
    void ServeAnyPath(const QByteArray& body); // for every path without a route of its own

    std::string Url(std::string_view path) const;
    QList<Request> Requests() const;
    static quint16 ClosedPort(); // a loopback port on which nothing listens

private:
    void Start(class QTcpServer* listener);
    void Respond(QTcpSocket* socket, const QByteArray& request);

    QThread m_thread;
    QObject* m_pContext = nullptr; // lives in m_thread; parent of the listener and connections
    std::atomic<quint16> m_nPort{0};
    bool m_bTls = false;
    mutable std::mutex m_mutex; // a lock the thread checker sees, unlike QMutex from a release Qt
    QMap<QByteArray, Route> m_routes;
    Route m_fallback;
    QList<Request> m_requests;
};
