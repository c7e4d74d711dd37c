#include "core/platform/GameProcess.h"

#include "core/platform/KPath.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace kprocess {
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

} // namespace

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

StartResult StartDetached(const std::filesystem::path& program, [[maybe_unused]] ProgramKind kind,
                          std::string_view parameters, const std::filesystem::path& workingFolder)
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
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return StartResult::WineNotFound;
        arguments.prepend(PathText(program));
        process.setProgram(wine);
    } else {
        process.setProgram(PathText(program));
    }
    process.setArguments(arguments);
#endif
    return process.startDetached() ? StartResult::Started : StartResult::Failed;
}

} // namespace kprocess
