#pragma once

#include <string>

namespace korvane {

// Creates every missing folder of rel, a '\'-separated path below the existing folder base, one
// component after the other. An existing file of a component's name counts as present. rel comes
// from the network: one that could leave base (an absolute path, a drive, a ".." component) is
// refused. False when base is empty or missing, rel is refused, or a folder cannot be created.
bool CreatePath(const std::string& strBase, const std::string& strRel);

} // namespace korvane
