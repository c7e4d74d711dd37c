#pragma once

#include "core/catalogue/TextEncoding.h"

#include <QString>
#include <string_view>

namespace korvane::widgets {

// A name or text from the folders as the window shows it: in UTF-8 (Windows-1252 where the bytes
// are no UTF-8), each bidirectional control written out, so that no name can read as another.
inline QString ShownText(std::string_view bytes)
{
    return QString::fromStdString(textencoding::EscapeBidiControls(textencoding::ToUtf8(bytes)));
}

} // namespace korvane::widgets
