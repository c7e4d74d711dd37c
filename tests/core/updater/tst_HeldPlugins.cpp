#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/HeldPlugins.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <QtTest>

using namespace korvane;

namespace {

QStringList Keys(const HeldPlugins& held)
{
    QStringList keys;
    for (const std::string& key : held.Keys())
        keys << QString::fromStdString(key);
    return keys;
}

} // namespace

class tst_HeldPlugins : public QObject
{
    Q_OBJECT

private slots:
    // The entry as a player or another version left it: empty names and a key repeated in
    // another letter case count for nothing.
    void theHeldEntryReadsAsItsKeys()
    {
        TestTree tree;
        const SettingsProfile profile = SettingsProfile::AtFile(tree.QPath("profile.ini"));
        QVERIFY(HeldPlugins::Load(profile).Keys().empty()); // no entry at all
        QVERIFY(profile.WriteProfileString(profile::kUpdater, profile::kHeld,
                                           "\\a\\\\Sniper\\SNIPER\\"));
        QCOMPARE(Keys(HeldPlugins::Load(profile)), QStringList({"a", "Sniper"}));
    }

    // Held keys are stored as the catalogue spells them and read back the same; a single-byte
    // Windows key as the text list prints; a key is held in any letter case.
    void heldKeysAreStoredAndReadBack_data()
    {
        QTest::addColumn<QList<QByteArray>>("held"); // as the catalogue's records spell them
        QTest::addColumn<QString>("entry");
        QTest::newRow("held again in another letter case")
            << QList<QByteArray>{"Sniper", "SNIPER"} << "Sniper";
        QTest::newRow("single-byte Windows key") << QList<QByteArray>{"caf\xe9"} << "café";
        QTest::newRow("keys that name no plug-in")
            << QList<QByteArray>{"", "a\\b", "tab\tkey"} << "";
        QTest::newRow("characters a settings file quotes")
            << QList<QByteArray>{" a, b ", "\"q\"", "x=1;#y", "100%", "[s]"}
            << " a, b \\\"q\"\\x=1;#y\\100%\\[s]";
    }
    void heldKeysAreStoredAndReadBack()
    {
        QFETCH(QList<QByteArray>, held);
        QFETCH(QString, entry);
        TestTree tree;
        const SettingsProfile profile = SettingsProfile::AtFile(tree.QPath("profile.ini"));
        HeldPlugins written;
        for (const QByteArray& key : held)
            written.Hold(key.toStdString());
        QVERIFY(written.Store(profile));
        QCOMPARE(
            QString::fromStdString(profile.GetProfileString(profile::kUpdater, profile::kHeld)),
            entry);
        const HeldPlugins read = HeldPlugins::Load(profile);
        QCOMPARE(Keys(read), Keys(written));
        for (const std::string& key : read.Keys())
            QVERIFY(read.IsHeld(QByteArray::fromStdString(key).toUpper().toStdString()));
    }

    // Which held plug-ins an update would replace: those of whose files it writes one below
    // storage\ or plugins\. Sniper and Radar are held; the file's target and subfolder are
    // joined by '|'.
    void anUpdateReplacesTheHeldPluginsOfItsFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("replaced");
        const QStringList none;
        // clang-format off
        QTest::newRow("copy in use in a subfolder, any letter case") << "PLUGINS\\" << QStringList{"weapons\\|SNIPER.CS"} << QStringList{"Sniper"};
        QTest::newRow("storage named by the subfolder") << "" << QStringList{"storage\\weapons\\|sniper.cs"} << QStringList{"Sniper"};
        QTest::newRow("the held key's description file") << "storage\\" << QStringList{"|sniper.desc.txt"} << QStringList{"Sniper"};
        QTest::newRow("files of other keys") << "storage\\" << QStringList{"|snipers.cs", "|snipe.cs", "|x.sniper.cs"} << none;
        QTest::newRow("outside storage and plugins") << "" << QStringList{"|sniper.cs", "extras\\|sniper.cs"} << none;
        QTest::newRow("two held plug-ins, each once, in the order held") << "storage\\" << QStringList{"|radar.cs", "|sniper.cs", "|radar.ico"} << QStringList{"Sniper", "Radar"};
        QTest::newRow("refused whole: installs nothing") << "storage\\" << QStringList{"|sniper.cs", "..\\|x.cs"} << none;
        // clang-format on
    }
    void anUpdateReplacesTheHeldPluginsOfItsFiles()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, files);
        std::vector<CUpdateFileInfo> listed;
        for (const QString& file : files)
            listed.push_back(
                {file.section('|', 1).toStdString(), file.section('|', 0, 0).toStdString(), 1});
        const auto update = testsupport::MakeUpdate("Pack", target.toStdString(), "", listed);
        HeldPlugins held;
        held.Hold("Sniper");
        held.Hold("Radar");
        QStringList replaced;
        for (const std::string& key : held.ReplacedBy(*update, Path("/games/korvane/")))
            replaced << QString::fromStdString(key);
        QTEST(replaced, "replaced");
    }
};

QTEST_GUILESS_MAIN(tst_HeldPlugins)
#include "tst_HeldPlugins.moc"
