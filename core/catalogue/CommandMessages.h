#pragma once

#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/StorageSync.h"
#include "core/platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The messages both front ends show after a command, each made of a text of Strings.h and what
// the command found: the window shows them in its message boxes, korvane-cli prints them.
namespace korvane::commandmessages {

// A text of Strings.h and the reason that follows it on a line of its own (empty: none).
struct Message
{
    const char* text;
    std::string reason;
};

// What went wrong bringing storage into step: kStorageNotCreated, or kStorageIncomplete and the
// files storage could not take. Nothing when storage is ready and holds them all.
std::optional<Message> StorageProblem(const storagesync::Synchronisation& synchronised);

// kFoldersUnreadable and kDescriptionsUnreadable, each with its reason, for the scans' failures.
std::vector<Message> ReadProblems(const korvane::Status& folders,
                                  const korvane::Status& descriptions);

// text (kSaveConfigRepeatedKeys, kCliRepeatedKeys) naming the keys a configuration without
// directory information names only the first plug-in of, in UTF-8.
std::string RepeatedKeys(std::string_view text, const std::vector<std::string>& keys);

// How the plug-ins a load left out are named: korvane-cli by the keys it takes, the window by the
// names it shows (in UTF-8) where storage holds the plug-in.
enum class Naming
{
    Key,
    Name,
};

// kConfigNotAllInUse and the plug-ins the load left out, one line each with why; nothing when
// every plug-in of the configuration is in use.
std::optional<Message> NotCopied(const pluginconfig::LoadedConfiguration& loaded, Naming naming);

} // namespace korvane::commandmessages
