// The main window following its folders on a Korvane folder of many plug-ins, one in twenty in
// use, while another program changes them: from the change until the window shows it, and the
// longest time the window could not answer meanwhile (its event loop did not turn), offscreen.
// Changes: a plug-in added, a description replaced, half the plug-ins in use swapped for others
// (a configuration loaded by korvane-cli). Best of three each.
//   bench_refresh [PLUGINS...]      (default 10000 100000)
#include "bench/GeneratedKorvane.h"
#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/mainwindow/CManagerDlg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <string>
#include <unistd.h>
#include <vector>

using namespace korvane;
using namespace korvane::mainwindow;

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kEvery = 20; // one plug-in in so many is in use
constexpr int kRounds = 3;

struct Timing
{
    double seconds = 1e9; // from the change until it was shown
    double stallMs = 1e9; // the longest the event loop stood still meanwhile
};

// Runs change, then turns the event loop until shown() holds, watching how long each turn takes:
// the time from the end of the change until it is shown.
Timing Measure(const std::function<void()>& change, const std::function<bool()>& shown)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    change(); // as another program does it, while the window waits for its next event
    clock.start();
    tick.start();
    const bool done = QTest::qWaitFor(shown, 60000);
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    if (!done)
        std::fprintf(stderr, "the window never showed the change\n");
    return {now / 1e9, longest / 1e6};
}

Timing Best(const std::function<Timing(int round)>& run)
{
    Timing best;
    for (int round = 0; round < kRounds; ++round) {
        const Timing timing = run(round);
        best.seconds = std::min(best.seconds, timing.seconds);
        best.stallMs = std::min(best.stallMs, timing.stallMs);
    }
    return best;
}

void Report(const char* what, int plugins, const Timing& timing)
{
    std::printf("%d plug-ins, %s: shown after %.3f s, the window stood still at most %.1f ms\n",
                plugins, what, timing.seconds, timing.stallMs);
}

void WriteAtomically(const fs::path& file, const std::string& text)
{
    bench::WriteSmallFile(file.string() + ".new", text);
    fs::rename(file.string() + ".new", file);
}

bool Run(int plugins)
{
    const fs::path root =
        fs::temp_directory_path() / ("korvane-bench-refresh-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path storage = root / "storage";
    const fs::path pluginsFolder = root / "plugins";
    bench::GenerateStorage(storage, plugins, kFolders);
    bench::WriteSmallFile(root / "korvane.cs", "// the modification's own script\n");
    bench::PutInUse(storage, pluginsFolder, plugins, kFolders, kEvery);

    const SettingsProfile profile =
        SettingsProfile::AtFile(QString::fromStdString(kpath::FromNative(root / "settings.ini")));
    const std::string korvane = kpath::WithTrailingSeparator(kpath::FromNative(root));
    profile.WriteProfileString(profile::kDirectories, profile::kKorvane, korvane);
    profile.WriteProfileString(profile::kDirectories, profile::kTribes, korvane);

    CManagerDlg window(profile);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(1000); // the filter's texts and the first scan settle
    const auto* counts = window.findChild<QLabel*>("counts");
    const QAbstractItemModel* list = window.findChild<QListView*>("list")->model();
    const QAbstractItemModel* tree = window.findChild<QTreeView*>("tree")->model();
    bool ok = true;

    const Timing added = Best([&](int round) {
        const std::string key = "added" + std::to_string(round);
        const QString before = counts->text();
        return Measure(
            [&] {
                const fs::path folder = storage / bench::FolderOf(round, kFolders);
                bench::WriteSmallFile(folder / (key + ".desc.txt"),
                                      "Name=Added " + key + "\r\nCategory=Category 1\r\n");
                bench::WriteSmallFile(folder / (key + ".cs"), "// " + key + "\r\n");
            },
            [&] { return counts->text() != before; });
    });
    Report("a plug-in added", plugins, added);

    // The tree keeps the row of a plug-in whose description changed.
    QPersistentModelIndex described;
    for (int i = 0; i < tree->rowCount() && !described.isValid(); ++i) {
        const QModelIndex category = tree->index(i, 0);
        if (tree->rowCount(category) > 0)
            described = tree->index(0, 0, category);
    }
    const QString name = described.data().toString();
    int number = -1;
    std::sscanf(name.toStdString().c_str(), "Plug-in number %d", &number);
    ok = ok && number >= 0;
    const Timing edited = Best([&](int round) {
        const QString newName = QStringLiteral("Plug-in number %1 edit %2").arg(number).arg(round);
        return Measure(
            [&] {
                WriteAtomically(storage / bench::FolderOf(number, kFolders) /
                                    ("plugin" + std::to_string(number) + ".desc.txt"),
                                "Name=" + newName.toStdString() + "\r\nCategory=Category " +
                                    std::to_string(number % 7) + "\r\n");
            },
            [&] { return described.data().toString() == newName; });
    });
    Report("a description replaced", plugins, edited);

    // Half the plug-ins in use go out of use, as many others come in: swapped back and forth.
    int lastPair = 0;
    for (int i = 0; i + 1 < plugins; i += 2 * kEvery)
        lastPair = i;
    const Timing swapped = Best([&](int round) {
        const int inUseBefore = list->rowCount();
        return Measure(
            [&] {
                for (int i = 0; i < plugins; i += 2 * kEvery) {
                    const int out = round % 2 == 0 ? i : i + 1;
                    const int in = round % 2 == 0 ? i + 1 : i;
                    if (in >= plugins)
                        continue;
                    const std::string folderOut = bench::FolderOf(out, kFolders);
                    const std::string folderIn = bench::FolderOf(in, kFolders);
                    fs::remove(pluginsFolder / folderOut /
                               ("plugin" + std::to_string(out) + ".cs"));
                    fs::create_directories(pluginsFolder / folderIn);
                    fs::copy_file(storage / folderIn / ("plugin" + std::to_string(in) + ".cs"),
                                  pluginsFolder / folderIn /
                                      ("plugin" + std::to_string(in) + ".cs"));
                }
            },
            [&] {
                // The second and the last pair swapped (the first plug-in was renamed), and as many
                // in use as before.
                const auto inUse = [list, round](int pair) {
                    const int number = pair + (round % 2 == 0 ? 1 : 0);
                    return !list->match(list->index(0, 0), Qt::DisplayRole,
                                        QStringLiteral("Plug-in number %1").arg(number), 1,
                                        Qt::MatchExactly)
                                .isEmpty();
                };
                return list->rowCount() == inUseBefore && inUse(2 * kEvery) && inUse(lastPair);
            });
    });
    Report("half the plug-ins in use swapped", plugins, swapped);
    fs::remove_all(root);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = true;
    for (const int plugins : bench::Sizes(argc, argv, {10000, 100000}))
        ok = Run(plugins) && ok;
    return ok ? 0 : 1;
}
