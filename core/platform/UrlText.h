#pragma once

#include <string>
#include <string_view>

namespace korvane::urltext {

// The text with the user information (user:password@) taken out of every URL in it, so that an
// address can be printed, shown or stored without its credentials. A URL is recognised by its
// "://"; its user information is what stands before the last '@' of the part that follows, up to
// the first '/', '?', '#', backslash, blank, quote or angle bracket.
std::string WithoutUserInfo(std::string_view text);

} // namespace korvane::urltext
