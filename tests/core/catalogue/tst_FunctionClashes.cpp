#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginFunctionReader.h"
#include "core/platform/FailureList.h"
#include "support/IoFaults.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

namespace {

// Each clash as "function: key file:line, key file:line...".
QStringList Shown(const std::vector<FunctionClash>& clashes)
{
    QStringList shown;
    for (const FunctionClash& clash : clashes) {
        QStringList plugins;
        for (const FunctionClash::Definer& plugin : clash.plugins)
            plugins << QString::fromStdString(plugin.key + ' ' + plugin.file.Stored() + ':' +
                                              std::to_string(plugin.line));
        shown << QString::fromStdString(clash.function) + ": " + plugins.join(", ");
    }
    return shown;
}

// A Korvane folder whose plug-ins in use, in scan order, are a, c, weapons\a (a second copy of
// a's key, which the game loads too) and weapons\b in two scripts; d is stored, not in use.
void WriteKorvane(const TestTree& tree)
{
    // The modification's own script is meant to be replaced: it is never read.
    tree.Write("korvane.cs", "function Player::onDamage() {}\nfunction d() {}");
    tree.Write("plugins/a.cs", "function Player::onDamage(%this)\n{\n}\nfunction a::only() {}");
    tree.Write("plugins/c.cs", "function c::twice() {}\r\nfunction C::TWICE() {}");
    tree.Write("plugins/weapons/a.cs", "function a::only() {}");
    tree.Write("plugins/weapons/b.cs", "// b\n\nfunction player::ONDAMAGE(%p) {}\nfunction b() {}");
    tree.Write("plugins/weapons/b.hud.cs", "function B() {}\nfunction hud() {}");
    tree.Write("storage/d.cs", "function HUD() {}\nfunction d() {}\nfunction c::twice() {}");
}

} // namespace

class tst_FunctionClashes : public QObject
{
    Q_OBJECT

private slots:
    // Plug-ins in use that define a function alike, in any letter case, clash; one that defines
    // it twice, in one script or two, does not clash with itself.
    void pluginsInUseThatDefineAFunctionAlikeClash()
    {
        TestTree tree;
        WriteKorvane(tree);
        const auto inUse = functionclashes::ReadInUse(tree.Folder());
        QVERIFY2(inUse.unreadable, inUse.unreadable.reason().c_str());
        QCOMPARE(Shown(inUse.clashes),
                 (QStringList{"a::only: a plugins\\a.cs:4, a plugins\\weapons\\a.cs:1",
                              "Player::onDamage: a plugins\\a.cs:1, b plugins\\weapons\\b.cs:3"}));
    }

    // The window's panel asks what a stored plug-in would clash with if it were put in use; a
    // plug-in in use is not asked about its own copy there.
    void aStoredPluginWouldClashWithThePluginsInUse()
    {
        TestTree tree;
        WriteKorvane(tree);
        const auto inUse = functionclashes::ReadInUse(tree.Folder());
        FailureList failures;
        PluginFunctionReader storage(tree.Folder(), kStorageFolderName, failures);
        QCOMPARE(Shown(functionclashes::WouldMake(inUse.plugins, storage.Read("", "d"))),
                 (QStringList{"c::twice: c plugins\\c.cs:1, d storage\\d.cs:3",
                              "hud: b plugins\\weapons\\b.hud.cs:2, d storage\\d.cs:1"}));
        QVERIFY(failures.empty());
        PluginFunctionReader plugins(tree.Folder(), kPluginsFolderName, failures);
        QCOMPARE(Shown(functionclashes::WouldMake(inUse.plugins, plugins.Read("", "C"))),
                 QStringList());
    }

    // A script that cannot be read is named, and the others are still compared.
    void anUnreadableScriptIsNamed()
    {
        TestTree tree;
        WriteKorvane(tree);
        IoFault fault(tree.Root(), "read", "/plugins/c.cs", EIO);
        const auto inUse = functionclashes::ReadInUse(tree.Folder());
        QVERIFY(fault.Happened());
        QCOMPARE(QString::fromStdString(inUse.unreadable.reason()),
                 tree.QPath("plugins/c.cs") + ": Input/output error");
        QCOMPARE(inUse.clashes.size(), size_t(2));
    }
};

QTEST_GUILESS_MAIN(tst_FunctionClashes)
#include "tst_FunctionClashes.moc"
