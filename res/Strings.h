#pragma once

// Every text the program shows or prints, in one place so that the wording can be checked.
namespace strings {

inline constexpr char kAppTitle[] = "Korvane Manager v1.0";

} // namespace strings
