#include "core/platform/UrlText.h"

namespace korvane::urltext {

namespace {

constexpr std::string_view kSchemeEnd = "://";

// Where the authority that starts at text[from] ends.
size_t AuthorityEnd(std::string_view text, size_t from)
{
    // Brackets and parentheses are not among them: a password may hold them unencoded.
    const size_t end = text.find_first_of("/?#\\ \t\r\n\"'<>", from);
    return end == std::string_view::npos ? text.size() : end;
}

} // namespace

std::string WithoutUserInfo(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    size_t copied = 0;
    for (size_t scheme = text.find(kSchemeEnd); scheme != std::string_view::npos;
         scheme = text.find(kSchemeEnd, copied)) {
        const size_t authority = scheme + kSchemeEnd.size();
        const size_t end = AuthorityEnd(text, authority);
        const size_t at = text.substr(authority, end - authority).rfind('@');
        shown.append(text.substr(copied, authority - copied));
        copied = at == std::string_view::npos ? authority : authority + at + 1;
    }
    shown.append(text.substr(copied));
    return shown;
}

} // namespace korvane::urltext
