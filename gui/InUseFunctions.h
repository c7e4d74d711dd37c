#pragma once

#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/PluginFunctions.h"
#include "core/platform/Status.h"

#include <utility>
#include <vector>

namespace korvane {

// The functions that the plug-ins in use define and where they clash, as one look at the plugins
// folder read them.
class InUseFunctions
{
public:
    InUseFunctions() = default;
    explicit InUseFunctions(functionclashes::InUse read) : m_read(std::move(read)) {}

    const std::vector<PluginFunctions>& plugins() const { return m_read.plugins; }
    const std::vector<FunctionClash>& clashes() const { return m_read.clashes; }
    // Why folders and scripts could not be read; ok when everything was.
    const korvane::Status& unreadable() const { return m_read.unreadable; }

private:
    functionclashes::InUse m_read;
};

} // namespace korvane
