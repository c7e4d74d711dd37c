#pragma once

#include "core/platform/Status.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QNetworkAccessManager;

namespace korvane {

// The updater's HTTP session: a GET that identifies itself as "KorvaneMgrUpd", is never answered
// from or stored in a cache, follows redirects, yields the status code and hands the body over
// piece by piece as it arrives. Get runs a local event loop until the transfer ends, so it serves
// the user-interface thread (which keeps repainting; a caller there shows a modal progress
// dialog) and a worker thread alike. An HttpClient is used on the thread that created it.
class HttpClient
{
public:
    // A request that receives fewer than minBytesPerSecond on average over any window, from its
    // first hop on, is abandoned, however long it has run; a slow transfer above that rate runs
    // to its end.
    struct StallRule
    {
        std::uint64_t minBytesPerSecond = 1024;
        std::chrono::milliseconds window{30000};
    };

    struct Options
    {
        StallRule stall;
        int maxRedirects = 10;
        // Certificate authorities (PEM) trusted besides the system's. Tests name the authority
        // of their loopback server here; the program itself never sets it.
        std::vector<std::string> extraAuthoritiesPem;
    };

    struct Response
    {
        int statusCode = 0;
        std::optional<std::uint64_t> contentLength; // when the server announced it
    };

    // The failures of Get, whose reason says what went wrong in plain words, never with the user
    // information of an address.
    enum class Failure
    {
        InternetError, // no answer, a lost connection, a stall, a bad redirect or certificate
        BodyRefused,   // a compressed body that would expand beyond the safe limits
    };

    // A transfer that ran to its end or was stopped by a handler.
    struct Reply
    {
        Response response;
        bool stopped = false;       // a handler asked for nothing more; else the whole body came
        std::uint64_t received = 0; // body bytes handed over
    };

    // Called once when the final status and headers are in; false skips the body.
    using ResponseHandler = std::function<bool(const Response&)>;
    // Called for each piece of the body, in order; false stops the transfer.
    using BodyHandler = std::function<bool(std::string_view piece)>;
    // Called a few times a second while the transfer runs, with the body bytes received so far;
    // false cancels it (the reply is then stopped).
    using Ticker = std::function<bool(std::uint64_t received)>;

    HttpClient();
    explicit HttpClient(Options options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // No limit on the body beyond what the handlers decide.
    static constexpr std::uint64_t kAnyBody = static_cast<std::uint64_t>(-1);

    // url is sent as its bytes are; whoever builds it percent-encodes what a URL cannot hold.
    // Only http and https URLs are fetched; anything else is an Internet error. The stall rule
    // holds for the whole request, its redirects included. Qt holds at most a small buffer of a
    // body the handlers have not taken, so what a body costs is what the handlers keep of it.
    // mostBody is the most the handlers take: Qt then holds no more than one byte beyond it, so
    // that a longer body reaches onBody at once, however small the pieces the server sends it in.
    korvane::Result<Reply> Get(const std::string& url, const ResponseHandler& onResponse,
                               const BodyHandler& onBody, const Ticker& onTick = {},
                               std::uint64_t mostBody = kAnyBody);

    // "HTTP 404": a status other than 200, as a reason.
    static std::string StatusReason(int statusCode);

private:
    const Options m_options;
    std::unique_ptr<QNetworkAccessManager> m_manager;
};

} // namespace korvane
