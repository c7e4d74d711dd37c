#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Copies in use that differ from storage's: files below plugins\ whose namesakes in the same
// subfolder of storage (in any letter case) hold other bytes, because the player edited one or
// an update reached only the other. A command that would delete such a copy, or leave it beside
// a storage file it no longer matches, refuses and names it; the player then settles the copies
// with a choice and the command goes on. The copy that gives way is first set aside, whole and on
// the disk, in a folder of its own below backups\ (ConfigBackup.h): backups\<stem>\plugins\<path>
// for a copy in use, backups\<stem>\storage\<path> for storage's. Nothing there is ever replaced.
namespace korvane::settle {

enum class Choice
{
    Refuse,     // nothing is settled: the command fails naming the copies, as without a choice
    KeepMine,   // the copy in use becomes storage's copy
    UseStorage, // the copy in use takes storage's bytes
};

// Differing copies, each by its path below both folders in stored form, as the plugins folder
// spells it ("weapons\blaster.cs").
using Copies = std::vector<std::string>;

// A choice and the copies the player made it for. A copy that differs but is not among them is
// left as it is: the player has not seen it.
struct Settlement
{
    Choice choice = Choice::Refuse;
    Copies copies;
};

// Every file below plugins that differs from its namesake in storage, in folder order: what a
// load refuses for. Fails, naming them, when folders or files could not be read.
korvane::Result<Copies> BelowPlugins(const Path& korvaneFolder);

// Settles the copies that still differ, setting aside each one that gives way in the folder of
// files set aside under stem (made when the first is set aside), for a load: each copy in use is
// set aside there also when it stays, so that an undo of the load can put every one back
// (RestoreCopiesInUse). A copy that could not be set aside is not changed. Fails, naming each copy
// not settled and why.
korvane::Status SettleInto(const Path& korvaneFolder, const Settlement& settlement,
                           const std::string& stem);

// The same into a folder of a new name, setting aside only what gives way. The folder's name,
// empty when nothing was set aside.
korvane::Result<std::string> Settle(const Path& korvaneFolder, const Settlement& settlement,
                                    std::chrono::system_clock::time_point now);

// Puts the copies in use set aside under stem back into the plugins folder, where a load has just
// put storage's copies in their place, then runs commit, if given. All or none: when a copy
// cannot be put back, or commit fails, those put back give way to storage's copies again. A file
// there that storage does not hold the same bytes of is not replaced, and named. Succeeds when
// there is nothing to put back and commit succeeds.
korvane::Status RestoreCopiesInUse(const Path& korvaneFolder, const std::string& stem,
                                   const std::function<korvane::Status()>& commit = {});

} // namespace korvane::settle
