#include "cli/SettleOptions.h"

#include "cli/CliSession.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCommandLineParser>

namespace korvane::clisettle {
namespace {

constexpr QLatin1StringView kKeepMine("keep-mine");
constexpr QLatin1StringView kUseStorage("use-storage");

} // namespace

QList<QCommandLineOption> Options()
{
    return {QCommandLineOption(kKeepMine), QCommandLineOption(kUseStorage)};
}

std::optional<settle::Choice> ChoiceOf(CliSession& session, const QCommandLineParser& arguments)
{
    const bool keepMine = arguments.isSet(kKeepMine);
    const bool useStorage = arguments.isSet(kUseStorage);
    if (keepMine && useStorage) {
        session.UsageError(strings::Text(strings::kCliSettleBoth));
        return std::nullopt;
    }
    if (keepMine)
        return settle::Choice::KeepMine;
    return useStorage ? settle::Choice::UseStorage : settle::Choice::Refuse;
}

void Hint(CliSession& session)
{
    session.Err() << strings::kCliSettleHint << '\n';
}

} // namespace korvane::clisettle
