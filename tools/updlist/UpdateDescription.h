#pragma once

#include <filesystem>
#include <QString>

namespace korvane {

class CUpdateList;

// Reads a description of updates (one "update = name" line to start each, then its version,
// target, url and folder lines) into list, taking each update's files, subfolders and sizes from
// its folder. False with a message in error when a line or a file cannot go into a list.
bool ReadUpdateDescription(const std::filesystem::path& file, CUpdateList& list, QString& error);

} // namespace korvane
