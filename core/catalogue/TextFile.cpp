#include "core/catalogue/TextFile.h"

namespace korvane::textfile {

std::string ToDiskText(std::string_view text)
{
    std::string disk;
    disk.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            disk.push_back('\r');
        disk.push_back(c);
    }
    return disk;
}

} // namespace korvane::textfile
