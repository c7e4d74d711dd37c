#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace korvane {

class CliSession;

// One command of korvane-cli: its name, its texts, the options and arguments it takes, and what
// it does. run gets the command's own arguments, already checked against this description.
struct Command
{
    using Handler = int (*)(CliSession& session, const QCommandLineParser& arguments);

    QString name{};
    const char* usage = nullptr; // one line
    const char* help = nullptr;  // shown after the usage line by --help
    QList<QCommandLineOption> options{};
    QString argumentName{}; // as the usage line names the arguments, e.g. "KEY"
    int minArguments = 0;
    int maxArguments = 0; // -1: any number
    Handler run = nullptr;
    // Changes files of the Korvane folder: runs only on a Korvane folder, while it holds that
    // folder's lock (FolderLock::Use::Changes).
    bool changesKorvaneFolder = false;
    // With changesKorvaneFolder: the command only reads the Korvane folder, under its lock so as
    // to read no change half made (FolderLock::Use::Reads).
    bool onlyReads = false;
};

// An option that takes a value (--name T) or none (--json); the help texts describe them.
inline QCommandLineOption ValueOption(const QString& name, const QString& valueName)
{
    return QCommandLineOption(name, QString(), valueName);
}
inline QCommandLineOption FlagOption(const QString& name)
{
    return QCommandLineOption(name);
}

} // namespace korvane
