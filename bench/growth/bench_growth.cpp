// Each korvane-cli command on a Korvane folder of a small and a large number of plug-ins (half
// of them in use, one description file each, in 100 subfolders, each script defining a few
// functions), side by side in one run, and how much more the large one costs. Warm cache, best
// of the rounds. conflicts reads every script in use, where list --in-use, its peer, walks the
// same folders without opening a script.
//   bench_growth [SMALL LARGE [ROUNDS]]      (default 5000 50000 3)
#include "bench/GeneratedKorvane.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace korvane;

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;

struct Row
{
    const char* command;
    std::vector<bench::Run> runs; // one per size
};

// Runs every command on a folder of this many plug-ins; adds one run to each row.
void Measure(int plugins, int rounds, std::vector<Row>& rows)
{
    const fs::path root =
        fs::temp_directory_path() /
        ("korvane-bench-growth-" + std::to_string(getpid()) + "-" + std::to_string(plugins));
    fs::remove_all(root);
    const fs::path korvane = root / "Korvane";
    bench::GenerateStorage(korvane / "storage", plugins, kFolders, false, true);
    bench::PutInUse(korvane / "storage", korvane / "plugins", plugins, kFolders, 2);
    bench::WriteSmallFile(korvane / "korvane.cs", "// the modification's own script\n");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);

    const std::vector<std::string> cli{bench::CliPath(), "--korvane", korvane.string()};
    const auto command = [&cli](std::vector<std::string> arguments) {
        std::vector<std::string> all = cli;
        all.insert(all.end(), arguments.begin(), arguments.end());
        return all;
    };
    const std::string half = (root / "half.pfg").string();
    const std::string halfWithFolders = (root / "half-folders.pfg").string();
    // plugin1 is not in use; use and unuse alternate so each starts from the same folders.
    bench::Run use{true, 1e9, 0, 1e9};
    bench::Run unuse{true, 1e9, 0, 1e9};
    for (int r = 0; r < rounds; ++r) {
        const auto u = bench::RunProgram(command({"use", "plugin1"}));
        const auto n = bench::RunProgram(command({"unuse", "plugin1"}));
        use = {use.ok && u.ok, std::min(use.seconds, u.seconds), std::max(use.peakKiB, u.peakKiB),
               std::min(use.cpuSeconds, u.cpuSeconds)};
        unuse = {unuse.ok && n.ok, std::min(unuse.seconds, n.seconds),
                 std::max(unuse.peakKiB, n.peakKiB), std::min(unuse.cpuSeconds, n.cpuSeconds)};
    }

    // Each line names a subfolder that storage lacks (a configuration of another machine's
    // folders): the load fails naming every plug-in, having changed nothing in use.
    const std::string elsewhere = (root / "elsewhere.pfg").string();
    std::string lines = "Name=elsewhere\r\nUseDirectory=TRUE\r\n";
    for (int i = 0; i < plugins; ++i)
        lines += "Plugin=" + bench::FolderOf(i, kFolders) + "\\gone" + std::to_string(i) +
                 "\\,plugin" + std::to_string(i) + "\r\n";
    bench::WriteSmallFile(elsewhere, lines);
    const auto saved = bench::BestRun(rounds, command({"save-config", half}));
    // Before the loads: the last of them leaves no plug-in in use.
    const auto listedInUse = bench::BestRun(rounds, command({"list", "--in-use"}));
    const auto conflicts = bench::BestRun(rounds, command({"conflicts"}));
    if (!bench::RunProgram(command({"save-config", halfWithFolders, "--store-directory"})).ok)
        std::fprintf(stderr, "save-config --store-directory failed\n");
    const std::vector<bench::Run> runs{
        bench::BestRun(rounds, command({"load-config", half})),
        bench::BestRun(rounds, command({"load-config", halfWithFolders})),
        bench::BestRun(rounds, command({"load-config", elsewhere}), 1),
        bench::BestRun(rounds, command({"list"})),
        listedInUse,
        conflicts,
        bench::BestRun(rounds, command({"sync"})),
        use,
        unuse,
        saved,
    };
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].runs.push_back(runs[i]);
    fs::remove_all(root);
}

} // namespace

int main(int argc, char** argv)
{
    const int small = argc > 2 ? std::atoi(argv[1]) : 5000;
    const int large = argc > 2 ? std::atoi(argv[2]) : 50000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    if (small <= 0 || large <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_growth [SMALL LARGE [ROUNDS]]\n");
        return 2;
    }
    std::vector<Row> rows{{"load-config (without directory information)", {}},
                          {"load-config (with directory information)", {}},
                          {"load-config (each line a subfolder storage lacks)", {}},
                          {"list", {}},
                          {"list --in-use", {}},
                          {"conflicts", {}},
                          {"sync", {}},
                          {"use one", {}},
                          {"unuse one", {}},
                          {"save-config", {}}};
    Measure(small, rounds, rows);
    Measure(large, rounds, rows);

    const double factor = static_cast<double>(large) / small;
    std::printf(
        "| command | %d | %d | growth for %.0fx | growth in CPU time | peak memory at %d |\n"
        "|---|---|---|---|---|---|\n",
        small, large, factor, large);
    bool ok = true;
    for (const auto& row : rows) {
        const auto& a = row.runs[0];
        const auto& b = row.runs[1];
        ok = ok && a.ok && b.ok;
        std::printf("| %s | %.3f s | %.3f s | %.1fx | %.1fx | %.0f MB |\n", row.command, a.seconds,
                    b.seconds, b.seconds / a.seconds, b.cpuSeconds / a.cpuSeconds,
                    b.peakKiB / 1024.0);
    }
    std::printf("(target: at most %.1fx for every command)\n", factor * 1.2);
    return ok ? 0 : 1;
}
