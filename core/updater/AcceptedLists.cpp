#include "core/updater/AcceptedLists.h"

#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "core/platform/UrlText.h"
#include "res/Strings.h"

#include <charconv>
#include <QByteArray>
#include <QCryptographicHash>

namespace korvane {

std::string AcceptedLists::EntryName(const std::string& url)
{
    const std::string address = urltext::WithoutUserInfo(url);
    return QCryptographicHash::hash(QByteArray::fromStdString(address), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::optional<std::int64_t> AcceptedLists::NewestFrom(const std::string& url) const
{
    const std::string text = Settings(m_profile).AcceptedListTime(EntryName(url));
    std::int64_t seconds = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return seconds;
}

korvane::Status AcceptedLists::Accept(const std::string& url, std::int64_t time) const
{
    if (const auto newest = NewestFrom(url); newest && *newest >= time)
        return korvane::Status::Success();
    if (!Settings(m_profile).SetAcceptedListTime(EntryName(url), time))
        return korvane::Status::Failure(strings::kReasonListTimeNotKept);
    return korvane::Status::Success();
}

} // namespace korvane
