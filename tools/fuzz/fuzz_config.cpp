// Configuration files are shared between players: any bytes must read without a crash, and the
// plug-ins they name must all lie inside the storage folder.
#include "core/catalogue/CPluginList.h"
#include "core/platform/KPath.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

using namespace korvane;

namespace {

// A small storage folder with plug-ins at the root and in a subfolder, made once per process.
const Path& Storage()
{
    static const Path storage = [] {
        namespace fs = std::filesystem;
        const fs::path root = fs::temp_directory_path() / "korvane-fuzz-config" / "storage";
        fs::create_directories(root / "weapons" / "heavy");
        for (const char* name : {"blaster.cs", "blaster.desc.txt", "plasma.cs", "weapons/sniper.cs",
                                 "weapons/sniper.heavy.cs", "weapons/heavy/cannon.cs"})
            std::ofstream(root / name) << "// x\n";
        return Path(kpath::WithTrailingSeparator(kpath::FromNative(root)));
    }();
    return storage;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPluginList list;
    list.ReadConfigText(std::string_view(reinterpret_cast<const char*>(data), size), Storage());
    for (const auto& plugin : list.m_arrPlugins) {
        if (!kpath::IsContainedRelative(plugin->m_strSubdirectory))
            std::abort();
    }
    return 0;
}
