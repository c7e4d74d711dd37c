#include "core/catalogue/PluginWalk.h"

#include "core/catalogue/PluginScript.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <optional>
#include <utility>

namespace korvane::pluginwalk {

namespace {

namespace fs = std::filesystem;

// True when name is the key followed by a dot and anything, in any letter case.
bool IsKeyDotted(std::string_view name, std::string_view key)
{
    return name.size() > key.size() && name[key.size()] == '.' &&
           kpath::StartsWithNoCase(name, key);
}

// A plug-in's files beside its script: where its description file and its icon are listed, or
// kNone.
struct Beside
{
    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t description = kNone;
    size_t icon = kNone;
};

// The first files named key + ".desc.txt" and key + ".ico" in any letter case among a folder's
// entries, of which the one at script belongs to the key. The listing sorts without regard to
// case, so every name that is the key followed by a dot sits in one run around the script.
Beside FindBeside(const kfs::FolderListing& entries, size_t script, std::string_view key)
{
    size_t first = script;
    while (first > 0 && IsKeyDotted(entries.Name(first - 1), key))
        --first;
    Beside found;
    for (size_t i = first; i < entries.Count() && IsKeyDotted(entries.Name(i), key); ++i) {
        if (!entries.IsFile(i))
            continue;
        const std::string_view suffix = entries.Name(i).substr(key.size());
        if (found.description == Beside::kNone && kpath::EqualsNoCase(suffix, ".desc.txt"))
            found.description = i;
        else if (found.icon == Beside::kNone && kpath::EqualsNoCase(suffix, ".ico"))
            found.icon = i;
    }
    return found;
}

// Why the entry name of folder is passed over, naming it.
std::string Unstorable(const fs::path& folder, std::string_view name)
{
    return kpath::FromNative(folder / fs::path(std::u8string(name.begin(), name.end()))) + ": " +
           kpath::UnstorableReason();
}

// The walk of one folder, the native path of root + subdirectory, and of those below it.
class FolderWalk
{
public:
    FolderWalk(const std::string& root, const Options& options, const Handlers& handlers)
        : m_root(root), m_options(options), m_handlers(handlers)
    {}

    void Walk(const std::string& subdirectory, const fs::path& folder)
    {
        const kfs::FolderListing entries = kfs::ListFolderNames(folder);
        if (!entries.Failure()) {
            if (m_handlers.unlisted)
                m_handlers.unlisted(entries.Failure());
            if (m_options.wholeFolders)
                return;
        } else if (m_handlers.listed) {
            m_handlers.listed(folder);
        }
        // Held open only to read description files by their names.
        const std::optional<kfs::FolderReader> reader =
            m_options.describe ? std::optional<kfs::FolderReader>(std::in_place, folder)
                               : std::nullopt;
        for (size_t index = 0; index < entries.Count(); ++index) {
            const std::string_view name = entries.Name(index);
            const bool isScript = entries.IsFile(index) && pluginscript::IsPluginScript(name);
            if (!entries.IsFolder(index) && !isScript)
                continue;
            if (!kpath::IsStorableName(name)) {
                if (m_handlers.unstorable)
                    m_handlers.unstorable(Unstorable(folder, name));
                continue;
            }
            if (entries.IsFolder(index)) {
                fs::path below = folder / fs::path(std::u8string(name.begin(), name.end()));
                if (m_options.endFoldersWithSeparator)
                    below /= fs::path();
                Walk(subdirectory + std::string(name) + kpath::kStoredSeparator, below);
                continue;
            }
            const std::string key = pluginscript::KeyOf(name);
            if (!m_handlers.takes({subdirectory, name, key}))
                continue;
            if (!reader) {
                m_handlers.found(MakeRecord(m_root, subdirectory, key, {}, nullptr, {}));
                continue;
            }
            Described described =
                Describe(m_root, subdirectory, key, entries, index, *reader, m_bytes);
            if (!described.undescribed && m_handlers.undescribed)
                m_handlers.undescribed(described.undescribed.reason());
            m_handlers.found(std::move(described.record));
        }
    }

private:
    const std::string& m_root;
    const Options& m_options;
    const Handlers& m_handlers;
    std::string m_bytes; // keeps its storage from one description file to the next
};

} // namespace

void Walk(const std::string& root, const std::string& subdirectory, const Options& options,
          const Handlers& handlers)
{
    FolderWalk(root, options, handlers).Walk(subdirectory, Path(root + subdirectory).OnDisk());
}

std::unique_ptr<CPluginInfo> MakeRecord(const std::string& root, const std::string& subdirectory,
                                        const std::string& key, std::string_view descriptionFile,
                                        const std::string* description, std::string_view icon)
{
    auto plugin = std::make_unique<CPluginInfo>(key, key, std::string(CPluginInfo::kUnknown));
    if (description) {
        plugin->ReadDescriptionText(*description);
        plugin->m_descriptionFile = descriptionFile;
    }
    if (!icon.empty()) {
        plugin->m_strIconPath.reserve(root.size() + subdirectory.size() + icon.size());
        plugin->m_strIconPath.append(root).append(subdirectory).append(icon);
    }
    plugin->m_strSubdirectory = subdirectory;
    return plugin;
}

Described Describe(const std::string& root, const std::string& subdirectory, const std::string& key,
                   const kfs::FolderListing& entries, size_t script,
                   const kfs::FolderReader& reader, std::string& bytes)
{
    const Beside beside = FindBeside(entries, script, key);
    Described described;
    bool read = false;
    if (beside.description != Beside::kNone) {
        const korvane::Status status = reader.ReadFile(entries.Name(beside.description).data(),
                                                       bytes, CPluginInfo::kMaxDescriptionBytes);
        read = status.ok();
        // One that went away meanwhile counts as none.
        if (!status && !status.is(kfs::ReadFailure::Missing))
            described.undescribed = status;
    }
    described.record = MakeRecord(
        root, subdirectory, key, read ? entries.Name(beside.description) : std::string_view(),
        read ? &bytes : nullptr,
        beside.icon != Beside::kNone ? entries.Name(beside.icon) : std::string_view());
    return described;
}

} // namespace korvane::pluginwalk
