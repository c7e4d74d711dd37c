// Rescan of a 10,000-plug-in storage folder against a bare walk of the same tree (find listing
// every entry, cat reading every description file), warm cache, best of five.
#include "bench/GeneratedKorvane.h"
#include "core/catalogue/CPluginList.h"
#include "core/platform/KPath.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

int main()
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "korvane-bench-rescan";
    fs::remove_all(root);
    const fs::path storage = root / "storage";
    bench::GenerateStorage(storage, 10000, 100);

    const std::string stored = kpath::WithTrailingSeparator(kpath::FromNative(storage));
    CPluginList list;
    int count = 0;
    const double rescan = bench::BestSeconds(5, [&] { count = list.Rescan(stored); });

    const std::string walk = "find '" + storage.string() + "' > /dev/null && find '" +
                             storage.string() + "' -name '*.desc.txt' -exec cat {} + > /dev/null";
    const double bare = bench::BestSeconds(5, [&] {
        if (std::system(walk.c_str()) != 0)
            std::fprintf(stderr, "the bare walk failed\n");
    });

    std::printf("Rescan of %d plug-ins: %.3f s\n", count, rescan);
    std::printf("find + cat of the same tree: %.3f s\n", bare);
    std::printf("ratio: %.2f (target at most 2.00; Rescan target under 0.5 s)\n", rescan / bare);
    fs::remove_all(root);
    return count == 10000 ? 0 : 1;
}
