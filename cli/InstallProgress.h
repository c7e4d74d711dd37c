#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace korvane {

struct CUpdateFileInfo;

// The progress of an installation on a terminal: one line per update, rewritten as its files
// arrive.
class InstallProgress
{
public:
    explicit InstallProgress(std::ostream& terminal) : m_terminal(terminal) {}

    // True when standard error is a terminal, where a line may be rewritten in place.
    static bool StandardErrorIsTerminal();

    void Start(const std::string& updateName);
    void Received(const CUpdateFileInfo& file, std::uint64_t received);
    void Finish();

private:
    std::ostream& m_terminal;
    std::string m_updateName;
};

} // namespace korvane
