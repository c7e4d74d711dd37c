#pragma once

// The program's version: the project version of CMakeLists.txt, which every target linking
// korvane_resources receives as KORVANE_VERSION.
namespace korvane::version {

inline constexpr char kVersion[] = KORVANE_VERSION;

} // namespace korvane::version
