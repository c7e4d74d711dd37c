#include "core/platform/GameProcess.h"

#include "core/platform/KPath.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <system_error>
#ifdef Q_OS_WIN
#include <memory>
#include <windows.h>
#endif

namespace korvane::kprocess {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString PathText(const std::filesystem::path& path)
{
    return ToQString(std::string_view(kpath::FromNative(path)));
}

// The nearest prefix whose C: drive, drive_c, holds the path; empty when there is none.
std::filesystem::path PrefixAbove(std::filesystem::path path)
{
    for (;;) {
        if (path.filename() == "drive_c" && IsWinePrefix(path.parent_path()))
            return path.parent_path();
        std::filesystem::path parent = path.parent_path();
        if (parent == path || parent.empty())
            return {};
        path = std::move(parent);
    }
}

// The prefix that holds the folder as its path reads, or else as its links lead: a Tribes
// folder reached through the prefix's dosdevices lies in drive_c all the same.
std::filesystem::path FindWinePrefix(const std::filesystem::path& folder)
{
    std::error_code ec;
    const std::filesystem::path given = std::filesystem::absolute(folder, ec).lexically_normal();
    if (std::filesystem::path prefix = PrefixAbove(given); !prefix.empty())
        return prefix;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(folder, ec);
    return ec ? std::filesystem::path() : PrefixAbove(resolved);
}

#ifdef Q_OS_WIN
// Windows' text for a failure to start program: the reason it refused, "%1 is not a valid Win32
// application." for a file that is no program, with the program named where the text has "%1".
// Empty when Windows gave no failure or has no text for it.
std::string SystemReason(DWORD error, const std::filesystem::path& program)
{
    if (error == ERROR_SUCCESS)
        return {};
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
    if (length == 0)
        return {};
    QString reason = QString::fromWCharArray(text, static_cast<qsizetype>(length)).trimmed();
    reason.replace(QLatin1String("%1"), QDir::toNativeSeparators(PathText(program)));
    return reason.toStdString();
}
#else
// The program of a command: a name looked up on PATH, or a path of its own when it holds a
// separator. Empty when nothing executable is there.
QString FindProgram(const QString& program)
{
    if (!program.contains(u'/'))
        return QStandardPaths::findExecutable(program);
    // No shell reads the command, so the home folder is expanded here as a shell would.
    const QFileInfo file(
        program.startsWith(QStringLiteral("~/")) ? QDir::home().filePath(program.mid(2)) : program);
    return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
}

// The environment of the Windows program: the program's own, with the prefix it runs in.
QProcessEnvironment WineEnvironment(const std::filesystem::path& programFolder,
                                    const WineSettings& wine)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString prefix = ToQString(ChooseWinePrefix(
        programFolder, wine.prefix, environment.value(QStringLiteral("WINEPREFIX")).toStdString()));
    if (!prefix.isEmpty())
        environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    return environment;
}
#endif

} // namespace

bool IsWinePrefix(const std::filesystem::path& folder)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / "system.reg", ec) &&
           std::filesystem::is_directory(folder / "drive_c", ec);
}

std::vector<std::string> SplitWineCommand(std::string_view command)
{
    std::vector<std::string> words;
    for (const QString& word : QProcess::splitCommand(ToQString(command)))
        words.push_back(word.toStdString());
    if (words.empty() || words.front().empty())
        return {kDefaultWineCommand};
    return words;
}

std::string WineProgram(std::string_view command)
{
    return SplitWineCommand(command).front();
}

std::string ChooseWinePrefix(const std::filesystem::path& programFolder,
                             std::string_view userPrefix, std::string_view environmentPrefix)
{
    if (!environmentPrefix.empty())
        return std::string(environmentPrefix);
    if (!userPrefix.empty())
        return std::string(userPrefix);
    const std::filesystem::path prefix = FindWinePrefix(programFolder);
    return prefix.empty() ? std::string() : kpath::FromNative(prefix);
}

std::vector<std::string> SplitWindowsArguments(std::string_view parameters)
{
    std::vector<std::string> arguments;
    const size_t end = parameters.size();
    size_t i = 0;
    for (;;) {
        while (i < end && IsBlank(parameters[i]))
            ++i;
        if (i == end)
            break;
        std::string argument;
        bool quoted = false;
        while (i < end) {
            size_t backslashes = 0;
            while (i < end && parameters[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < end && parameters[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument.push_back('"');
                } else if (quoted && i + 1 < end && parameters[i + 1] == '"') {
                    argument.push_back('"');
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            argument.append(backslashes, '\\');
            if (i == end || (!quoted && IsBlank(parameters[i])))
                break;
            argument.push_back(parameters[i]);
            ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

korvane::Status StartDetached(const std::filesystem::path& program,
                              [[maybe_unused]] ProgramKind kind, std::string_view parameters,
                              const std::filesystem::path& workingFolder,
                              [[maybe_unused]] const WineSettings& wine)
{
    QProcess process;
    process.setWorkingDirectory(PathText(workingFolder));
#ifdef Q_OS_WIN
    // The program splits its own command line, so it gets the string exactly as composed.
    process.setProgram(PathText(program));
    process.setNativeArguments(ToQString(parameters));
#else
    QStringList arguments;
    for (const std::string& argument : SplitWindowsArguments(parameters))
        arguments.append(ToQString(std::string_view(argument)));
    if (kind == ProgramKind::Windows) {
        std::vector<std::string> command = SplitWineCommand(wine.command);
        const QString runner = FindProgram(ToQString(command.front()));
        if (runner.isEmpty())
            return korvane::Status::Failure(StartFailure::WineNotFound, std::string());
        QStringList wineArguments;
        for (auto word = command.begin() + 1; word != command.end(); ++word)
            wineArguments.append(ToQString(*word));
        arguments = wineArguments + QStringList{PathText(program)} + arguments;
        process.setProgram(runner);
        process.setProcessEnvironment(WineEnvironment(program.parent_path(), wine));
    } else {
        process.setProgram(PathText(program));
    }
    process.setArguments(arguments);
#endif
    if (process.startDetached())
        return korvane::Status::Success();
#ifdef Q_OS_WIN
    // QProcess says only that the start failed; why is what CreateProcess left behind, which is
    // still in place when startDetached returns (a file that is no program: ERROR_BAD_EXE_FORMAT).
    return korvane::Status::Failure(StartFailure::Failed, SystemReason(GetLastError(), program));
#else
    return korvane::Status::Failure(StartFailure::Failed, std::string());
#endif
}

} // namespace korvane::kprocess
