#include "CliTestSupport.h"
#include "core/platform/FolderLock.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "support/WindowsFiles.h"

#include <chrono>
#include <filesystem>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace korvane;

// The catalogue and configuration commands on a Korvane folder: what they print, how they fail,
// and how they share the folder. What the files then hold is the catalogue's tests' concern.
class tst_CliPlugins : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;

    const TestTree& Tree() const { return m_fixture->tree; }
    CliResult Run(const QStringList& arguments) const { return m_fixture->Run(arguments); }

    static constexpr auto kEveryone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

    // Permissions do not stop root: then the tool runs as nobody, and everything in the tree is
    // open to everyone. False when the tool cannot be run so.
    bool RunWherePermissionsHold()
    {
#ifdef Q_OS_WIN
        return true;
#else
        if (geteuid() != 0)
            return true;
        const QStringList nobody{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        if (QProcess::execute(nobody[0], nobody.mid(1) + QStringList{"test", "-x", KORVANE_CLI}))
            return false;
        m_fixture->runAs = nobody;
        QFile::setPermissions(Tree().QPath(""), kEveryone);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Tree().Path(""))) {
            const QString path = QString::fromStdString(entry.path().string());
            QFile::setPermissions(path, entry.is_directory()
                                            ? kEveryone
                                            : QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadOther | QFile::WriteOther);
        }
        return true;
#endif
    }

private slots:
    // Storage: blaster (no description file), weapons\plasma (description and icon) and a
    // single-byte Windows description; blaster is in use.
    void init()
    {
        m_fixture.emplace();
        m_fixture->MakeKorvane("k/");
        Tree().Write("k/storage/blaster.cs", "blaster");
        Tree().Write("k/storage/weapons/plasma.cs", "plasma");
        Tree().Write("k/storage/weapons/plasma.desc.txt",
                     "Name=Plasma Rifle\r\nCategory=Weapon\r\nAuthor=Some\tone\r\nFirst line\r\n"
                     "Second \"line\"");
        Tree().Write("k/storage/weapons/plasma.ico", "icon");
        Tree().Write("k/storage/cafe.cs", "cafe");
        // Control characters, which plain output must not pass on to a terminal.
        Tree().Write("k/storage/cafe.desc.txt", "Name=Caf\xe9\r\nAuthor=Ren\xe9\x1b[2J\x9d!");
        Tree().Write("k/plugins/blaster.cs", "blaster");
    }

    void syncFollowsTheRefreshSetting()
    {
        m_fixture->WindowProfile().WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, 0);
        Tree().Write("k/plugins/notes.txt", "notes");
        QVERIFY_SUCCESS(Run({"sync"}));
        QVERIFY(!Tree().Exists("k/storage/notes.txt"));
    }

    void listShowsStorageInScanOrderOneLineEachOrAsJson()
    {
        // As a settings file edited by hand may hold it: no separator at its end.
        m_fixture->WindowProfile().WriteProfileString(profile::kDirectories, profile::kKorvane,
                                                      Tree().Path("k"));
        const CliResult result = Run({"list"});
        QCOMPARE(result.out,
                 QStringLiteral("blaster\tblaster\tUnknown\tUnknown\t\tyes\n"
                                "cafe\tCafé\tUnknown\tRené [2J !\t\tno\n"
                                "plasma\tPlasma Rifle\tWeapon\tSome one\tweapons\\\tno\n"));
        QVERIFY_SUCCESS(result);
        QCOMPARE(Run({"list", "--in-use"}).out,
                 QStringLiteral("blaster\tblaster\tUnknown\tUnknown\t\tyes\n"));
        // As JSON: every field, in its order.
        const QString json = Run({"list", "--json"}).out;
        QJsonParseError error;
        const QJsonArray plugins = QJsonDocument::fromJson(json.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(plugins[0].toObject().value("inUse"), QJsonValue(true));
        QCOMPARE(json.section(u'\n', 3, 3),
                 QStringLiteral("  {\"key\": \"plasma\", \"name\": \"Plasma Rifle\", \"category\": "
                                "\"Weapon\", \"author\": \"Some\\tone\", \"description\": \"First "
                                "line\\nSecond \\\"line\\\"\", \"subdirectory\": \"weapons\\\\\", "
                                "\"icon\": \"%1\", \"inUse\": false}")
                     .arg(Tree().QPath("k/storage/weapons/plasma.ico").replace("\\", "\\\\")));
    }

    // A copy in use stands for the stored plug-in of its own subfolder, as the window marks it:
    // here the one listed for the key is another subfolder's, and so not in use.
    void listMarksInUseByTheSubfolderOfTheCopy()
    {
        Tree().Write("k/storage/old/sniper.cs", "old");
        Tree().Write("k/storage/sniper.cs", "new");
        Tree().Write("k/plugins/sniper.cs", "new");
        QVERIFY(Run({"list"}).out.contains(u"\nsniper\tsniper\tUnknown\tUnknown\told\\\tno\n"));
        QFile::remove(Tree().QPath("k/plugins/sniper.cs"));
        Tree().Write("k/plugins/old/sniper.cs", "old");
        QVERIFY(
            Run({"list", "--json"})
                .out.contains(u"\"subdirectory\": \"old\\\\\", \"icon\": \"\", \"inUse\": true}"));
    }

    // A bidirectional control in a name would turn the rest of the line around, fields and all:
    // it is printed escaped, and JSON escapes it as JSON does, which gives the name back whole.
    void bidiControlsInNamesArePrintedEscaped()
    {
        Tree().Write("k/storage/photo.cs", "photo");
        Tree().Write("k/storage/photo.desc.txt",
                     "Name=photo\xe2\x80\xaegnp.cs\r\nCategory=\xe2\x81\xa6"
                     "Art");
        QVERIFY(Run({"list"}).out.contains(
            QStringLiteral("\nphoto\tphoto\\u202Egnp.cs\t\\u2066Art\tUnknown\t\tno\n")));
        const QString json = Run({"list", "--json"}).out;
        QVERIFY(json.contains(QStringLiteral("\"name\": \"photo\\u202Egnp.cs\"")));
        QVERIFY(!json.contains(QChar(0x202E)) && !json.contains(QChar(0x2066)));
    }

    // Only what storage holds can be handled, the plugins folder may hold the only copy: an
    // unknown key is named, with every other, and nothing changes.
    void anUnknownKeyChangesNothing()
    {
        Tree().Write("k/plugins/nosuch.cs", "only copy");
        const QString nosuch = strings::Text(strings::kCliNoSuchPlugin).arg("nosuch");
        QCOMPARE_FAILURE(Run({"unuse", "blaster", "nosuch", "other"}),
                         nosuch + u'\n' + strings::Text(strings::kCliNoSuchPlugin).arg("other"));
        QCOMPARE_FAILURE(Run({"describe", "nosuch", "--name", "x"}), nosuch);
        QVERIFY(Tree().Exists("k/plugins/blaster.cs"));
        QCOMPARE(Tree().Read("k/plugins/nosuch.cs"), "only copy");
        QVERIFY(!Tree().Exists("k/storage/nosuch.desc.txt"));
    }

    // describe changes only the fields given, an empty value leaves its field out, and untouched
    // single-byte text keeps its bytes; save-config takes its name and subfolder choice.
    void writingCommandsTakeTheirOptions()
    {
        QVERIFY_SUCCESS(Run({"describe", "CAFE", "--category", "Misc", "--author=", "--description",
                             "-one\n-two"}));
        QCOMPARE(Tree().Read("k/storage/cafe.desc.txt"),
                 "Name=Caf\xe9\r\nCategory=Misc\r\n-one\r\n-two");
        QVERIFY_SUCCESS(
            Run({"save-config", "setup.pfg", "--name", "My setup", "--store-directory"}));
        QCOMPARE(Tree().Read("setup.pfg"),
                 "Name=My setup\r\nUseDirectory=TRUE\r\nPlugin=,blaster\r\n");
        // Without subfolders a key in two of them is named once: a warning, not a failure.
        Tree().Write("k/plugins/a/blaster.cs", "blaster");
        const CliResult saved = Run({"save-config", "set.pfg"});
        QCOMPARE(saved.err, QString(strings::kCliRepeatedKeys).arg("blaster") + u'\n');
        QCOMPARE(saved.status, 0);
        QVERIFY(Tree().Exists("set.pfg"));
    }

    // Every key list prints is taken back, in any letter case: a single-byte Windows name is
    // printed and typed as UTF-8 (a UTF-8 name is namesBeyondAsciiAndLongPathsWorkThroughout's).
    // Where only letters beyond A to Z tell two keys apart, a key in a third case names neither.
    void keysAreTakenAsListPrintsThem()
    {
        Tree().Write("k/storage/caf\xe9.cs", "single-byte");
        QVERIFY(Run({"list"}).out.contains(u"\ncafé\tcafé\t"));
        QVERIFY_SUCCESS(Run({"use", "café"}));
        QCOMPARE(Tree().Read("k/plugins/caf\xe9.cs"), "single-byte");
        QVERIFY_SUCCESS(Run({"unuse", "CAFÉ"}));
        QVERIFY(!Tree().Exists("k/plugins/caf\xe9.cs"));

        Tree().Write("k/storage/CAF\xc3\x89.cs", "capitals");
        QCOMPARE_FAILURE(Run({"use", "Café"}),
                         strings::Text(strings::kCliAmbiguousKey).arg("Café", "CAFÉ, café"));
        QVERIFY_SUCCESS(Run({"use", "CAFÉ"}));
        QCOMPARE(Tree().Read("k/plugins/CAF\xc3\x89.cs"), "capitals");
    }

    // A Korvane folder named beyond ASCII (as UTF-8 on POSIX systems, UTF-16 on Windows), deep in
    // folders of long names so that its plug-ins' paths pass Windows' old limit of 260
    // characters: plug-ins named beyond ASCII are listed, put in and out of use and described.
    void namesBeyondAsciiAndLongPathsWorkThroughout()
    {
        m_fixture.emplace();
        std::string folder;
        for (const char* part : {"a", "b", "c", "d", "e"})
            folder += std::string(48, *part) + '/';
        folder += "K\xc3\xb6rvane \xe6\x97\xa5\xe6\x9c\xac/";
        m_fixture->MakeKorvane(folder);
        const std::string green = "waffen \xc3\xbc " + std::string(40, 'w') + "/gr\xc3\xbcn.cs";
        Tree().Write(folder + "storage/" + green, "green");
        Tree().Write(folder + "storage/\xce\xa9mega.cs", "omega");
        QVERIFY(Tree().Path(folder + "plugins/" + green).size() > 260);
        const auto u8 = [](const char* text) { return QString::fromUtf8(text); };
        QVERIFY_SUCCESS(Run({"use", u8("GR\xc3\x9cN"), u8("\xce\xa9mega")}));
        QCOMPARE(Tree().Read(folder + "plugins/" + green), "green");
        QCOMPARE(Tree().Read(folder + "plugins/\xce\xa9mega.cs"), "omega");
        QVERIFY_SUCCESS(Run({"describe", u8("gr\xc3\xbcn"), "--name", u8("J\xc3\xb6rg")}));
        const CliResult listed = Run({"list"});
        QVERIFY_SUCCESS(listed);
        QVERIFY2(listed.out.startsWith(u8("gr\xc3\xbcn\tJ\xc3\xb6rg\t")), qPrintable(listed.out));
        QVERIFY_SUCCESS(Run({"unuse", u8("gr\xc3\xbcn")}));
        QVERIFY(!Tree().Exists(folder + "plugins/" + green));
        QVERIFY_SUCCESS(
            Run({"--korvane", Tree().QPath(folder), "save-config", u8("s\xc3\xa9t.pfg")}));
        QVERIFY(Tree().Read("s\xc3\xa9t.pfg").find("\xce\xa9mega") != std::string::npos);
    }

#ifdef Q_OS_WIN
    // A file that another program holds open without sharing is neither removed nor replaced:
    // the command fails and says why, and the file stays as it was.
    void aFileHeldOpenElsewhereStopsTheCommand()
    {
        QVERIFY_SUCCESS(Run({"use", "cafe"}));
        const auto failsWhileHeld = [this](const char* file, const QStringList& arguments) {
            const testsupport::HeldOpen held(Tree().QPath(file));
            QVERIFY(held.Ok());
            const CliResult result = Run(arguments);
            QCOMPARE(result.status, 1);
            QVERIFY2(result.err.contains(Tree().QPath(file) + ": " + strings::kReasonFileInUse),
                     qPrintable(result.err));
        };
        failsWhileHeld("k/plugins/cafe.cs", {"unuse", "cafe"});
        QCOMPARE(Tree().Read("k/plugins/cafe.cs"), "cafe");
        failsWhileHeld("k/storage/cafe.desc.txt", {"describe", "cafe", "--author", "Ann"});
        QVERIFY(Tree().Read("k/storage/cafe.desc.txt").starts_with("Name=Caf\xe9\r\nAuthor=Ren"));
        QCOMPARE(Tree().Names("k/storage").join(u' '),
                 QString("blaster.cs cafe.cs cafe.desc.txt weapons"));
    }
#endif

    // Names from a folder or a configuration file reach standard error as text: no control
    // character of theirs can act on the terminal, and single-byte names are decoded.
    void messagesPassNoControlCharacterOn()
    {
        Tree().Write("hostile.pfg", "Plugin=NULL,\x1b]0;title\x07\x9d"
                                    "2J\r\nPlugin=NULL,caf\xe9x\r\n");
        QCOMPARE_FAILURE(Run({"load-config", "hostile.pfg"}),
                         QString(strings::kConfigNotAllInUse) +
                             "\n ]0;title  2J: " + strings::kReasonNotWindowsName +
                             QStringLiteral("\ncaféx: not in storage"));
    }

    // save-config only reads the Korvane folder: it waits for a command that changes the folder,
    // and reads one this user cannot write in (so no command of this user can be changing it)
    // without the lock it cannot take.
    void saveConfigReadsAFolderItCannotLock()
    {
        {
            qputenv("KORVANE_LOCK_WAIT_MS", "300");
            const auto held = korvane::FolderLock::acquire(Tree().Folder("k/"));
            QVERIFY(held);
            QCOMPARE_FAILURE(Run({"save-config", "busy.pfg"}), strings::kFoldersBusy);
            qunsetenv("KORVANE_LOCK_WAIT_MS");
        }
        Tree().MakeFolder("out");
        if (!RunWherePermissionsHold())
            QSKIP("the tool cannot be run as nobody here");
        QFile::setPermissions(Tree().QPath("k"), QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther);
        const CliResult saved = Run({"save-config", "out/setup.pfg"});
        QFile::setPermissions(Tree().QPath("k"), kEveryone);
        QVERIFY_SUCCESS(saved);
        QCOMPARE(Tree().Read("out/setup.pfg"),
                 "Name=\r\nUseDirectory=FALSE\r\nPlugin=NULL,blaster\r\n");
    }

    // A description file that cannot be read is not a missing one (blaster's, which every other
    // case lists): list and sync still list its plug-in, with the texts of one without, and fail
    // after their work, naming the file.
    void anUnreadableDescriptionFailsListAndSync()
    {
        if (!RunWherePermissionsHold())
            QSKIP("the tool cannot be run as nobody here");
        const std::string file = "k/storage/weapons/plasma.desc.txt";
#ifdef Q_OS_WIN
        // On Windows a file is unreadable while another program holds it open without sharing.
        const testsupport::HeldOpen unreadable(Tree().QPath(file));
        QVERIFY(unreadable.Ok());
        const QString reason = strings::kReasonFileInUse;
#else
        QFile::setPermissions(Tree().QPath(file), QFile::Permissions());
        const QString reason = "Permission denied";
#endif
        const QString failure =
            QString(strings::kDescriptionsUnreadable) + u'\n' + Tree().QPath(file) + ": " + reason;
        const CliResult listed = Run({"list"});
        QCOMPARE(listed.out.section(u'\n', 2, 2),
                 "plasma\tplasma\tUnknown\tUnknown\tweapons\\\tno");
        QCOMPARE_FAILURE(listed, failure);
        QCOMPARE_FAILURE(Run({"sync"}), failure);
        QVERIFY_SUCCESS(Run({"list", "--in-use"}));
    }

    // Plug-ins in use that define a function alike: one line a function, or JSON, and success
    // either way. A script that cannot be read is named after the list, which is then no whole
    // answer.
    void conflictsNamesThePluginsInUseThatDefineAFunctionAlike()
    {
        Tree().Write("k/plugins/blaster.cs", "function Weapon::onFire(%w)\n{\n}\nfunction b() {}");
        Tree().Write("k/plugins/weapons/plasma.cs", "// plasma\n\nfunction weapon::ONFIRE(%w) {}");
        const CliResult text = Run({"conflicts"});
        QVERIFY_SUCCESS(text);
        QCOMPARE(text.out, QStringLiteral("Weapon::onFire\tblaster\tplasma\n"));
        const CliResult json = Run({"conflicts", "--json"});
        QVERIFY_SUCCESS(json);
        QCOMPARE(
            json.out,
            QStringLiteral("[\n  {\"function\": \"Weapon::onFire\", \"plugins\": [{\"key\": "
                           "\"blaster\", \"file\": \"plugins\\\\blaster.cs\", \"line\": 1}, "
                           "{\"key\": \"plasma\", \"file\": \"plugins\\\\weapons\\\\plasma.cs\", "
                           "\"line\": 3}]}\n]\n"));

        if (!RunWherePermissionsHold())
            QSKIP("the tool cannot be run as nobody here");
        const std::string file = "k/plugins/weapons/plasma.cs";
#ifdef Q_OS_WIN
        const testsupport::HeldOpen unreadable(Tree().QPath(file));
        QVERIFY(unreadable.Ok());
        const QString reason = strings::kReasonFileInUse;
#else
        QFile::setPermissions(Tree().QPath(file), QFile::Permissions());
        const QString reason = "Permission denied";
#endif
        const CliResult unread = Run({"conflicts"});
        QCOMPARE(unread.out, QString());
        QCOMPARE_FAILURE(unread, QString(strings::kClashesUnreadable) + u'\n' + Tree().QPath(file) +
                                     ": " + reason);
    }

    void undoLoadSaysWhatItLoaded()
    {
        Tree().Write("none.pfg", "UseDirectory=TRUE\r\n");
        QCOMPARE_FAILURE(Run({"undo-load"}), strings::kNothingToUndo);
        QVERIFY_SUCCESS(Run({"load-config", "none.pfg"}));
        const CliResult undone = Run({"undo-load"});
        QVERIFY_SUCCESS(undone);
        QVERIFY(QRegularExpression("^Loaded the backup [-0-9 ]{19}\\.pfg\\n$")
                    .match(undone.out)
                    .hasMatch());
        // An undo that leaves plug-ins out has loaded nothing to speak of (that the next one tries
        // the same backup again is tst_FileFaults' concern).
        QVERIFY_SUCCESS(Run({"load-config", "none.pfg"}));
        QVERIFY(std::filesystem::remove(Tree().Path("k/storage/blaster.cs")));
        const CliResult incomplete = Run({"undo-load"});
        QCOMPARE_FAILURE(incomplete,
                         QString(strings::kConfigNotAllInUse) + "\nblaster: not in storage");
        QCOMPARE(incomplete.out, QString());
    }

    // A file in use that differs from storage's is refused, with the way out, and an option
    // settles it. What each choice keeps, and what undoing a settled load puts back, is the
    // catalogue's concern (tst_SettleCopies).
    void aChangedCopyInUseIsRefusedUntilAnOptionSettlesIt()
    {
        Tree().Write("k/plugins/blaster.cs", "mine");
        const QString differs =
            Q(Tree().Path("k/plugins/blaster.cs")) + ": the file differs from its copy in storage";
        QCOMPARE_FAILURE(Run({"unuse", "blaster"}),
                         strings::Text(strings::kCliUnuseFailed).arg("blaster") + u'\n' + differs +
                             u'\n' + strings::kCliSettleHint);
        QVERIFY_SUCCESS(Run({"unuse", "blaster", "--keep-mine"}));
        QCOMPARE(Tree().Read("k/storage/blaster.cs"), "mine");

        Tree().Write("k/plugins/weapons/plasma.cs", "my plasma");
        Tree().Write("none.pfg", "UseDirectory=TRUE\r\n");
        QCOMPARE_FAILURE(Run({"load-config", "none.pfg"}),
                         QString(strings::kConfigLoadFailed) + u'\n' +
                             Q(Tree().Path("k/plugins/weapons/plasma.cs")) +
                             ": the file differs from its copy in storage\n" +
                             strings::kCliSettleHint);
        QVERIFY_SUCCESS(Run({"load-config", "none.pfg", "--use-storage"}));
        QVERIFY(!Tree().Exists("k/plugins/weapons/plasma.cs"));
    }

    // Each failure names what failed, then the file and why.
    void failuresSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason"); // after the tree's root
        // clang-format off
        QTest::newRow("use") << QStringList{"use", "cafe"} << strings::Text(strings::kCliUseFailed).arg("cafe") << "k/plugins/cafe.cs: No such file or directory";
        QTest::newRow("describe") << QStringList{"describe", "blaster", "--name", "Blaster"} << QString(strings::kDescriptionWriteFailed) << "k/storage/blaster.desc.txt: it is not a file";
        QTest::newRow("save-config") << QStringList{"save-config", "nowhere/setup.pfg"} << QString(strings::kConfigCreateFailed) << "nowhere/setup.pfg: No such file or directory";
        QTest::newRow("load-config") << QStringList{"load-config", "missing.pfg"} << QString(strings::kConfigLoadFailed) << "missing.pfg: No such file or directory";
        QTest::newRow("sync") << QStringList{"--korvane", "s", "sync"} << QString(strings::kStorageNotCreated) << QString();
        QTest::newRow("sync, storage in the way") << QStringList{"--korvane", "t", "sync"} << QString(strings::kStorageIncomplete) << "t/storage/weapons/notes.txt: Not a directory";
        // clang-format on
    }
    void failuresSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        std::filesystem::remove_all(Tree().Path("k/plugins"));
        Tree().MakeFolder("k/storage/blaster.desc.txt");
        Tree().MakeFolder("s/plugins");
        Tree().Write("s/korvane.cs", "");
        Tree().Write("t/korvane.cs", "");
        QFile::link(Tree().QPath("nowhere"), Tree().QPath("s/storage"));
        Tree().Write("t/plugins/weapons/notes.txt", "n");
        Tree().Write("t/storage/weapons", "a file where a folder should be");
        if (!reason.isEmpty())
            message += u'\n' + Tree().QPath(reason.toStdString());
        QCOMPARE_FAILURE(Run(arguments), message);
    }
};

QTEST_GUILESS_MAIN(tst_CliPlugins)
#include "tst_CliPlugins.moc"
