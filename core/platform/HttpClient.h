#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QNetworkAccessManager;

// The updater's HTTP session: a GET that identifies itself as "KorvaneMgrUpd", is never answered
// from or stored in a cache, yields the status code and hands the body over piece by piece as it
// arrives. Get blocks its caller in a local event loop that leaves user input waiting, so it
// serves the user-interface thread and a worker thread alike. An HttpClient is used on the thread
// that created it.
class HttpClient
{
public:
    static constexpr std::chrono::milliseconds kDefaultInactivityTimeout{30000};

    struct Response
    {
        int nStatus = 0;
        std::optional<std::uint64_t> contentLength; // when the server announced it
    };

    enum class Outcome
    {
        Completed,     // the whole body was handed over
        Stopped,       // a handler asked for nothing more
        InternetError, // no answer, a lost connection, a silent server or a short body
    };

    struct Result
    {
        Outcome outcome = Outcome::InternetError;
        Response response;
        std::uint64_t nReceived = 0; // body bytes handed over
        std::string strError;        // what went wrong, for a log or a tool's message
    };

    // Called once when the status and headers are in; false skips the body.
    using ResponseHandler = std::function<bool(const Response&)>;
    // Called for each piece of the body, in order; false stops the transfer.
    using BodyHandler = std::function<bool(std::string_view piece)>;

    // A transfer during which nothing arrives for inactivityTimeout ends as an Internet error.
    explicit HttpClient(std::chrono::milliseconds inactivityTimeout = kDefaultInactivityTimeout);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Only http and https URLs are fetched; anything else is an Internet error.
    Result Get(const std::string& url, const ResponseHandler& onResponse,
               const BodyHandler& onBody);

private:
    std::chrono::milliseconds m_inactivityTimeout;
    std::unique_ptr<QNetworkAccessManager> m_pManager;
};
