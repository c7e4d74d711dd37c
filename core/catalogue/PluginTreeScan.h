#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/platform/FailureList.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <string>

namespace korvane {

// Every plug-in of a folder tree in scan order, once for each key in each folder (a scan keeps
// only the first folder's plug-in of a key). The records carry key and subfolder only. Fails,
// naming the folders, when any could not be listed whole. Folders and scripts under names the
// stored form cannot keep (kpath::IsStorableName) are passed over.
korvane::Result<CPluginList> ScanPluginTree(const Path& root);
// The same for a look that goes on past what it cannot read: the plug-ins of every folder that
// could be listed, and in failures each folder that could not.
CPluginList ScanPluginTree(const Path& root, FailureList& failures);

} // namespace korvane
