#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

// A Korvane folder of the size a long-time player reaches: plugins in 100 subfolders of
// storage, each with a description file, one in four with an icon unless told otherwise.
namespace korvane::bench {

inline void WriteSmallFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string FolderOf(int plugin, int folders)
{
    return "folder" + std::to_string(plugin % folders);
}

// A plug-in's script that defines functions: two of its own, after a comment and before a string
// that name others, which do not count; one plug-in in twenty also defines a function of the
// game's, so that those clash.
inline std::string ScriptWithFunctions(const std::string& key, int plugin)
{
    std::string text = "// " + key + "\r\n// function " + key + "::commented()\r\n";
    text += "function " + key + "::onUse(%player, %item)\r\n{\r\n   echo(\"function " + key +
            "::quoted()\");\r\n}\r\n";
    text += "function " + key + "::onDrop(%player, %item) { return 0; }\r\n";
    if (plugin % 20 == 0)
        text += "function Player::onDamage(%this, %type, %value)\r\n{\r\n   " + key +
                "::onUse(%this, 0);\r\n}\r\n";
    return text;
}

// With functions, each script is ScriptWithFunctions; else a comment line.
inline void GenerateStorage(const std::filesystem::path& storage, int plugins, int folders,
                            bool icons = true, bool functions = false)
{
    for (int f = 0; f < folders; ++f)
        std::filesystem::create_directories(storage / FolderOf(f, folders));
    for (int i = 0; i < plugins; ++i) {
        const auto folder = storage / FolderOf(i, folders);
        const std::string key = "plugin" + std::to_string(i);
        WriteSmallFile(folder / (key + ".cs"),
                       functions ? ScriptWithFunctions(key, i) : "// " + key + "\r\n");
        WriteSmallFile(folder / (key + ".desc.txt"),
                       "Name=Plug-in number " + std::to_string(i) + "\r\nCategory=Category " +
                           std::to_string(i % 7) + "\r\nAuthor=Bench\r\nWhat plug-in " +
                           std::to_string(i) + " does.\r\nSecond line.\r\n");
        if (icons && i % 4 == 0)
            WriteSmallFile(folder / (key + ".ico"), std::string(318, '\0'));
    }
}

// Every every-th plug-in is in use: its script sits in the same subfolder of plugins.
inline void PutInUse(const std::filesystem::path& storage, const std::filesystem::path& plugins,
                     int pluginCount, int folders, int every)
{
    namespace fs = std::filesystem;
    for (int i = 0; i < pluginCount; i += every) {
        const std::string script = "plugin" + std::to_string(i) + ".cs";
        fs::create_directories(plugins / FolderOf(i, folders));
        fs::copy_file(storage / FolderOf(i, folders) / script,
                      plugins / FolderOf(i, folders) / script);
    }
}

template <typename F> double BestSeconds(int rounds, F&& work)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

// The sizes given on the command line after the program's name, or the defaults.
inline std::vector<int> Sizes(int argc, char** argv, std::vector<int> defaults)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    sizes.erase(std::remove_if(sizes.begin(), sizes.end(), [](int n) { return n <= 0; }),
                sizes.end());
    return sizes.empty() ? defaults : sizes;
}

#ifdef KORVANE_CLI
// The korvane-cli of this build, or another one named by KORVANE_CLI in the environment (to
// compare two builds).
inline std::string CliPath()
{
    const char* other = std::getenv("KORVANE_CLI");
    return other && *other ? other : KORVANE_CLI;
}
#endif

struct Run
{
    bool ok = false;
    double seconds = 0;
    long peakKiB = 0;      // the child's maximum resident set size
    double cpuSeconds = 0; // user + system time: less disturbed than wall time on a busy machine
};

// Runs a program with its standard output thrown away (its error output too when it is to fail)
// and waits for it; ok when it exits with the status expected.
inline Run RunProgram(const std::vector<std::string>& arguments, int expectedExit = 0)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // A failure expected says why at length; one not expected is shown.
    if (expectedExit != 0)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(child, &status, 0, &usage) == child) {
            run.ok = WIFEXITED(status) && WEXITSTATUS(status) == expectedExit;
            run.peakKiB = usage.ru_maxrss;
            run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                             (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The fastest of several runs, with the largest peak memory of them; not ok when any failed.
inline Run BestRun(int rounds, const std::vector<std::string>& arguments, int expectedExit = 0)
{
    Run best{true, 1e9, 0, 1e9};
    for (int r = 0; r < rounds; ++r) {
        const Run run = RunProgram(arguments, expectedExit);
        if (!run.ok)
            std::fprintf(stderr, "failed: %s %s\n", arguments.front().c_str(),
                         arguments.size() > 1 ? arguments.back().c_str() : "");
        best.ok = best.ok && run.ok;
        best.seconds = std::min(best.seconds, run.seconds);
        best.peakKiB = std::max(best.peakKiB, run.peakKiB);
        best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
    }
    return best;
}

} // namespace korvane::bench
