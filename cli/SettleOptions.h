#pragma once

#include "core/catalogue/SettleCopies.h"

#include <optional>
#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;

namespace korvane {

class CliSession;

// --keep-mine and --use-storage: what the commands that would delete or keep a copy in use that
// differs from storage's do with it. Without either they refuse, as the window does until the
// player chooses.
namespace clisettle {

QList<QCommandLineOption> Options();

// The choice the options give; nothing, after a usage error, when both are given.
std::optional<settle::Choice> ChoiceOf(CliSession& session, const QCommandLineParser& arguments);

// Says, after a command refused for differing copies, how to settle them.
void Hint(CliSession& session);

} // namespace clisettle

} // namespace korvane
