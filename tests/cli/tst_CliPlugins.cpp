#include "CliTestSupport.h"
#include "platform/FolderLock.h"
#include "platform/KPath.h"
#include "res/Strings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

// The catalogue and configuration commands on a Korvane folder: what they print and what they do
// to the storage and plugins folders.
class tst_CliPlugins : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;

    const TestTree& Tree() const { return m_fixture->tree; }
    CliResult Run(const QStringList& arguments) const { return m_fixture->Run(arguments); }

    static QString Message(const char* text, const QString& argument)
    {
        return QString::fromUtf8(text).arg(argument);
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
        Tree().Write("k/storage/cafe.desc.txt", "Name=Caf\xe9\r\nAuthor=Ren\xe9");
        Tree().Write("k/plugins/blaster.cs", "blaster");
    }
    void cleanup() { m_fixture.reset(); }

    void syncRefreshesExistingStorageAsTheOptionsSay_data()
    {
        QTest::addColumn<int>("refresh");
        QTest::addColumn<bool>("bOtherFilesCopied");
        QTest::newRow("refresh") << 1 << true;
        QTest::newRow("no refresh") << 0 << false;
    }
    void syncRefreshesExistingStorageAsTheOptionsSay()
    {
        QFETCH(int, refresh);
        QFETCH(bool, bOtherFilesCopied);
        m_fixture->WindowProfile().WriteProfileInt(profile::kOptions, profile::kRefreshPlugins,
                                                   refresh);
        Tree().Write("k/plugins/notes.txt", "notes");
        Tree().Write("k/plugins/new/sniper.cs", "sniper");
        QCOMPARE(Run({"sync"}).status, 0);
        QCOMPARE(Tree().Exists("k/storage/notes.txt"), bOtherFilesCopied);
        // A plug-in in use that storage lacks goes into storage in any case.
        QCOMPARE(Tree().Read("k/storage/new/sniper.cs"), "sniper");
    }

    void syncReportsAStorageFolderThatCannotBeCreated()
    {
        Tree().MakeFolder("s/plugins");
        QFile::link(Q(Tree().Path("nowhere")), Q(Tree().Path("s/storage")));
        QCOMPARE_FAILURE(Run({"--korvane", Q(Tree().Path("s")), "sync"}),
                         strings::kStorageNotCreated);
    }

    void listShowsStorageInScanOrderOneLineEach()
    {
        const CliResult result = Run({"list"});
        QCOMPARE(result.out,
                 QStringLiteral("blaster\tblaster\tUnknown\tUnknown\t\tyes\n"
                                "cafe\tCafé\tUnknown\tRené\t\tno\n"
                                "plasma\tPlasma Rifle\tWeapon\tSome one\tweapons\\\tno\n"));
        QCOMPARE(result.status, 0);
        QCOMPARE(Run({"list", "--in-use"}).out,
                 QStringLiteral("blaster\tblaster\tUnknown\tUnknown\t\tyes\n"));
    }

    void listAsJsonHasEveryFieldInItsOrder()
    {
        const CliResult result = Run({"list", "--json"});
        QCOMPARE(result.status, 0);
        QJsonParseError error;
        const QJsonArray plugins = QJsonDocument::fromJson(result.out.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(plugins.size(), 3);
        const QJsonObject plasma{
            {"key", "plasma"},
            {"name", "Plasma Rifle"},
            {"category", "Weapon"},
            {"author", "Some\tone"},
            {"description", "First line\nSecond \"line\""},
            {"subdirectory", "weapons\\"},
            {"icon", Q(Tree().Path("k/storage/weapons/plasma.ico"))},
            {"inUse", false},
        };
        QCOMPARE(plugins[2].toObject(), plasma);
        QCOMPARE(plugins[0].toObject().value("inUse"), QJsonValue(true));
        QCOMPARE(plugins[0].toObject().value("icon"), QJsonValue(""));
        QCOMPARE(plugins[1].toObject().value("name"), QJsonValue("Café"));
        // The fields come in the documented order.
        static const QRegularExpression order(
            R"(^\[\n  \{"key": .*, "name": .*, "category": .*, "author": .*, "description": .*, )"
            R"("subdirectory": .*, "icon": .*, "inUse": (true|false)\},\n)");
        QVERIFY(order.match(result.out).hasMatch());
    }

    void useCopiesScriptsIntoTheSameSubfolderAndUnuseDeletesThem()
    {
        QCOMPARE(Run({"use", "PLASMA", "Cafe"}).status, 0);
        QCOMPARE(Tree().Read("k/plugins/weapons/plasma.cs"), "plasma");
        QCOMPARE(Tree().Read("k/plugins/cafe.cs"), "cafe");
        QVERIFY(!Tree().Exists("k/plugins/weapons/plasma.desc.txt"));
        QVERIFY(!Tree().Exists("k/plugins/weapons/plasma.ico"));
        QCOMPARE(Run({"list", "--in-use"}).out.count(u'\n'), 3);

        const CliResult unuse = Run({"unuse", "plasma", "BLASTER"});
        QCOMPARE(unuse.err, QString());
        QCOMPARE(unuse.status, 0);
        QVERIFY(!Tree().Exists("k/plugins/weapons/plasma.cs"));
        QVERIFY(!Tree().Exists("k/plugins/blaster.cs"));
        QVERIFY(Tree().Exists("k/plugins/weapons"));
        QCOMPARE(Tree().Read("k/storage/weapons/plasma.cs"), "plasma");
        QCOMPARE(Tree().Read("k/storage/blaster.cs"), "blaster");
    }

    void anUnknownKeyChangesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("use") << QStringList{"use", "cafe", "nosuch", "other"};
        QTest::newRow("unuse") << QStringList{"unuse", "blaster", "nosuch", "other"};
        QTest::newRow("describe") << QStringList{"describe", "nosuch", "--name", "x"};
        // Only what storage holds can be handled: the plugins folder may hold the only copy.
        QTest::newRow("in use, not stored") << QStringList{"unuse", "nosuch"};
    }
    void anUnknownKeyChangesNothing()
    {
        QFETCH(QStringList, arguments);
        Tree().Write("k/plugins/nosuch.cs", "only copy");
        const CliResult result = Run(arguments);
        QString expected = Message(strings::kCliNoSuchPlugin, "nosuch") + u'\n';
        if (arguments.contains("other"))
            expected += Message(strings::kCliNoSuchPlugin, "other") + u'\n';
        QCOMPARE(result.err, expected);
        QCOMPARE(result.status, 1);
        QVERIFY(!Tree().Exists("k/plugins/cafe.cs"));
        QVERIFY(Tree().Exists("k/plugins/blaster.cs"));
        QCOMPARE(Tree().Read("k/plugins/nosuch.cs"), "only copy");
        QVERIFY(!Tree().Exists("k/storage/nosuch.desc.txt"));
    }

    void useFailsWhenTheScriptCannotBeCopied()
    {
        std::filesystem::remove_all(kpath::ToNative(Tree().Path("k/plugins")));
        QCOMPARE_FAILURE_BECAUSE(Run({"use", "cafe"}), Message(strings::kCliUseFailed, "cafe"),
                                 Q(Tree().Path("k/plugins/cafe.cs: No such file or directory")));
    }

    void describeChangesOnlyTheFieldsGiven()
    {
        const CliResult result =
            Run({"describe", "plasma", "--author", "Someone Else", "--description", "-one\n-two"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QCOMPARE(Tree().Read("k/storage/weapons/plasma.desc.txt"),
                 "Name=Plasma Rifle\r\nCategory=Weapon\r\nAuthor=Someone Else\r\n-one\r\n-two");

        // An empty value leaves the field out of the file, so it reads as its default.
        QCOMPARE(Run({"describe", "plasma", "--category="}).status, 0);
        QCOMPARE(Run({"list"}).out.section(u'\n', 2, 2),
                 "plasma\tPlasma Rifle\tUnknown\tSomeone Else\tweapons\\\tno");
    }

    void describeKeepsTheBytesOfUnchangedSingleByteText()
    {
        QCOMPARE(Run({"describe", "CAFE", "--category", "Misc"}).status, 0);
        QCOMPARE(Tree().Read("k/storage/cafe.desc.txt"),
                 "Name=Caf\xe9\r\nCategory=Misc\r\nAuthor=Ren\xe9\r\nNo Description");
    }

    void describeFailureShowsTheEditorsMessage()
    {
        Tree().MakeFolder("k/storage/blaster.desc.txt");
        QCOMPARE_FAILURE_BECAUSE(Run({"describe", "blaster", "--name", "Blaster"}),
                                 strings::kDescriptionWriteFailed,
                                 Q(Tree().Path("k/storage/blaster.desc.txt: it is not a file")));
    }

    void savedConfigurationLoadsBackTheSamePluginsInUse()
    {
        QCOMPARE(Run({"use", "plasma"}).status, 0);
        const CliResult save =
            Run({"save-config", "setup.pfg", "--name", "My setup", "--store-directory"});
        QCOMPARE(save.err, QString());
        QCOMPARE(save.status, 0);
        QCOMPARE(
            Tree().Read("setup.pfg"),
            "Name=My setup\r\nUseDirectory=TRUE\r\nPlugin=,blaster\r\nPlugin=weapons\\,plasma\r\n");
        QCOMPARE(Run({"unuse", "blaster", "plasma"}).status, 0);
        QCOMPARE(Run({"use", "cafe"}).status, 0);
        const CliResult load = Run({"load-config", Q(Tree().Path("setup.pfg"))});
        QCOMPARE(load.err, QString());
        QCOMPARE(load.status, 0);
        QCOMPARE(Run({"list", "--in-use"}).out,
                 QStringLiteral("blaster\tblaster\tUnknown\tUnknown\t\tyes\n"
                                "plasma\tplasma\tUnknown\tUnknown\tweapons\\\tyes\n"));
    }

    void aCommandWaitsForAnotherOneAndThenChangesNothing()
    {
        qputenv("KORVANE_LOCK_WAIT_MS", "300");
        {
            const auto held = korvane::FolderLock::acquire(Tree().Path("k/"));
            QVERIFY(held);
            QCOMPARE_FAILURE(Run({"use", "cafe"}), strings::kFoldersBusy);
            QVERIFY(!Tree().Exists("k/plugins/cafe.cs"));
        }
        QCOMPARE(Run({"use", "cafe"}).status, 0);
        // A Korvane folder that is not there gets no lock file, nor anything else.
        QCOMPARE(Run({"--korvane", "gone", "use", "cafe"}).status, 1);
        QVERIFY(!Tree().Exists("gone"));
        qunsetenv("KORVANE_LOCK_WAIT_MS");
    }

    void twoLoadsStartedTogetherLeaveOneConfigurationInUse()
    {
        std::string a = "UseDirectory=TRUE\r\n", b = a;
        QStringList namesA, namesB;
        for (int i = 0; i < 300; ++i) {
            const std::string n = std::to_string(i);
            Tree().Write("k/storage/a" + n + ".cs", "a");
            Tree().Write("k/storage/b" + n + ".cs", "b");
            a += "Plugin=,a" + n + "\r\n";
            b += "Plugin=,b" + n + "\r\n";
            namesA << Q("a" + n + ".cs");
            namesB << Q("b" + n + ".cs");
        }
        Tree().Write("a.pfg", a);
        Tree().Write("b.pfg", b);
        Tree().Write("k/plugins/blaster.cs", "blaster"); // stored too: loads may drop it
        // The second load waits as long as the first takes, however slow the build.
        qputenv("KORVANE_LOCK_WAIT_MS", "120000");
        const auto first = m_fixture->Start({"load-config", "a.pfg"});
        const auto second = m_fixture->Start({"load-config", "b.pfg"});
        QCOMPARE(CliFixture::Finish(*first).status, 0);
        QCOMPARE(CliFixture::Finish(*second).status, 0);
        qunsetenv("KORVANE_LOCK_WAIT_MS");
        QStringList inUse = QDir(Q(Tree().Path("k/plugins"))).entryList(QDir::Files);
        inUse.sort();
        namesA.sort();
        namesB.sort();
        QVERIFY2(inUse == namesA || inUse == namesB, qPrintable(QString::number(inUse.size())));
    }

    void configurationFailuresShowTheWindowsMessages()
    {
        QCOMPARE_FAILURE_BECAUSE(Run({"save-config", Q(Tree().Path("nowhere/setup.pfg"))}),
                                 strings::kConfigCreateFailed,
                                 Q(Tree().Path("nowhere/setup.pfg: No such file or directory")));
        QCOMPARE_FAILURE_BECAUSE(Run({"load-config", "missing.pfg"}), strings::kConfigLoadFailed,
                                 Q(Tree().Path("missing.pfg: the file cannot be read")));
        QCOMPARE(Tree().Read("k/plugins/blaster.cs"), "blaster");
    }
};

QTEST_GUILESS_MAIN(tst_CliPlugins)
#include "tst_CliPlugins.moc"
