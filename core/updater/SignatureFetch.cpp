#include "core/updater/SignatureFetch.h"

#include "res/Strings.h"

namespace korvane::signatures {

namespace {

constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;
constexpr int kStatusGone = 410;

} // namespace

std::string AddressBeside(const std::string& url)
{
    return url + ".minisig";
}

korvane::Result<std::optional<MinisignSignature>> Fetch(HttpClient& session, const std::string& url,
                                                        const HttpClient::Ticker& onTick)
{
    std::string text;
    bool tooLong = false;
    const auto onResponse = [](const HttpClient::Response& response) {
        return response.statusCode == kStatusOk;
    };
    const auto onBody = [&](std::string_view piece) {
        if (piece.size() > MinisignSignature::kMostBytes - text.size()) {
            tooLong = true;
            return false;
        }
        text += piece;
        return true;
    };
    const auto transfer =
        session.Get(AddressBeside(url), onResponse, onBody, onTick, MinisignSignature::kMostBytes);
    if (!transfer)
        return transfer.status();
    const int status = transfer->response.statusCode;
    if (status == kStatusNotFound || status == kStatusGone)
        return std::optional<MinisignSignature>();
    if (status != kStatusOk)
        return korvane::Status::Failure(HttpClient::StatusReason(status));
    if (tooLong)
        return korvane::Status::Failure(strings::kReasonSignatureTooLong);
    if (transfer->stopped)
        return korvane::Status::Failure(strings::kReasonInterrupted);
    auto signature = MinisignSignature::Parse(text);
    if (!signature)
        return signature.status();
    return std::optional<MinisignSignature>(std::move(signature).value());
}

} // namespace korvane::signatures
