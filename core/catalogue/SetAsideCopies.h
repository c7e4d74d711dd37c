#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// A folder of backups\ under the Korvane folder (ConfigBackup.h names it by a stem) that whole
// copies of files are set aside in before they are replaced or deleted, each at its path below
// the Korvane folder ("storage\weapons\sniper.cs"). The folder is made when the first copy is
// put there; nothing in it is ever replaced.
class SetAsideCopies
{
public:
    SetAsideCopies(Path korvaneFolder, std::string stem);

    bool Made() const { return m_made; }
    const std::string& Stem() const { return m_stem; }

    // A whole copy of file, on the disk, at rel (stored form) in the folder.
    korvane::Status Put(std::string_view rel, const std::filesystem::path& file);

    // Makes every level of the stored-form folder rel below base that is missing; base must
    // exist.
    static korvane::Status MakeFolders(const Path& base, std::string_view rel);

private:
    korvane::Status Ready();

    const Path m_korvaneFolder;
    const std::string m_stem;
    bool m_made = false;
};

} // namespace korvane
