#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class CPluginInfo;
class CPluginList;

// What korvane-cli prints: one record a line with fields separated by tabs, or JSON. Text from
// description files is decoded to UTF-8 first.
namespace clioutput {

// The fields joined by tabs, ending in a line break. A tab or line break inside a field becomes a
// blank, so that every record stays one line of the same number of fields, and a bidirectional
// control is written escaped (\u202E), so that no field reads as another.
std::string TabSeparated(std::initializer_list<std::string_view> fields);
// The same for a number of fields known only as the command runs.
std::string TabSeparated(std::span<const std::string_view> fields);

// A message for standard error, whose texts may hold file names or names from a server: valid
// UTF-8 kept, any other byte read as Windows-1252, and every control character but the line break
// made a blank, so that no name can act on the terminal that shows it; bidirectional controls
// escaped as in TabSeparated.
std::string ForTerminal(std::string_view text);

// The text as a JSON string, quotes included. Control characters (C1 and DEL too) and
// bidirectional controls are escaped.
std::string JsonString(std::string_view utf8);

// Appends one plug-in of list to out: key, name, category, author, subdirectory, yes or no.
void AppendPluginLine(std::string& out, const CPluginInfo& plugin, bool inUse);

// The plug-ins of shown as a JSON array; inUse tells, by number, which are in use.
std::string PluginsJson(const CPluginList& shown, const std::vector<bool>& inUse);

} // namespace clioutput

} // namespace korvane
