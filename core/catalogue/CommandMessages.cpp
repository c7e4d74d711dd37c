#include "core/catalogue/CommandMessages.h"

#include "core/catalogue/TextEncoding.h"
#include "res/Strings.h"

namespace korvane::commandmessages {

namespace {

// A plug-in a load left out: by its key, or by its name in UTF-8 where storage holds it.
std::string LeftOutName(const pluginconfig::LoadedConfiguration& loaded, const std::string& key,
                        Naming naming)
{
    if (naming == Naming::Key)
        return key;
    const CPluginInfo* plugin = loaded.plugins.Find(key);
    return textencoding::ToUtf8(plugin ? plugin->m_strName : key);
}

} // namespace

std::optional<Message> StorageProblem(const storagesync::Synchronisation& synchronised)
{
    if (synchronised.outcome == storagesync::Outcome::StorageNotCreated)
        return Message{strings::kStorageNotCreated, {}};
    if (synchronised.outcome == storagesync::Outcome::Ready && !synchronised.copies)
        return Message{strings::kStorageIncomplete, synchronised.copies.reason()};
    return std::nullopt;
}

std::vector<Message> ReadProblems(const korvane::Status& folders,
                                  const korvane::Status& descriptions)
{
    std::vector<Message> problems;
    if (!folders)
        problems.push_back({strings::kFoldersUnreadable, folders.reason()});
    if (!descriptions)
        problems.push_back({strings::kDescriptionsUnreadable, descriptions.reason()});
    return problems;
}

std::string RepeatedKeys(std::string_view text, const std::vector<std::string>& keys)
{
    std::string names;
    for (const std::string& key : keys)
        names += (names.empty() ? "" : ", ") + textencoding::ToUtf8(key);
    std::string message(text);
    if (const size_t at = message.find("%1"); at != std::string::npos)
        message.replace(at, 2, names);
    return message;
}

std::optional<Message> NotCopied(const pluginconfig::LoadedConfiguration& loaded, Naming naming)
{
    if (loaded.notCopied.empty())
        return std::nullopt;
    std::string lines;
    for (const auto& [key, reason] : loaded.notCopied)
        lines += (lines.empty() ? "" : "\n") + LeftOutName(loaded, key, naming) + ": " + reason;
    return Message{strings::kConfigNotAllInUse, lines};
}

} // namespace korvane::commandmessages
