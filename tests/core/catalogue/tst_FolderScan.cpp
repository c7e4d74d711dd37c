// What the window shows of a Korvane folder: the twins the scan passes over, and which record
// each copy in use stands for.
#include "core/catalogue/FolderScan.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <optional>
#include <QtTest>
#include <string>

using namespace korvane;

using testsupport::Keys;

class tst_FolderScan : public QObject
{
    Q_OBJECT

private slots:
    // A key's scripts in another subfolder than the plug-in the scan uses make one twin there,
    // described from beside its first script as any plug-in is; those in the plug-in's own
    // subfolder are its own. A copy in use stands for the record of its own subfolder, a twin
    // too, else for the plug-in the scan uses; one of a key storage lacks, for none.
    void aCopyInUseStandsForThePluginOfItsOwnSubfolder()
    {
        TestTree tree;
        for (const char* script : {"old/sniper.cs", "old/sniper.zoom.cs", "sniper.cs",
                                   "sniper.classic.cs", "arms/mortar.cs"})
            tree.Write(std::string("k/storage/") + script, "");
        tree.Write("k/storage/sniper.desc.txt", "Name=Sniper Classic\r\n");
        tree.Write("k/storage/Sniper.ICO", "icon");
        for (const char* script : {"SNIPER.cs", "weapons/mortar.cs", "ghost.cs"})
            tree.Write(std::string("k/plugins/") + script, "");

        const FolderScan scan = FolderScan::Read(tree.Folder("k\\"));
        QCOMPARE(Keys(scan.catalogue), (QStringList{"arms\\mortar", "old\\sniper"}));
        QCOMPARE(scan.twins.size(), size_t(1));
        const CPluginInfo& twin = *scan.twins[0].record;
        QCOMPARE(scan.twins[0].script, std::string("sniper.classic.cs"));
        QCOMPARE(twin.m_strSubdirectory + twin.m_strFileName + '|' + twin.m_strName,
                 std::string("sniper|Sniper Classic"));
        QCOMPARE(twin.m_strIconPath, tree.Path("k\\storage\\Sniper.ICO"));

        QCOMPARE(scan.Size(), size_t(3));
        QCOMPARE(scan.RecordInUse("Sniper", "OLD\\"), std::optional<size_t>(1));
        QCOMPARE(scan.RecordInUse("sniper", ""), std::optional<size_t>(2));
        QCOMPARE(scan.RecordInUse("mortar", "weapons\\"), std::optional<size_t>(0));
        QCOMPARE(scan.RecordInUse("ghost", ""), std::nullopt);
        QCOMPARE(scan.digests[0].inUse, true);
        QCOMPARE(scan.digests[1].inUse, false);
        QCOMPARE(scan.digests[2].inUse, true);
        // A twin is known apart from a plug-in of the same subfolder and key.
        QVERIFY(scan.digests[2].identity != FolderScan::IdentityOf(twin, false));
    }
};

QTEST_MAIN(tst_FolderScan)
#include "tst_FolderScan.moc"
