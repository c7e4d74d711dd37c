#pragma once

#include <string>
#include <string_view>

// Description files come from plug-in authors as single-byte Windows text or as UTF-8.
namespace textencoding {

bool IsValidUtf8(std::string_view bytes);

// The text as UTF-8: unchanged when it is valid UTF-8, else read as Windows-1252.
std::string ToUtf8(std::string_view bytes);

} // namespace textencoding
