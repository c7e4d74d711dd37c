// Installation of a 64 MiB update file from a loopback server against curl fetching the same URL
// into the same folder, best of five each; then the reading of a 10,000-record update list.
#include "bench/GeneratedKorvane.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/CUpdateList.h"
#include "support/LoopbackServer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <QCoreApplication>

using namespace korvane;

namespace {

constexpr int kFileBytes = 64 << 20;
constexpr int kRecords = 10000;

std::unique_ptr<CUpdateInfo> Update(std::string name, std::string baseUrl,
                                    std::vector<CUpdateFileInfo> files)
{
    auto update = std::make_unique<CUpdateInfo>();
    update->m_strUpdateName = std::move(name);
    update->m_strTargetDir = "storage\\";
    update->m_strBaseURL = std::move(baseUrl);
    update->m_arrFiles = std::move(files);
    update->m_nVersionMajor = 1;
    return update;
}

// A list of the size a large server would offer: plug-ins with a script, a description and
// sometimes an icon, in subfolders.
std::string LargeList()
{
    CUpdateList list;
    for (int i = 0; i < kRecords; ++i) {
        const std::string key = "plugin" + std::to_string(i);
        std::vector<CUpdateFileInfo> files{
            {key + ".cs", "folder" + std::to_string(i % 100) + "\\", 4000},
            {key + ".desc.txt", "folder" + std::to_string(i % 100) + "\\", 300}};
        if (i % 4 == 0)
            files.push_back({key + ".ico", "folder" + std::to_string(i % 100) + "\\", 318});
        list.m_arrUpdates.push_back(Update("Plug-in number " + std::to_string(i),
                                           "http://updates.example/korvane/", files));
    }
    ArchiveWriter ar;
    list.Serialize(ar);
    return ar.Take().value();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    QCoreApplication app(argc, argv);
    const fs::path root = fs::temp_directory_path() / "korvane-bench-install";
    fs::remove_all(root);
    fs::create_directories(root / "curl");

    QByteArray body(kFileBytes, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>((i * 2654435761u) >> 24);
    LoopbackServer server;
    server.Serve("/korvane/updates/big.bin", body);

    CUpdateList list;
    list.m_arrUpdates.push_back(Update("Big", server.Url("/korvane/updates/"),
                                       {{"big.bin", "", static_cast<std::uint32_t>(kFileBytes)}}));
    const Path korvane(kpath::WithTrailingSeparator(kpath::FromNative(root)));
    bool installed = true;
    const double install = bench::BestSeconds(
        5, [&] { installed = list.InstallUpdate(0, korvane, nullptr) && installed; });

    const std::string curl = "curl -s -o '" + (root / "curl" / "big.bin").string() + "' '" +
                             server.Url("/korvane/updates/big.bin") + "'";
    bool bCurled = true;
    const double fetch =
        bench::BestSeconds(5, [&] { bCurled = std::system(curl.c_str()) == 0 && bCurled; });

    const std::string bytes = LargeList();
    CUpdateList parsed;
    const double parse = bench::BestSeconds(5, [&] { (void)parsed.Load(bytes); });

    std::printf("InstallUpdate of a 64 MiB file: %.3f s\n", install);
    std::printf("curl of the same URL: %.3f s\n", fetch);
    std::printf("ratio: %.2f (target at most 1.50)\n", install / fetch);
    std::printf("reading a list of %d records (%zu bytes): %.1f ms (target under 50 ms)\n",
                parsed.GetSize(), bytes.size(), parse * 1000);
    fs::remove_all(root);
    return installed && bCurled && parsed.GetSize() == kRecords ? 0 : 1;
}
