// Rescan of a storage folder, and korvane-cli list on it, against the floor: a plain walk of the
// same tree that lists every folder and reads every description file, run as a program of its
// own as korvane-cli is. Warm cache, best of five.
//   bench_rescan [PLUGINS...]      (default 10000 100000)
#include "bench/GeneratedKorvane.h"
#include "core/catalogue/CPluginList.h"
#include "core/platform/KPath.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace korvane;

namespace {

constexpr int kRounds = 5;
constexpr int kFolders = 100;

bool EndsWith(const char* name, const char* suffix)
{
    const size_t n = std::strlen(name);
    const size_t s = std::strlen(suffix);
    return n >= s && std::strcmp(name + n - s, suffix) == 0;
}

// The floor: what any scan has to do at least.
long Walk(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    long bytes = 0;
    char block[4096];
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + entry->d_name;
        if (entry->d_type == DT_DIR) {
            bytes += Walk(path);
        } else if (EndsWith(entry->d_name, ".desc.txt")) {
            const int fd = open(path.c_str(), O_RDONLY);
            if (fd < 0)
                continue;
            for (ssize_t got; (got = read(fd, block, sizeof block)) > 0;)
                bytes += got;
            close(fd);
        }
    }
    closedir(dir);
    return bytes;
}

bool Measure(const char* self, int plugins)
{
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("korvane-bench-rescan-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path storage = root / "storage";
    bench::GenerateStorage(storage, plugins, kFolders);
    fs::create_directories(root / "plugins");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);

    const std::string stored = kpath::WithTrailingSeparator(kpath::FromNative(storage));
    CPluginList list;
    int count = 0;
    const double rescan = bench::BestSeconds(kRounds, [&] { count = list.Rescan(stored); });
    list.DeleteAll();
    const auto cli =
        bench::BestRun(kRounds, {bench::CliPath(), "--korvane", root.string(), "list"});
    const auto floor = bench::BestRun(kRounds, {self, "--walk", storage.string()});

    std::printf("%d plug-ins: Rescan %.3f s; korvane-cli list %.3f s (CPU %.3f s, peak %.1f MB); "
                "walk %.3f s (CPU %.3f s); list/walk %.2f, in CPU time %.2f (target at most "
                "1.50)\n",
                count, rescan, cli.seconds, cli.cpuSeconds, cli.peakKiB / 1024.0, floor.seconds,
                floor.cpuSeconds, cli.seconds / floor.seconds, cli.cpuSeconds / floor.cpuSeconds);
    fs::remove_all(root);
    return count == plugins && cli.ok && floor.ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--walk") == 0)
        return Walk(argv[2]) > 0 ? 0 : 1;
    bool ok = true;
    for (const int plugins : bench::Sizes(argc, argv, {10000, 100000}))
        ok = Measure(argv[0], plugins) && ok;
    return ok ? 0 : 1;
}
