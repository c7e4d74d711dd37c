#pragma once

#include "core/platform/Status.h"

#include <string>
#include <string_view>

// Text files as the plug-in formats keep them: CR LF on disk, LF in memory.
namespace korvane::textfile {

// Calls line(std::string_view) for each line of a text file's bytes read in text mode: every
// CR LF becomes LF, then the text is split at LF. A last line without a line end counts; a line
// end at the very end adds no empty line.
template <typename F> void ForEachLine(std::string_view text, F&& line)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            line(text.substr(start));
            return;
        }
        std::string_view found = text.substr(start, end - start);
        if (!found.empty() && found.back() == '\r')
            found.remove_suffix(1);
        line(found);
        start = end + 1;
    }
}

// Text mode on the way out: every LF becomes CR LF, other bytes stay.
std::string ToDiskText(std::string_view text);

} // namespace korvane::textfile
