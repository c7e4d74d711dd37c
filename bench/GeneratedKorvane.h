#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

// A Korvane folder of the size a long-time player reaches: plugins in 100 subfolders of
// storage, each with a description file, one in four with an icon.
namespace bench {

inline void WriteSmallFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline void GenerateStorage(const std::filesystem::path& storage, int plugins, int folders)
{
    for (int f = 0; f < folders; ++f)
        std::filesystem::create_directories(storage / ("folder" + std::to_string(f)));
    for (int i = 0; i < plugins; ++i) {
        const auto folder = storage / ("folder" + std::to_string(i % folders));
        const std::string key = "plugin" + std::to_string(i);
        WriteSmallFile(folder / (key + ".cs"), "// " + key + "\r\n");
        WriteSmallFile(folder / (key + ".desc.txt"),
                       "Name=Plug-in number " + std::to_string(i) + "\r\nCategory=Category " +
                           std::to_string(i % 7) + "\r\nAuthor=Bench\r\nWhat plug-in " +
                           std::to_string(i) + " does.\r\nSecond line.\r\n");
        if (i % 4 == 0)
            WriteSmallFile(folder / (key + ".ico"), std::string(318, '\0'));
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

} // namespace bench
