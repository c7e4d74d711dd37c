#pragma once

#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "support/TestTree.h"
#include "support/Wine.h"

#include <optional>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace korvane {

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

struct CliResult
{
    int status = -1;
    QString out;
    QString err;
};

// A scratch settings location and folder tree for runs of the built korvane-cli. The tool sees
// the settings the window would see here, as the native store under XDG_CONFIG_HOME; on Windows
// the registry key of the build's own Wine prefix, emptied for each fixture.
class CliFixture
{
public:
    CliFixture()
    {
        tree.MakeFolder("config/Vantor");
        tree.MakeFolder("home");
#ifdef Q_OS_WIN
        // A real Windows user's settings are never touched: the tests own only a Wine prefix's.
        if (!testsupport::RunsUnderWine())
            qFatal("the korvane-cli tests write HKEY_CURRENT_USER\\Software\\%s and run only "
                   "in a scratch Wine prefix",
                   profile::kOrganisation);
        QSettings(QSettings::NativeFormat, QSettings::UserScope, profile::kOrganisation,
                  QStringLiteral("KorvaneMgr"))
            .clear();
#endif
    }

    // The window's profile in this settings location.
    SettingsProfile WindowProfile() const
    {
#ifdef Q_OS_WIN
        return SettingsProfile(QString::fromLatin1(profile::kOrganisation),
                               QStringLiteral("KorvaneMgr"));
#else
        return SettingsProfile::AtFile(tree.QPath("config/Vantor/KorvaneMgr.conf"));
#endif
    }

    // A Korvane folder with its script, storage and plugins folders, set in the window's profile.
    void MakeKorvane(const std::string& rel) const
    {
        tree.Write(rel + "korvane.cs", "");
        tree.MakeFolder(rel + "storage");
        tree.MakeFolder(rel + "plugins");
        WindowProfile().WriteProfileString(profile::kDirectories, profile::kKorvane,
                                           tree.Path(rel));
    }

    // Starts the tool in the tree's root folder, without waiting for it.
    void Start(QProcess& process, const QStringList& arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), tree.QPath("config"));
        environment.insert(QStringLiteral("HOME"), tree.QPath("home"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(Q(tree.Root()));
        if (runAs.isEmpty())
            process.start(QStringLiteral(KORVANE_CLI), arguments);
        else
            process.start(runAs.first(), runAs.mid(1) + QStringList{KORVANE_CLI} + arguments);
    }

    // Runs the tool as Start does. A run that crashes or hangs has status -1.
    CliResult Run(const QStringList& arguments) const
    {
        QProcess process;
        Start(process, arguments);
        const bool finished =
            process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        if (!finished) {
            process.kill();
            process.waitForFinished();
        }
        return {finished ? process.exitCode() : -1, Lines(process.readAllStandardOutput()),
                Lines(process.readAllStandardError())};
    }

    // Text a console program printed, its lines ending in '\n': a Windows one ends them in CR LF.
    static QString Lines(const QByteArray& printed)
    {
        QString text = QString::fromUtf8(printed);
#ifdef Q_OS_WIN
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
        return text;
    }

    TestTree tree;
    // A program and its arguments that run the tool as another user, or empty.
    QStringList runAs;
};

// The failure a user sees: exit status 1 and exactly this message on standard error.
#define QCOMPARE_FAILURE(result, message)                                                          \
    do {                                                                                           \
        const CliResult& r_ = (result);                                                            \
        QCOMPARE(r_.err, QString(message) + u'\n');                                                \
        QCOMPARE(r_.status, 1);                                                                    \
    } while (false)

// Success as a script sees it: exit status 0 and nothing on standard error.
#define QVERIFY_SUCCESS(result)                                                                    \
    do {                                                                                           \
        const CliResult& r_ = (result);                                                            \
        QCOMPARE(r_.err, QString());                                                               \
        QCOMPARE(r_.status, 0);                                                                    \
    } while (false)

} // namespace korvane
