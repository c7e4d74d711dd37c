#include "core/platform/HttpClient.h"

#include "core/platform/UrlText.h"
#include "res/Strings.h"

#include <algorithm>
#include <deque>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

namespace korvane {

namespace {

constexpr char kUserAgent[] = "KorvaneMgrUpd";
constexpr std::chrono::milliseconds kLongestTick{200};
// What Qt may hold of a body that the handlers have not taken yet. Beyond it Qt stops reading from
// the connection, so a server sending faster than the handlers take the bytes, or a body without
// a length, never piles up in memory.
constexpr qint64 kReadBufferBytes = 256 << 10;

// Qt's network thread passes each piece of a body on as it was cut (a chunk of a chunked body is
// one piece), and the reply tells of new bytes only once every piece sent so far has come
// through. A server that cuts a body into pieces of a few bytes would keep the first bytes from
// the handlers until the whole buffer had filled in such pieces (tens of thousands of them), long
// enough on a busy machine to pass for a stall. A buffer of one byte more than the handlers take
// lets a body that is too long through at once.
qint64 ReadBufferFor(std::uint64_t mostBody)
{
    if (mostBody >= static_cast<std::uint64_t>(kReadBufferBytes))
        return kReadBufferBytes;
    return static_cast<qint64>(mostBody) + 1; // never 0, which Qt takes for no limit
}

std::string Text(const char* text)
{
    return text;
}

template <class... Args> std::string Text(const char* text, const Args&... args)
{
    return QString::fromUtf8(text).arg(args...).toStdString();
}

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

bool IsHttp(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool IsHttps(const QUrl& url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

QNetworkRequest MakeRequest(const QUrl& url, const HttpClient::Options& options)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    // Neither a local cache nor one on the way may answer: updates must come from the server.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Redirects are followed below, where each hop is checked and a loop is named as one.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!options.extraAuthoritiesPem.empty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        for (const std::string& pem : options.extraAuthoritiesPem)
            tls.addCaCertificates(QSslCertificate::fromData(QByteArray::fromStdString(pem)));
        request.setSslConfiguration(tls);
    }
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

bool IsUntrustedChain(QSslError::SslError error)
{
    switch (error) {
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::CertificateUntrusted:
    case QSslError::UnableToVerifyFirstCertificate:
        return true;
    default:
        return false;
    }
}

std::string CertificateReason(const QList<QSslError>& errors)
{
    for (const QSslError& error : errors) {
        if (IsUntrustedChain(error.error()))
            return Text(strings::kReasonCertificateNotTrusted);
    }
    return Text(strings::kReasonCertificate, errors.value(0).errorString());
}

std::string NetworkReason(const QNetworkReply& reply, const QList<QSslError>& sslErrors)
{
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return Text(strings::kReasonConnectionRefused);
    case QNetworkReply::HostNotFoundError:
        return Text(strings::kReasonHostNotFound);
    case QNetworkReply::RemoteHostClosedError:
        return Text(strings::kReasonConnectionLost);
    case QNetworkReply::SslHandshakeFailedError:
        if (!sslErrors.isEmpty())
            return CertificateReason(sslErrors);
        break;
    default:
        break;
    }
    return reply.errorString().toStdString();
}

std::string RateText(std::uint64_t bytesPerSecond)
{
    if (bytesPerSecond >= 1024 && bytesPerSecond % 1024 == 0)
        return std::to_string(bytesPerSecond / 1024) + strings::kUnitKiBPerSecond;
    return std::to_string(bytesPerSecond) + strings::kUnitBytesPerSecond;
}

// A reason as it may be shown: Qt's texts can name an address with its user information, in any
// of its encoded forms, which are taken out.
std::string WithoutCredentials(const std::string& reason, const QSet<QUrl>& urls)
{
    QString text = QString::fromStdString(reason);
    for (const QUrl& url : urls) {
        if (url.userInfo().isEmpty())
            continue;
        // userInfo() has no fully decoded form (a ':' in the name would be ambiguous).
        QString decoded = url.userName(QUrl::FullyDecoded);
        if (!url.password().isEmpty())
            decoded += QLatin1Char(':') + url.password(QUrl::FullyDecoded);
        for (const QString& info :
             {url.userInfo(QUrl::FullyEncoded), url.userInfo(QUrl::PrettyDecoded), decoded})
            text.remove(info + QLatin1Char('@'));
    }
    return urltext::WithoutUserInfo(text.toStdString());
}

// Keeps what arrived when, to tell whether the last window of time brought too little. One watch
// times a whole request, its redirects included, so that slow hops add up.
class StallWatch
{
public:
    explicit StallWatch(const HttpClient::StallRule& rule) : m_rule(rule) { m_clock.start(); }

    // Records the total at this moment; true when the last window brought too little.
    bool Stalled(std::uint64_t total)
    {
        const qint64 now = m_clock.elapsed();
        const qint64 windowStart = now - m_rule.window.count();
        m_samples.push_back({now, total});
        while (m_samples.size() > 1 && m_samples[1].first <= windowStart)
            m_samples.pop_front();
        if (m_samples.front().first > windowStart)
            return false; // the transfer is younger than one window
        const std::uint64_t arrived = total - m_samples.front().second;
        return arrived * 1000 <
               m_rule.minBytesPerSecond * static_cast<std::uint64_t>(m_rule.window.count());
    }

private:
    const HttpClient::StallRule m_rule;
    QElapsedTimer m_clock;
    std::deque<std::pair<qint64, std::uint64_t>> m_samples{{0, 0}};
};

// One request from its send to its end, driven by the reply's signals inside a local event
// loop. A redirect ends it with the next address.
class Transfer
{
public:
    // A failure's reason leaves out the user information of the addresses in visited.
    Transfer(QNetworkReply& reply, const HttpClient::Options& options, StallWatch& stall,
             const HttpClient::ResponseHandler& onResponse, const HttpClient::BodyHandler& onBody,
             const HttpClient::Ticker& onTick, const QSet<QUrl>& visited)
        : m_reply(reply), m_options(options), m_onResponse(onResponse), m_onBody(onBody),
          m_onTick(onTick), m_stall(stall), m_visited(visited)
    {}

    // The transfer's result, or nothing when the server redirected (see RedirectLocation).
    std::optional<Result<HttpClient::Reply>> Run()
    {
        QObject::connect(&m_reply, &QNetworkReply::metaDataChanged, &m_loop,
                         [this] { OnHeaders(); });
        QObject::connect(&m_reply, &QNetworkReply::readyRead, &m_loop, [this] { OnBody(); });
        QObject::connect(&m_reply, &QNetworkReply::sslErrors, &m_loop,
                         [this](const QList<QSslError>& errors) { m_sslErrors = errors; });
        QObject::connect(&m_reply, &QNetworkReply::finished, &m_loop, &QEventLoop::quit);

        QTimer ticker;
        ticker.setInterval(
            std::clamp(m_options.stall.window / 10, std::chrono::milliseconds(10), kLongestTick));
        QObject::connect(&ticker, &QTimer::timeout, &m_loop, [this] { OnTick(); });
        ticker.start();

        // User input is not held back: the window shows a modal progress dialog meanwhile, whose
        // Cancel reaches the transfer through the ticker.
        if (!m_reply.isFinished())
            m_loop.exec();
        ticker.stop();
        if (!m_stopped && !m_stalled) {
            OnHeaders();
            OnBody(); // what arrived together with the end
        }
        if (m_redirected)
            return std::nullopt;
        return Finish();
    }

    // The raw Location of a redirect; empty when it had none.
    QByteArray RedirectLocation() const { return m_reply.rawHeader("Location"); }

private:
    // Leaving the loop ends the transfer: the caller deletes the reply, which cancels it.
    void Stop()
    {
        m_stopped = true;
        m_loop.quit();
    }

    void OnTick()
    {
        if (m_onTick && !m_onTick(m_result.received)) {
            Stop();
        } else if (m_stall.Stalled(m_result.received)) {
            m_stalled = true;
            m_loop.quit();
        }
    }

    void OnHeaders()
    {
        if (m_headersSeen || m_stopped)
            return;
        const QVariant status = m_reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid())
            return;
        m_headersSeen = true;
        m_result.response.statusCode = status.toInt();
        if (m_result.response.statusCode / 100 == 3) {
            m_redirected = true; // its body, if any, is of no use
            Stop();
            return;
        }
        const QVariant length = m_reply.header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            m_result.response.contentLength = length.toULongLong();
        if (m_onResponse && !m_onResponse(m_result.response))
            Stop();
    }

    void OnBody()
    {
        OnHeaders();
        while (!m_stopped && m_headersSeen && m_reply.bytesAvailable() > 0) {
            const QByteArray piece = m_reply.read(m_reply.bytesAvailable());
            m_result.received += static_cast<std::uint64_t>(piece.size());
            if (m_onBody && !m_onBody(std::string_view(piece.constData(), piece.size())))
                Stop();
        }
    }

    Result<HttpClient::Reply> Finish()
    {
        using Failure = HttpClient::Failure;
        if (m_stalled)
            return Failed(Failure::InternetError,
                          Text(strings::kReasonStalled, QString::fromStdString(RateText(
                                                            m_options.stall.minBytesPerSecond))));
        if (m_stopped) {
            m_result.stopped = true;
            return m_result;
        }
        if (IsDecodingRefused())
            return Failed(Failure::BodyRefused, DecodingReason());
        if (!m_headersSeen || !IsHttpAnswer(m_reply.error()))
            return Failed(Failure::InternetError, NetworkReason(m_reply, m_sslErrors));
        // A body cut short is a lost connection, whether or not Qt noticed the loss first.
        if (m_result.response.contentLength &&
            *m_result.response.contentLength != m_result.received)
            return Failed(Failure::InternetError, Text(strings::kReasonConnectionLost));
        return m_result;
    }

    Status Failed(HttpClient::Failure kind, const std::string& reason) const
    {
        return Status::Failure(kind, WithoutCredentials(reason, m_visited));
    }

    // Qt expands a compressed body itself, and gives up on one that would expand beyond its safety
    // limits (a small body that stands for gigabytes); it tells so only as a content error.
    bool IsDecodingRefused() const
    {
        return m_headersSeen && m_reply.error() == QNetworkReply::UnknownContentError &&
               m_result.response.statusCode / 100 == 2 &&
               !m_reply.rawHeader("Content-Encoding").trimmed().isEmpty();
    }

    std::string DecodingReason() const
    {
        // Qt's text is "Decompression failed: " and a detail, which is often empty.
        QString detail = m_reply.errorString();
        detail = detail.mid(detail.indexOf(QLatin1Char(':')) + 1).trimmed();
        if (detail.isEmpty())
            detail = QString::fromUtf8(strings::kReasonExpandsTooFar);
        return Text(strings::kReasonCompressedRefused, detail);
    }

    QNetworkReply& m_reply;
    QEventLoop m_loop;
    const HttpClient::Options& m_options;
    const HttpClient::ResponseHandler& m_onResponse;
    const HttpClient::BodyHandler& m_onBody;
    const HttpClient::Ticker& m_onTick;
    StallWatch& m_stall; // a redirect's body is never read, so the count goes on from zero
    const QSet<QUrl>& m_visited;
    QList<QSslError> m_sslErrors;
    HttpClient::Reply m_result;
    bool m_headersSeen = false;
    bool m_stopped = false;
    bool m_stalled = false;
    bool m_redirected = false;
};

Status Refused(std::string reason)
{
    return Status::Failure(HttpClient::Failure::InternetError, std::move(reason));
}

// Where a redirect from current leads, or why it may not be followed.
Result<QUrl> NextHop(const QUrl& current, const QByteArray& location)
{
    const QUrl relative = QUrl::fromEncoded(location, QUrl::TolerantMode);
    if (location.trimmed().isEmpty() || !relative.isValid())
        return Refused(Text(strings::kReasonRedirectWithoutLocation));
    const QUrl next = current.resolved(relative);
    if (!IsHttp(next))
        return Refused(Text(strings::kReasonRedirectScheme, next.scheme()));
    if (IsHttps(current) && !IsHttps(next))
        return Refused(Text(strings::kReasonRedirectToHttp));
    return next;
}

} // namespace

HttpClient::HttpClient(Options options)
    : m_options(std::move(options)), m_manager(std::make_unique<QNetworkAccessManager>())
{
    m_manager->setProxyFactory(new PreconfiguredProxies); // the manager owns it
}

HttpClient::HttpClient() : HttpClient(Options{}) {}

HttpClient::~HttpClient() = default;

std::string HttpClient::StatusReason(int statusCode)
{
    return Text(strings::kReasonHttpStatus, statusCode);
}

Result<HttpClient::Reply> HttpClient::Get(const std::string& url, const ResponseHandler& onResponse,
                                          const BodyHandler& onBody, const Ticker& onTick,
                                          std::uint64_t mostBody)
{
    QUrl target = QUrl::fromEncoded(QByteArray(url.data(), static_cast<qsizetype>(url.size())),
                                    QUrl::TolerantMode);
    // A list from the network must not make the program read local files or other schemes.
    if (!target.isValid() || !IsHttp(target))
        return Refused(Text(strings::kReasonNotHttp));
    QSet<QUrl> visited{target};
    StallWatch stall(m_options.stall);
    for (int hops = 0;; ++hops) {
        const std::unique_ptr<QNetworkReply> reply(m_manager->get(MakeRequest(target, m_options)));
        reply->setReadBufferSize(ReadBufferFor(mostBody));
        Transfer transfer(*reply, m_options, stall, onResponse, onBody, onTick, visited);
        if (auto result = transfer.Run())
            return std::move(*result);
        if (hops == m_options.maxRedirects)
            return Refused(Text(strings::kReasonTooManyRedirects, m_options.maxRedirects));
        const Result<QUrl> next = NextHop(target, transfer.RedirectLocation());
        if (!next)
            return Refused(WithoutCredentials(next.reason(), visited));
        target = *next;
        if (visited.contains(target))
            return Refused(Text(strings::kReasonRedirectLoop));
        visited.insert(target);
    }
}

} // namespace korvane
