#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text files as the plug-in formats keep them: CR LF on disk, LF in memory.
namespace textfile {

// The lines of a text file read in text mode: every CR LF becomes LF, then the text is split at
// LF. A last line without a line end counts; a line end at the very end adds no empty line.
// Nothing when the file cannot be opened.
std::optional<std::vector<std::string>> ReadLines(std::string_view storedPath);

// Splits text already in memory the same way.
std::vector<std::string> SplitLines(std::string_view text);

// Text mode on the way out: every LF becomes CR LF, other bytes stay.
std::string ToDiskText(std::string_view text);

// Writes the text in text mode, atomically; fails with the reason when the file could not be
// written (the old file is then intact).
korvane::Status WriteText(std::string_view storedPath, std::string_view text);

} // namespace textfile
