#include "cli/ClashCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/TextEncoding.h"
#include "res/Strings.h"

#include <QCommandLineParser>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

namespace {

constexpr QLatin1StringView kJson("json");

// The function, then the key of each plug-in that defines it.
std::string ClashLine(const FunctionClash& clash)
{
    std::vector<std::string_view> fields{clash.function};
    for (const FunctionClash::Definer& plugin : clash.plugins)
        fields.push_back(plugin.key);
    return clioutput::TabSeparated(fields);
}

std::string DefinerJson(const FunctionClash::Definer& plugin)
{
    using clioutput::JsonString;
    return "{" + JsonString("key") + ": " + JsonString(textencoding::ToUtf8(plugin.key)) + ", " +
           JsonString("file") + ": " + JsonString(textencoding::ToUtf8(plugin.file.Stored())) +
           ", " + JsonString("line") + ": " + std::to_string(plugin.line) + "}";
}

std::string ClashJson(const FunctionClash& clash)
{
    using clioutput::JsonString;
    std::string plugins;
    for (const FunctionClash::Definer& plugin : clash.plugins)
        plugins += (plugins.empty() ? "" : ", ") + DefinerJson(plugin);
    return "{" + JsonString("function") + ": " + JsonString(clash.function) + ", " +
           JsonString("plugins") + ": [" + plugins + "]}";
}

// One clash a line, as list prints one plug-in a line.
std::string ClashesJson(const std::vector<FunctionClash>& clashes)
{
    if (clashes.empty())
        return "[]\n";
    std::string json = "[\n";
    for (size_t i = 0; i < clashes.size(); ++i)
        json += "  " + ClashJson(clashes[i]) + (i + 1 < clashes.size() ? ",\n" : "\n");
    return json + "]\n";
}

int Conflicts(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const functionclashes::InUse inUse = functionclashes::ReadInUse(*korvaneFolder);
    if (arguments.isSet(kJson)) {
        session.Out() << ClashesJson(inUse.clashes);
    } else {
        std::string text;
        for (const FunctionClash& clash : inUse.clashes)
            text += ClashLine(clash);
        session.Out() << text;
    }
    // What could not be read may hide clashes: the list is not the whole answer.
    if (!inUse.unreadable)
        return session.Fail(std::string_view(strings::kClashesUnreadable), inUse.unreadable);
    return kExitSuccess;
}

} // namespace

std::vector<Command> ClashCommands()
{
    return {
        {.name = QStringLiteral("conflicts"),
         .usage = strings::kCliConflictsUsage,
         .help = strings::kCliConflictsHelp,
         .options = {FlagOption(kJson)},
         .run = Conflicts},
    };
}

} // namespace korvane
