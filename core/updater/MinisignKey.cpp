#include "core/updater/MinisignKey.h"

#include "res/Strings.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <QByteArray>
#include <QString>

namespace korvane {

namespace {

// "Ed", the only algorithm of minisign's keys.
constexpr char kAlgorithm[] = {'E', 'd'};
constexpr std::size_t kKeyLineBytes =
    sizeof kAlgorithm + MinisignKey::kIdBytes + MinisignKey::kKeyBytes;

korvane::Status Refused(const char* reason, std::string_view line)
{
    return korvane::Status::Failure(QString::fromUtf8(reason)
                                        .arg(QString::fromUtf8(line.data(), qsizetype(line.size())))
                                        .toStdString());
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

korvane::Result<MinisignKey> MinisignKey::FromBase64(std::string_view line)
{
    const auto decoded = QByteArray::fromBase64Encoding(
        QByteArray(line.data(), qsizetype(line.size())), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != qsizetype(kKeyLineBytes))
        return Refused(strings::kReasonKeyNotBase64, line);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(decoded.decoded.constData());
    if (!std::equal(std::begin(kAlgorithm), std::end(kAlgorithm), bytes))
        return Refused(strings::kReasonKeyAlgorithm, line);
    MinisignKey key;
    std::copy_n(bytes + sizeof kAlgorithm, kIdBytes, key.m_id.begin());
    std::copy_n(bytes + sizeof kAlgorithm + kIdBytes, kKeyBytes, key.m_key.begin());
    return key;
}

korvane::Result<std::vector<MinisignKey>> MinisignKey::ListFrom(std::string_view text)
{
    std::vector<MinisignKey> keys;
    size_t at = 0;
    while (at < text.size()) {
        if (IsBlank(text[at])) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        auto key = FromBase64(text.substr(at, end - at));
        if (!key)
            return key.status();
        keys.push_back(std::move(key).value());
        at = end;
    }
    return keys;
}

std::string MinisignKey::IdText(const Id& id)
{
    // minisign reads the ID as a little-endian number and prints it in hex without leading
    // zeros; the player compares this text with what the operator's minisign printed.
    std::uint64_t number = 0;
    for (auto it = id.rbegin(); it != id.rend(); ++it)
        number = number << 8 | *it;
    char text[17];
    std::snprintf(text, sizeof text, "%" PRIX64, number);
    return text;
}

} // namespace korvane
