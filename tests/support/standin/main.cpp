// A stand-in for the game's tribes.exe: it writes the folder it was started in and each argument
// it got, one a line, to tribes-run.txt beside itself, and ends. On Windows the arguments are the
// ones the C runtime splits from the command line, as a Windows program gets them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t self[32768];
    ::GetModuleFileNameW(nullptr, self, sizeof self / sizeof *self);
    std::string record = Utf8(std::filesystem::current_path().c_str()) + '\n';
    for (int i = 1; i < argc; ++i)
        record += Utf8(argv[i]) + '\n';
    const auto file = std::filesystem::path(self).parent_path() / L"tribes-run.txt";
#else
int main(int argc, char** argv)
{
    std::string record = std::filesystem::current_path().string() + '\n';
    for (int i = 1; i < argc; ++i)
        record += std::string(argv[i]) + '\n';
    const auto file = std::filesystem::absolute(argv[0]).parent_path() / "tribes-run.txt";
#endif
    // Written beside and renamed, so that a reader never sees half a record.
    auto partial = file;
    partial += ".part";
    std::ofstream(partial, std::ios::binary) << record;
    std::error_code ec;
    std::filesystem::rename(partial, file, ec);
    return ec ? 1 : 0;
}
