// The window's filter on a large catalogue: the time from a keystroke in the filter field to the
// tree laid out and drawn again (offscreen platform), for each prefix of a typed word, for a text
// that matches nothing and for clearing the field. The floor is the bare search of the same
// texts for the same prefixes, without widgets. Best of three rounds per keystroke.
//   bench_filter [PLUGINS...]      (default 100000)
#include "bench/GeneratedKorvane.h"
#include "core/catalogue/CPluginList.h"
#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/mainwindow/CManagerDlg.h"
#include "gui/mainwindow/PluginFilter.h"
#include "gui/widgets/ShownText.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <unistd.h>
#include <vector>

using namespace korvane;
using namespace korvane::mainwindow;
using namespace korvane::widgets;

namespace {

constexpr int kFolders = 100;
constexpr int kRounds = 3;
constexpr double kTargetMs = 50;

// What the user types, one text per keystroke; the empty text is the cleared field.
std::vector<QString> Keystrokes()
{
    std::vector<QString> texts;
    const QString word = QStringLiteral("NUMBER 4242");
    for (qsizetype length = 1; length <= word.size(); ++length)
        texts.push_back(word.left(length));
    texts.push_back({});
    texts.push_back(QStringLiteral("zq"));
    texts.push_back({});
    return texts;
}

template <typename F> double Milliseconds(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The bare search, on the same texts as the window's.
PluginFilter FloorFilter(const std::filesystem::path& storage)
{
    CPluginList catalogue;
    catalogue.Rescan(kpath::WithTrailingSeparator(kpath::FromNative(storage)));
    PluginFilter filter;
    for (const auto& plugin : catalogue.m_arrPlugins)
        filter.add({ShownText(plugin->m_strName), ShownText(plugin->m_strFileName),
                    ShownText(plugin->m_strAuthor), ShownText(plugin->m_strCategory),
                    ShownText(plugin->m_strDescription)});
    return filter;
}

bool Measure(int plugins)
{
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("korvane-bench-filter-" + std::to_string(getpid()));
    fs::remove_all(root);
    bench::GenerateStorage(root / "storage", plugins, kFolders, false);
    bench::WriteSmallFile(root / "korvane.cs", "// the modification's own script\n");
    fs::create_directories(root / "plugins");
    const SettingsProfile profile =
        SettingsProfile::AtFile(QString::fromStdString(kpath::FromNative(root / "settings.ini")));
    const std::string korvane = kpath::WithTrailingSeparator(kpath::FromNative(root));
    profile.WriteProfileString(profile::kDirectories, profile::kKorvane, korvane);
    profile.WriteProfileString(profile::kDirectories, profile::kTribes, korvane);

    // Made before the window, so that making it does not stand between start-up and the first
    // keystroke.
    PluginFilter floor = FloorFilter(root / "storage");
    CManagerDlg window(profile);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not shown\n");
    auto* field = window.findChild<QLineEdit*>("filter");
    auto* tree = window.findChild<QTreeView*>("tree");
    auto* count = window.findChild<QLabel*>("filterCount");

    const std::vector<QString> texts = Keystrokes();
    std::vector<double> windowMs(texts.size(), 1e9);
    std::vector<double> floorMs(texts.size(), 1e9);
    std::vector<int> matches(texts.size());
    const auto type = [&](const QString& text) {
        field->setText(text);
        QApplication::processEvents();
        tree->viewport()->repaint();
    };
    // The first keystroke after start-up also makes the filter's texts.
    const double firstMs = Milliseconds([&] { type(texts.front()); });
    type(QString());
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        for (size_t step = 0; step < texts.size(); ++step) {
            windowMs[step] = std::min(windowMs[step], Milliseconds([&] { type(texts[step]); }));
            floorMs[step] = std::min(
                floorMs[step], Milliseconds([&] { matches[step] = floor.match(texts[step]); }));
            const QString expected =
                texts[step].isEmpty() ? QString() : QStringLiteral("%1 of ").arg(matches[step]);
            ok = ok && count->text().remove(u',').startsWith(expected);
        }
    }

    std::printf("Filter on %d plug-ins, ms per keystroke (window | bare search):\n", plugins);
    std::printf("  first keystroke after start-up %.2f\n", firstMs);
    double worst = firstMs;
    for (size_t step = 0; step < texts.size(); ++step) {
        const QString shown =
            texts[step].isEmpty() ? QStringLiteral("(cleared)") : u'"' + texts[step] + u'"';
        std::printf("  %-16s %6d found  %7.2f | %6.2f\n", qPrintable(shown), matches[step],
                    windowMs[step], floorMs[step]);
        worst = std::max(worst, windowMs[step]);
    }
    std::printf("  slowest keystroke %.2f ms (target under %.0f ms)\n", worst, kTargetMs);
    if (!ok)
        std::fprintf(stderr, "the window's count differs from the search's\n");
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
    for (const int plugins : bench::Sizes(argc, argv, {100000}))
        ok = Measure(plugins) && ok;
    return ok ? 0 : 1;
}
