// Start-up of the main window on a Korvane folder of 10,000 plug-ins with 500 in use: storage
// refresh from the plugins folder, both scans, the tree filled and sorted, the list filled, until
// the window is on screen (offscreen platform). Warm cache, best of five.
#include "bench/GeneratedKorvane.h"
#include "core/platform/CProfile.h"
#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "gui/CManagerDlg.h"

#include <cstdio>
#include <filesystem>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

constexpr int kPlugins = 10000;
constexpr int kFolders = 100;
constexpr int kInUse = 500;

// Every twentieth plug-in is in use: its script sits in the same subfolder of plugins.
void PutInUse(const std::filesystem::path& storage, const std::filesystem::path& plugins)
{
    for (int n = 0; n < kInUse; ++n) {
        const int i = n * (kPlugins / kInUse);
        const std::string folder = "folder" + std::to_string(i % kFolders);
        std::filesystem::create_directories(plugins / folder);
        std::filesystem::copy_file(storage / folder / ("plugin" + std::to_string(i) + ".cs"),
                                   plugins / folder / ("plugin" + std::to_string(i) + ".cs"));
    }
}

int CountPlugins(const QTreeWidget& tree)
{
    int count = 0;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        count += tree.topLevelItem(i)->childCount();
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "korvane-bench-startup";
    fs::remove_all(root);
    bench::GenerateStorage(root / "storage", kPlugins, kFolders);
    PutInUse(root / "storage", root / "plugins");

    const CProfile profile =
        CProfile::AtFile(QString::fromStdString(kpath::FromNative(root / "settings.ini")));
    const std::string korvane = kpath::WithTrailingSeparator(kpath::FromNative(root));
    profile.WriteProfileString(profile::kDirectories, profile::kKorvane, korvane);
    profile.WriteProfileString(profile::kDirectories, profile::kTribes, korvane);

    int shownPlugins = 0;
    int shownInUse = 0;
    const double seconds = bench::BestSeconds(5, [&] {
        CManagerDlg window(profile);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was not shown\n");
        shownPlugins = CountPlugins(*window.findChild<QTreeWidget*>("tree"));
        shownInUse = window.findChild<QListWidget*>("list")->count();
    });

    std::printf("Start-up with %d plug-ins, %d in use, to the window shown: %.3f s "
                "(target under 1.5 s)\n",
                shownPlugins, shownInUse, seconds);
    fs::remove_all(root);
    return shownPlugins == kPlugins && shownInUse == kInUse ? 0 : 1;
}
