#pragma once

#include <optional>
#include <string>
#include <string_view>

// Description files come from plug-in authors as single-byte Windows text or as UTF-8.
namespace korvane::textencoding {

bool IsValidUtf8(std::string_view bytes);

// The text as UTF-8: unchanged when it is valid UTF-8, else read as Windows-1252.
std::string ToUtf8(std::string_view bytes);
// The same appended to out, which keeps its storage: for many fields written one after another.
void AppendAsUtf8(std::string& out, std::string_view bytes);

// Each valid UTF-8 sequence kept and every other byte read as Windows-1252: for a message that
// joins the program's UTF-8 texts with file names of either kind.
std::string ToUtf8Lenient(std::string_view bytes);

// True when the text, shown as ToUtf8 shows it, holds a control character: C0, DEL or C1.
bool HoldsControl(std::string_view bytes);

// The bidirectional controls (the embeddings, overrides and isolates U+202A to U+202E and U+2066
// to U+2069, and the marks U+200E, U+200F and U+061C) turn the text after them around on the
// screen, so that a name holding one can read as another. The length in bytes of the one that
// starts at utf8[at], else 0; utf8 is valid UTF-8.
size_t BidiControlLength(std::string_view utf8, size_t at);

// The UTF-8 text with each bidirectional control written out as \u and four hexadecimal digits
// ("\u202E"): how the window and korvane-cli show names.
std::string EscapeBidiControls(std::string_view utf8);

// UTF-8 text as Windows-1252 bytes, the inverse of ToUtf8 for single-byte text. Nothing when the
// text is not valid UTF-8 or holds a character that Windows-1252 has no byte for.
std::optional<std::string> ToWindows1252(std::string_view utf8);

} // namespace korvane::textencoding
