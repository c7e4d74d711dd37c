#pragma once

#include <QString>

namespace korvane::strings {

// A text of Strings.h (UTF-8) as Qt shows it.
inline QString Text(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace korvane::strings
