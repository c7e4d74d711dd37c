// Start-up of the main window on a Korvane folder of many plug-ins, some in use: storage refresh
// from the plugins folder, both scans, the scripts in use read for the functions they define, the
// tree filled and sorted, the list filled and the plug-ins that clash marked, until the window is
// on screen (offscreen platform). Each script defines two functions of its own; one in twenty also
// defines Player::onDamage, so that at the default sizes (every twentieth plug-in in use) all in
// use clash over it.
// Warm cache, best of five.
//   bench_startup [PLUGINS IN_USE]...      (default 10000 500)
#include "bench/GeneratedKorvane.h"
#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/mainwindow/CManagerDlg.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <QApplication>
#include <QListView>
#include <QTest>
#include <QTreeView>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace korvane;
using namespace korvane::mainwindow;

namespace {

constexpr int kFolders = 100;

// The entries of the list that carry a mark.
int CountMarked(const QAbstractItemModel& list)
{
    int count = 0;
    for (int row = 0; row < list.rowCount(); ++row)
        count += list.index(row, 0).data(Qt::ToolTipRole).toString().isEmpty() ? 0 : 1;
    return count;
}

int CountPlugins(const QAbstractItemModel& tree)
{
    int count = 0;
    for (int i = 0; i < tree.rowCount(); ++i)
        count += tree.rowCount(tree.index(i, 0));
    return count;
}

bool Measure(int plugins, int inUse)
{
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("korvane-bench-startup-" + std::to_string(getpid()));
    fs::remove_all(root);
    bench::GenerateStorage(root / "storage", plugins, kFolders, true, true);
    bench::WriteSmallFile(root / "korvane.cs", "// the modification's own script\n");
    const int every = std::max(1, plugins / inUse);
    bench::PutInUse(root / "storage", root / "plugins", plugins, kFolders, every);

    const SettingsProfile profile =
        SettingsProfile::AtFile(QString::fromStdString(kpath::FromNative(root / "settings.ini")));
    const std::string korvane = kpath::WithTrailingSeparator(kpath::FromNative(root));
    profile.WriteProfileString(profile::kDirectories, profile::kKorvane, korvane);
    profile.WriteProfileString(profile::kDirectories, profile::kTribes, korvane);

    int shownPlugins = 0;
    int shownInUse = 0;
    int marked = 0;
    const double seconds = bench::BestSeconds(5, [&] {
        CManagerDlg window(profile);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was not shown\n");
        shownPlugins = CountPlugins(*window.findChild<QTreeView*>("tree")->model());
        const QAbstractItemModel* list = window.findChild<QListView*>("list")->model();
        shownInUse = list->rowCount();
        marked = CountMarked(*list);
    });
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf(
        "Start-up with %d plug-ins, %d in use, %d of them marked as clashing, to the window "
        "shown: %.3f s (peak memory so far %.0f MB)\n",
        shownPlugins, shownInUse, marked, seconds, usage.ru_maxrss / 1024.0);
    fs::remove_all(root);
    const int expected = (plugins + every - 1) / every;
    // With every twentieth plug-in in use, each one in use defines Player::onDamage.
    const bool allClash = every % 20 == 0 && expected > 1;
    return shownPlugins == plugins && shownInUse == expected && (!allClash || marked == expected);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<std::pair<int, int>> sizes;
    for (int i = 1; i + 1 < argc; i += 2)
        sizes.emplace_back(std::atoi(argv[i]), std::atoi(argv[i + 1]));
    if (sizes.empty())
        sizes.emplace_back(10000, 500);
    bool ok = true;
    for (const auto& [plugins, inUse] : sizes)
        ok = plugins > 0 && inUse > 0 && inUse <= plugins && Measure(plugins, inUse) && ok;
    return ok ? 0 : 1;
}
