#pragma once

#include "core/platform/Path.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class CUpdateList;
struct ListSignature;

// What installing one update would write below the Korvane folder, for the player to look at
// before installing it (the updater window's View Info, korvane-cli updates --files): each file's
// place, size, whether it replaces a file that is there now or goes elsewhere than storage\, and
// what the list's signature said.
class UpdatePreview
{
public:
    struct File
    {
        // Below the Korvane folder with '\' between the names, as the program shows paths; for a
        // refused file, the list's own names.
        std::string place;
        std::uint32_t size = 0;
        bool refused = false; // the installation would write nothing for this update
        std::string reason;   // why it is refused
        bool replaces = false;
        bool outsideStorage = false; // plug-ins belong in storage\: anything else deserves a look
    };

    // The files of the update at index of list, in list order, against what korvaneFolder holds
    // now. An empty korvaneFolder replaces nothing.
    static UpdatePreview Of(const CUpdateList& list, int index, const Path& korvaneFolder);

    // The sentence that tells what the list's signature said.
    static std::string SignatureText(const ListSignature& signature);
    // Replaces? of a file as the window and korvane-cli show it: Yes, No or Refused.
    static const char* ReplacesText(const File& file);
    // Why the file is refused, or that it goes outside storage\; empty for a plain plug-in file.
    static std::string NoteText(const File& file);

    const std::string& Name() const { return m_name; } // UTF-8
    const std::string& Version() const { return m_version; }
    const std::vector<File>& Files() const { return m_files; }
    const std::string& SignatureLine() const { return m_signatureLine; }

private:
    std::string m_name;
    std::string m_version;
    std::vector<File> m_files;
    std::string m_signatureLine;
};

} // namespace korvane
