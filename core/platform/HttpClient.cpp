#include "core/platform/HttpClient.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

constexpr char kUserAgent[] = "KorvaneMgrUpd";

// The system's proxy settings apply, as they do for the user's browser, except to this machine's
// own addresses: a proxy named in the environment must not carry a request meant for loopback.
class PreconfiguredProxies : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            (!address.isNull() && address.isLoopback()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

QNetworkRequest MakeRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    // Neither a local cache nor one on the way may answer: updates must come from the server.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    return request;
}

// Errors that stand for an HTTP answer (404, 500, ...) rather than a failed transfer.
bool IsHttpAnswer(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError ||
           (error >= QNetworkReply::ContentAccessDenied &&
            error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError &&
            error <= QNetworkReply::UnknownServerError);
}

// One GET from request to its end, driven by the reply's signals inside a local event loop.
class Transfer
{
public:
    Transfer(QNetworkReply& reply, std::chrono::milliseconds inactivityTimeout,
             const HttpClient::ResponseHandler& onResponse, const HttpClient::BodyHandler& onBody)
        : m_reply(reply), m_inactivityTimeout(inactivityTimeout), m_onResponse(onResponse),
          m_onBody(onBody)
    {}

    HttpClient::Result Run()
    {
        QObject::connect(&m_reply, &QNetworkReply::metaDataChanged, &m_loop,
                         [this] { OnHeaders(); });
        QObject::connect(&m_reply, &QNetworkReply::readyRead, &m_loop, [this] { OnBody(); });
        QObject::connect(&m_reply, &QNetworkReply::downloadProgress, &m_loop,
                         [this] { m_sinceActivity.restart(); });
        QObject::connect(&m_reply, &QNetworkReply::finished, &m_loop, &QEventLoop::quit);

        // A check a few times per timeout period is cheaper than restarting a timer per piece.
        QTimer watchdog;
        watchdog.setInterval(std::clamp(m_inactivityTimeout / 4, std::chrono::milliseconds(10),
                                        std::chrono::milliseconds(1000)));
        QObject::connect(&watchdog, &QTimer::timeout, &m_loop, [this] { CheckActivity(); });
        m_sinceActivity.start();
        watchdog.start();

        if (!m_reply.isFinished())
            m_loop.exec(QEventLoop::ExcludeUserInputEvents);
        watchdog.stop();
        if (!m_bStopped && !m_bTimedOut) {
            OnHeaders();
            OnBody(); // what arrived together with the end
        }
        return Finish();
    }

private:
    // Leaving the loop ends the transfer: the caller deletes the reply, which cancels it.
    void Stop()
    {
        m_bStopped = true;
        m_loop.quit();
    }

    void CheckActivity()
    {
        if (std::chrono::milliseconds(m_sinceActivity.elapsed()) >= m_inactivityTimeout) {
            m_bTimedOut = true;
            m_loop.quit();
        }
    }

    void OnHeaders()
    {
        if (m_bHeadersSeen || m_bStopped)
            return;
        const QVariant status = m_reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid())
            return;
        m_bHeadersSeen = true;
        m_sinceActivity.restart();
        m_result.response.nStatus = status.toInt();
        const QVariant length = m_reply.header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            m_result.response.contentLength = length.toULongLong();
        if (m_onResponse && !m_onResponse(m_result.response))
            Stop();
    }

    void OnBody()
    {
        OnHeaders();
        while (!m_bStopped && m_bHeadersSeen && m_reply.bytesAvailable() > 0) {
            const QByteArray piece = m_reply.read(m_reply.bytesAvailable());
            m_sinceActivity.restart();
            m_result.nReceived += static_cast<std::uint64_t>(piece.size());
            if (m_onBody && !m_onBody(std::string_view(piece.constData(), piece.size())))
                Stop();
        }
    }

    HttpClient::Result Finish()
    {
        using Outcome = HttpClient::Outcome;
        if (m_bTimedOut) {
            m_result.outcome = Outcome::InternetError;
            m_result.strError = "the server stopped answering";
        } else if (m_bStopped) {
            m_result.outcome = Outcome::Stopped;
        } else if (!m_bHeadersSeen || !IsHttpAnswer(m_reply.error())) {
            m_result.outcome = Outcome::InternetError;
            m_result.strError = m_reply.errorString().toStdString();
        } else if (m_result.response.contentLength &&
                   *m_result.response.contentLength != m_result.nReceived) {
            m_result.outcome = Outcome::InternetError;
            m_result.strError = "the body ended before its announced length";
        } else {
            m_result.outcome = Outcome::Completed;
        }
        return m_result;
    }

    QNetworkReply& m_reply;
    QEventLoop m_loop;
    const std::chrono::milliseconds m_inactivityTimeout;
    const HttpClient::ResponseHandler& m_onResponse;
    const HttpClient::BodyHandler& m_onBody;
    QElapsedTimer m_sinceActivity;
    HttpClient::Result m_result;
    bool m_bHeadersSeen = false;
    bool m_bStopped = false;
    bool m_bTimedOut = false;
};

} // namespace

HttpClient::HttpClient(std::chrono::milliseconds inactivityTimeout)
    : m_inactivityTimeout(inactivityTimeout), m_pManager(std::make_unique<QNetworkAccessManager>())
{
    m_pManager->setProxyFactory(new PreconfiguredProxies); // the manager owns it
    m_pManager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpClient::~HttpClient() = default;

HttpClient::Result HttpClient::Get(const std::string& url, const ResponseHandler& onResponse,
                                   const BodyHandler& onBody)
{
    // The URL's bytes go out as they are; only what may not stand in a URL is percent-encoded.
    const QUrl target = QUrl::fromEncoded(
        QByteArray(url.data(), static_cast<qsizetype>(url.size())), QUrl::TolerantMode);
    const QString scheme = target.scheme().toLower();
    // A list from the network must not make the program read local files or other schemes.
    if (!target.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        Result refused;
        refused.strError = "not an http or https URL: " + url;
        return refused;
    }
    const std::unique_ptr<QNetworkReply> reply(m_pManager->get(MakeRequest(target)));
    return Transfer(*reply, m_inactivityTimeout, onResponse, onBody).Run();
}
