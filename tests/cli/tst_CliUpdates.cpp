#include "CliTestSupport.h"
#include "core/platform/AtomicFile.h"
#include "core/updater/MinisignKey.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "support/LoopbackServer.h"
#include "support/Signing.h"
#include "support/UpdaterTestSupport.h"

#include <csignal>
#include <filesystem>
#ifndef Q_OS_WIN
#include <signal.h>
#endif

using namespace korvane;

namespace {

// A Korvane folder and a server with its update list: Sniper installs into storage\; Broken names
// a file the server lacks; the single-byte Windows name of the third update has no files, so it
// counts as installed.
struct Updates
{
    Updates()
    {
        cli.MakeKorvane("k/");
        cli.tree.Write("k/storage/sniper.cs", "old");
        const std::string files = server.Url("/files/");
        using testsupport::MakeUpdate;
        server.Serve("/korvane.upd",
                     QByteArray::fromStdString(testsupport::ListBytes(*testsupport::ListOf(
                         MakeUpdate("Sniper", "storage\\", files, {{"sniper.cs", "", 6}}, 1, 2),
                         MakeUpdate("Broken", "storage\\", files, {{"gone.cs", "", 4}}, 2, 10),
                         MakeUpdate("Caf\xe9 pack", "extras\\", files, {}, 0, 1)))));
        server.Serve("/page.html", "<!DOCTYPE html>\n<html><body>Not here</body></html>\n");
        server.Serve("/files/sniper.cs", "sniper");
        // Slow sends its file at 1,000 bytes a second for a minute.
        server.Serve("/slow.upd",
                     QByteArray::fromStdString(testsupport::ListBytes(*testsupport::ListOf(
                         testsupport::MakeUpdate("Slow", "storage\\", server.Url("/slow/"),
                                                 {{"sniper.cs", "", 60000}})))));
        server.SetRoute("/slow/sniper.cs",
                        {200, QByteArray(60000, 's'), 60000, true, true, 100, 100});
    }

    QString Url(const char* path) const { return Q(server.Url(path)); }
    // An argument that starts with '/' is that path on the server; one that starts with '@/', that
    // path at an address that holds a user name and a password.
    CliResult Run(QStringList arguments) const
    {
        for (QString& argument : arguments) {
            if (argument.startsWith(u"@/"))
                argument = Url("").insert(7, u"user:secret@") + argument.mid(1);
            else if (argument.startsWith(u'/'))
                argument.prepend(Url(""));
        }
        return cli.Run(arguments);
    }

    CliFixture cli;
    LoopbackServer server;
};

// What install and updates say first of a list that no key checks.
QString Unsigned()
{
    return QString::fromUtf8(strings::kCliListNotSigned) + u'\n';
}

// The data row of a kill, which no program can catch.
#ifdef Q_OS_WIN
constexpr int kKill = -1;
#else
constexpr int kKill = SIGKILL;
#endif

// The program's temporary files anywhere in the tree.
QStringList Temporaries(const TestTree& tree)
{
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Root())) {
        if (kfs::IsTemporaryName(entry.path().filename().string()))
            found << Q(entry.path().string());
    }
    return found;
}

} // namespace

class tst_CliUpdates : public QObject
{
    Q_OBJECT

private slots:
    void updatesListsEachUpdateWithItsInstalledState()
    {
        const Updates u;
        u.cli.tree.Write("k/storage/gone.cs", "gone");
        const CliResult updates = u.Run({"updates", "--url", "/korvane.upd"});
        QCOMPARE(updates.out, QStringLiteral("0\tSniper\t1.2\tNo\n"
                                             "1\tBroken\t2.10\tYes\n"
                                             "2\tCafé pack\t0.1\tYes\n"));
        QCOMPARE(updates.err, Unsigned());
        QCOMPARE(updates.status, 0);
        // No progress either: standard error is no terminal here.
        const CliResult install = u.Run({"install", "0", "--url", "/korvane.upd"});
        QCOMPARE(install.err, Unsigned());
        QCOMPARE(install.out, QStringLiteral("Installed Sniper 1.2\n"));
        // Without --url, the address the settings hold.
        u.cli.WindowProfile().WriteProfileString(profile::kUpdater, profile::kUrl,
                                                 u.Url("/korvane.upd").toStdString());
        QCOMPARE(u.Run({"updates"}).out.section(u'\n', 0, 0), "0\tSniper\t1.2\tYes");
    }

    // --files: one line a file, index, place, bytes, Replaces? and the note, as View Info shows
    // them; an update without files has no line. What each file's fields say is the preview's
    // concern (tst_UpdatePreview).
    void updatesFilesPrintsEachFileAsViewInfoShowsIt()
    {
        Updates u;
        u.server.Serve(
            "/refused.upd",
            QByteArray::fromStdString(testsupport::ListBytes(*testsupport::ListOf(
                testsupport::MakeUpdate("Refused", "", "http://h/", {{"x.cs", "..\\", 1}})))));
        const CliResult listed = u.Run({"updates", "--files", "--url", "/korvane.upd"});
        QCOMPARE(listed.err, Unsigned());
        QCOMPARE(listed.status, 0);
        QCOMPARE(listed.out, QStringLiteral("0\tstorage\\sniper.cs\t6\tYes\t\n"
                                            "1\tstorage\\gone.cs\t4\tNo\t\n"));
        QCOMPARE(u.Run({"updates", "--files", "--url", "/refused.upd"}).out,
                 "0\t..\\x.cs\t1\tRefused\t" +
                     strings::Text(strings::kNoteRefused)
                         .arg(strings::Text(strings::kReasonUnsafeName).arg("..\\x.cs")) +
                     '\n');
    }

    // Each failure's message ends with its reason; which reason each list gets is the update
    // list's concern (tst_UpdateList). An address's user information never reaches the terminal:
    // the message names the address without it.
    void failuresSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("sniper");
        QTest::addColumn<QString>("installed"); // standard output
        const auto because = [](const char* message, const char* reason) {
            return QString::fromUtf8(strings::kCliFailedBecause)
                .arg(QString::fromUtf8(message), QString::fromUtf8(reason));
        };
        const QString noSuchUpdate = QString::fromUtf8(strings::kCliNoSuchUpdate).arg(3);
        // clang-format off
        const QString broken = because(strings::kInstallFailed, "Broken 2.10, file gone.cs: HTTP 404");
        QTest::newRow("each failure told") << QStringList{"install", "1", "0", "1", "--url", "/korvane.upd"} << Unsigned() + broken + u'\n' + broken << "sniper" << "Installed Sniper 1.2\n";
        QTest::newRow("index not listed: nothing installed") << QStringList{"install", "0", "3", "--url", "/korvane.upd"} << Unsigned() + noSuchUpdate << "old" << "";
        QTest::newRow("no list on the server") << QStringList{"updates", "--url", "@/missing.upd"} << because(strings::kCliListNotDownloaded, "HTTP 404") << "old" << "";
        QTest::newRow("install from a web page") << QStringList{"install", "0", "--url", "/page.html"} << because(strings::kUpdateListUnreadable, strings::kReasonNotAList) << "old" << "";
        // clang-format on
    }

    void failuresSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, sniper);
        const Updates u;
        const CliResult result = u.Run(arguments);
        QCOMPARE_FAILURE(result, message.replace(QLatin1String("%1"), u.Url("/missing.upd")));
        QTEST(result.out, "installed");
        QCOMPARE(Q(u.cli.tree.Read("k/storage/sniper.cs")), sniper);
    }

    // --key pins a key for one run, in place of the settings' keys: a list and files it signed
    // are installed in silence; anything else is refused, naming the address without its user
    // information, and changes nothing. Without a key the player is shown the signing key's ID.
    void aPinnedKeyTakesOnlyWhatItSigned()
    {
        Updates u;
        const QByteArray list = QByteArray::fromStdString(
            testsupport::ListBytes(*testsupport::ListOf(testsupport::MakeUpdate(
                "Sniper", "storage\\", u.server.Url("/files/"), {{"sniper.cs", "", 6}}, 1, 2))));
        u.server.Serve("/signed.upd", list);
        u.server.Serve("/signed.upd.minisig", testsupport::Signed(list, "signed.upd"));
        u.server.Serve("/files/sniper.cs.minisig", testsupport::Signed("sniper", "sniper.cs"));
        const QString key = QString::fromLatin1(testsupport::PublicKeyLine());
        u.cli.WindowProfile().WriteProfileString(profile::kUpdater, profile::kPublicKey,
                                                 testsupport::PublicKeyLine("other").toStdString());

        QCOMPARE_FAILURE(
            u.Run({"install", "0", "--url", "@/korvane.upd", "--key", key}),
            strings::Text(strings::kCliFailedBecause)
                .arg(strings::Text(strings::kCliListRefused).arg(u.Url("/korvane.upd")),
                     strings::Text(strings::kReasonNotSigned).arg(strings::kTheUpdateList)));
        QCOMPARE(u.cli.tree.Read("k/storage/sniper.cs"), std::string("old"));
        const QString id =
            QString::fromStdString(MinisignKey::FromBase64(key.toStdString())->IdText());
        const CliResult unpinned = u.Run({"updates", "--url", "/signed.upd", "--key", ""});
        QCOMPARE(unpinned.err, strings::Text(strings::kCliListSignedUnchecked).arg(id) + u'\n');
        QCOMPARE(unpinned.status, 0);
        QVERIFY_SUCCESS(u.Run({"install", "0", "--url", "/signed.upd", "--key", key}));
        QCOMPARE(u.cli.tree.Read("k/storage/sniper.cs"), std::string("sniper"));
        // The settings' key is another's.
        QCOMPARE(u.Run({"updates", "--url", "/signed.upd"}).status, 1);
    }

    // The player's own copy in use is kept and named, with the way out, and an option settles
    // it. What each option sets aside is the catalogue's concern (tst_SettleCopies).
    void aChangedCopyInUseIsKeptUntilAnOptionSettlesIt()
    {
        const Updates u;
        u.cli.tree.Write("k/plugins/sniper.cs", "edited");
        const QString kept = strings::Text(strings::kReasonInUseDiffers)
                                 .arg(Q(u.cli.tree.Path("k/plugins/sniper.cs")));
        QCOMPARE_FAILURE(u.Run({"install", "0", "--url", "/korvane.upd"}),
                         Unsigned() +
                             strings::Text(strings::kCliFailedBecause)
                                 .arg(strings::kInstallFailed, "Sniper 1.2: " + kept) +
                             u'\n' + strings::kCliSettleHint);
        QCOMPARE(u.cli.tree.Read("k/plugins/sniper.cs"), "edited");
        QCOMPARE(u.Run({"install", "0", "--url", "/korvane.upd", "--use-storage"}).status, 0);
        QCOMPARE(u.cli.tree.Read("k/plugins/sniper.cs"), "sniper");
    }

    // A held plug-in's update reads Held and is passed over, named with the way on, while the
    // others install; --include-held installs it, and the plug-in stays held. hold takes keys as
    // use does; release of a key that is not held is a note, not a failure.
    void aHeldPluginsUpdateIsPassedOverUntilIncludedOrReleased()
    {
        const Updates u;
        const auto entry = [&u] {
            return Q(u.cli.WindowProfile().GetProfileString(profile::kUpdater, profile::kHeld));
        };
        QCOMPARE_FAILURE(u.Run({"hold", "SNIPER", "radar"}),
                         strings::Text(strings::kCliNoSuchPlugin).arg("radar"));
        QCOMPARE(entry(), QString());
        QVERIFY_SUCCESS(u.Run({"hold", "SNIPER"}));
        QCOMPARE(entry(), "sniper"); // as storage spells it
        QCOMPARE(
            u.Run({"updates", "--url", "/korvane.upd"}).out,
            QStringLiteral("0\tSniper\t1.2\tHeld\n1\tBroken\t2.10\tNo\n2\tCafé pack\t0.1\tYes\n"));

        const CliResult passedOver = u.Run({"install", "0", "2", "--url", "/korvane.upd"});
        QCOMPARE(passedOver.out, QStringLiteral("Installed Café pack 0.1\n"));
        QCOMPARE_FAILURE(
            passedOver,
            Unsigned() + strings::Text(strings::kCliUpdateHeldOne).arg("Sniper 1.2", "\"sniper\"") +
                u'\n' + strings::kCliHeldHint);
        QCOMPARE(u.cli.tree.Read("k/storage/sniper.cs"), "old");
        QCOMPARE(u.Run({"install", "0", "--include-held", "--url", "/korvane.upd"}).status, 0);
        QCOMPARE(u.cli.tree.Read("k/storage/sniper.cs"), "sniper");
        QCOMPARE(entry(), "sniper");

        const CliResult released = u.Run({"release", "Sniper", "radar"});
        QCOMPARE(released.err, strings::Text(strings::kCliNotHeld).arg("radar") + u'\n');
        QCOMPARE(released.status, 0);
        QCOMPARE(entry(), QString());
    }

    // A signal during a download stops it and leaves nothing behind (SIGTERM and SIGHUP reach the
    // same handler as SIGINT); after a kill, which leaves the temporary file, the next command
    // that changes the folder removes it. On Windows a kill is TerminateProcess, as the task
    // manager ends a program.
    void aSignalDuringAnInstallLeavesNothingBehind_data()
    {
        QTest::addColumn<int>("signal");
#ifndef Q_OS_WIN
        QTest::newRow("SIGINT") << SIGINT;
#endif
        QTest::newRow("SIGKILL") << kKill;
    }

    void aSignalDuringAnInstallLeavesNothingBehind()
    {
        QFETCH(int, signal);
        const Updates u;
        QProcess process;
        u.cli.Start(process, {"install", "0", "--url", u.Url("/slow.upd")});
        QTRY_VERIFY_WITH_TIMEOUT(!Temporaries(u.cli.tree).isEmpty(), 20000);
        if (signal == kKill)
            process.kill();
#ifndef Q_OS_WIN
        else
            ::kill(static_cast<pid_t>(process.processId()), signal);
#endif
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(u.cli.tree.Read("k/storage/sniper.cs"), std::string("old"));
        if (signal == kKill) {
            QCOMPARE(Temporaries(u.cli.tree).size(), 1);
            QCOMPARE(u.Run({"install", "0", "--url", "/korvane.upd"}).status, 0);
        } else {
            const QString name = QTest::currentDataTag();
            QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                     Unsigned() +
                         QString::fromUtf8(strings::kCliFailedBecause)
                             .arg(strings::kInstallFailed,
                                  "Slow 1.0, file sniper.cs: " +
                                      QString::fromUtf8(strings::kReasonInterrupted)) +
                         "\nStopped by " + name + ".\n");
            QCOMPARE(process.exitCode(), 1);
        }
        QCOMPARE(Temporaries(u.cli.tree), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_CliUpdates)
#include "tst_CliUpdates.moc"
