#pragma once

#include <QTextStream>
#include <string_view>

namespace korvane {

// Prints an update list as text: how far it could be read, then each update and its files.
// True when the list was read to its last record.
bool DumpUpdateList(std::string_view bytes, QTextStream& out);

} // namespace korvane
