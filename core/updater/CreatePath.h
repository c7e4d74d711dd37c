#pragma once

#include <string>
#include <vector>

namespace korvane {

// Creates every missing folder of rel, a '\'-separated path below the existing folder base, one
// component after the other. An existing file of a component's name counts as present. rel comes
// from the network: one that could leave base (an absolute path, a drive, a ".." component) is
// refused. False when base is empty or missing, rel is refused, or a folder cannot be created.
// created, when given, gets each folder this call created, outermost first, so that a failed
// installation can take them away again.
bool CreatePath(const std::string& base, const std::string& relative,
                std::vector<std::string>* created = nullptr);

} // namespace korvane
