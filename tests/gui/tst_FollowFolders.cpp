// The window follows its folders: what another program does to them shows without a restart,
// and the plug-in the user selected stays selected.
#include "gui/mainwindow/CatalogueView.h"
#include "gui/mainwindow/FolderFollower.h"
#include "gui/mainwindow/MarkedScan.h"
#include "ManagerWindow.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <thread>

using namespace korvane;
using namespace korvane::mainwindow;
using namespace managertest;

namespace {

// The scan's time on a loaded machine, and the moment the follower gathers changes.
constexpr int kSettle = 1500;

void Remove(const Manager& m, const std::string& rel)
{
    std::filesystem::remove(m.files.Path(rel));
}

// Written in place, as an editor that does not replace the file writes it: the folder's watch
// does not see it.
void WriteInPlace(const Manager& m, const std::string& rel, const std::string& bytes)
{
    std::ofstream(m.files.Path(rel), std::ios::binary | std::ios::trunc) << bytes;
}

// The follower on its own, counting the scans it hands over.
struct Follower
{
    TestTree files;
    int offered = 0;
    int refused = 0; // how many offers to refuse before taking one
    QStringList lastScan;
    FolderFollower follower{[this](FolderScan& scan) {
                                if (refused-- > 0)
                                    return false;
                                ++offered;
                                lastScan.clear();
                                for (const auto& plugin : scan.catalogue.m_arrPlugins)
                                    lastScan << QString::fromStdString(plugin->m_strFileName);
                                lastScan.sort();
                                return true;
                            },
                            nullptr};

    Follower()
    {
        files.MakeFolder("k/storage");
        files.MakeFolder("k/plugins");
    }
    void Follow()
    {
        follower.follow(files.Folder("k/"), FolderScan::Read(files.Folder("k/")).Folders());
    }
};

} // namespace

class tst_FollowFolders : public QObject
{
    Q_OBJECT

private slots:
    void outsideChangesShowAndTheSelectionStays()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta Dog/Delta Dog/Echo Pig/Pork");
        QVERIFY(m.Show());
        m.Click("Beta");

        // What korvane-cli use, describe and an update would do, and a plug-in deleted by hand.
        m.files.Write("k/plugins/beta.cs", "// Beta");
        m.files.Write("k/storage/alpha.desc.txt", "Name=Alpha Two\r\nCategory=Cat");
        Remove(m, "k/storage/delta.cs");
        Remove(m, "k/storage/pork.cs");
        m.files.Write("k/storage/sub/carl.cs", "");
        m.files.Write("k/storage/sub/carl.desc.txt", "Name=Carl\r\nCategory=Cat\r\nAuthor=Me");

        QTRY_COMPARE_WITH_TIMEOUT(m.Tree(),
                                  QStringList({"Cat: Alpha Two, Beta, Carl", "Dog: Echo"}), 5000);
        QCOMPARE(m.Entries(), QStringList({"Alpha Two", "Beta"}));
        // Beta is in use now: its entry is the one "<<" takes out.
        QCOMPARE(m.State(), QString("Beta|Beta|Beta||<<"));
    }

    void aFilterStaysAndFindsWhatCameFromOutside()
    {
        Manager m;
        m.Plugins("Cat/Alpha Cat/Bob Dog/Rex");
        QVERIFY(m.Show());
        m.tree->expand(m.Item("Dog"));
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClicks(field, "al");
        m.Plugins("Cat/Alan Dog/Sal Dog/Fido");
        QTRY_COMPARE_WITH_TIMEOUT(m.Tree(), QStringList({"Cat: Alan, Alpha", "Dog: Sal"}), 5000);
        QCOMPARE(Label(m, "filterCount"), QString("3 of 6 plug-ins"));
        // Cleared, the tree opens the categories the user had open.
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(m.Expanded("Dog"));
        QVERIFY(!m.Expanded("Cat"));
    }

    // A dialog of the window may hold a plug-in's record or item: the scan waits for it to close.
    // The selected plug-in deleted outside leaves nothing selected.
    void aChangeWaitsForTheOpenDialog()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        QVERIFY(m.Show());
        m.Click("Alpha");
        ModalScript script;
        QStringList whileOpen;
        script.Then("CDescEditDlg", [&m, &whileOpen](QWidget* active) {
            Remove(m, "k/storage/alpha.cs");
            Remove(m, "k/plugins/alpha.cs");
            QTest::qWait(kSettle);
            whileOpen = m.Tree();
            static_cast<QDialog*>(active)->reject();
        });
        m.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(whileOpen, QStringList({"Cat: Alpha, Beta"}));
        QTRY_COMPARE_WITH_TIMEOUT(m.Tree(), QStringList({"Cat: Beta"}), 5000);
        QCOMPARE(m.State(), QString("||||"));
    }

    // No folder watch sees a file written in place; coming back to the window shows it: here an
    // icon whose picture changed under the same name and size.
    void comingBackToTheWindowShowsWhatNoWatchSaw()
    {
        Manager m;
        m.Plugins("Cat/Alpha+");
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        QVERIFY(QImageWriter(m.files.QPath("k/storage/alpha.ico"), "ico").write(picture));
        QVERIFY(m.Show());
        const auto colourShown = [&m] { return Picture(m.Item("Alpha")).pixelColor(8, 8); };
        QCOMPARE(colourShown(), QColor(Qt::blue));
        QBuffer red;
        red.open(QIODevice::WriteOnly);
        picture.fill(Qt::red);
        QVERIFY(QImageWriter(&red, "ico").write(picture));
        QCOMPARE(red.size(), qint64(m.files.Read("k/storage/alpha.ico").size()));
        WriteInPlace(m, "k/storage/alpha.ico", red.data().toStdString());
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QTRY_COMPARE_WITH_TIMEOUT(colourShown(), QColor(Qt::red), 5000);
    }

    // A script changed by hand so that two plug-ins in use no longer clash takes their marks
    // away.
    void aClashEndedByHandTakesTheMarksAway()
    {
        Manager m;
        m.Plugins("Weapon/Mortar+ Weapon/Sniper+");
        for (const char* script : {"k/storage/mortar.cs", "k/plugins/mortar.cs",
                                   "k/storage/sniper.cs", "k/plugins/sniper.cs"})
            m.files.Write(script, "function Player::onWeaponChange(%p) {}");
        QVERIFY(m.Show());
        const auto marked = [&m] {
            QStringList texts;
            for (const char* item : {"Mortar", "Sniper", "Weapon"})
                texts << ToolTip(m.Item(item));
            return texts;
        };
        QVERIFY(!marked().contains(QString()));
        m.files.Write("k/plugins/mortar.cs", "function Mortar::onWeaponChange(%p) {}");
        QTRY_COMPARE_WITH_TIMEOUT(marked(), QStringList(3, QString()), 5000);
    }

    // A scan the window cannot take yet is offered again. What the window shows of its own
    // doing is newer than a scan begun before it: that scan is done again.
    void changesGatheredForAMomentMakeOneScanAndAnOutdatedOneIsDoneAgain()
    {
        Follower f;
        f.Follow();
        f.refused = 2;
        for (const char* key : {"a", "b", "c", "d"})
            f.files.Write(std::string("k/storage/") + key + ".cs", "");
        QTRY_COMPARE(f.offered, 1);
        QTest::qWait(kSettle);
        QCOMPARE(f.offered, 1);
        QCOMPARE(f.lastScan, QStringList({"a", "b", "c", "d"}));

        f.follower.rescanNow();
        QVERIFY(f.follower.scanning());
        f.follower.shownChanged();
        f.files.Write("k/storage/new.cs", "");
        QTRY_VERIFY(f.offered == 2 && !f.follower.scanning());
        QCOMPARE(f.lastScan, QStringList({"a", "b", "c", "d", "new"}));
    }

    // The window's view tells the follower as it shows the scan handed over: that scan stays whole
    // until the window is done with it.
    void theScanHandedOverStaysWholeWhileTheWindowShowsIt()
    {
        TestTree files;
        files.Write("k/storage/a.cs", "");
        files.MakeFolder("k/plugins");
        QStringList shown;
        FolderFollower* told = nullptr;
        FolderFollower follower{[&](FolderScan& scan) {
                                    told->shownChanged();
                                    // Time for a thread that would free the scan meanwhile.
                                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                    for (const auto& plugin : scan.catalogue.m_arrPlugins)
                                        shown << QString::fromStdString(plugin->m_strFileName);
                                    return true;
                                },
                                nullptr};
        told = &follower;
        follower.follow(files.Folder("k/"), FolderScan::Read(files.Folder("k/")).Folders());
        follower.rescanNow();
        QTRY_COMPARE(shown, QStringList{"a"});
    }

    void watchesStopAtTheirLimitWithTheRootsWatched()
    {
        Follower f;
        for (int i = 0; i < FolderFollower::kMostWatched + 10; ++i)
            f.files.MakeFolder("k/storage/a/" + std::to_string(i));
        f.files.MakeFolder("k/plugins/b");
        f.Follow();
        const QStringList watched = f.follower.watched();
        QCOMPARE(watched.size(), FolderFollower::kMostWatched);
        for (const char* folder : {"k/storage", "k/plugins", "k/storage/a", "k/plugins/b"})
            QVERIFY2(watched.contains(QDir::cleanPath(f.files.QPath(folder))), folder);
    }

    // Many changes at once build the tree again; the selected plug-in is found again.
    void manyChangesAtOnceRebuildTheTreeKeepingTheSelection()
    {
        TestTree files;
        for (int i = 0; i < 2100; ++i)
            files.Write("k/storage/p" + std::to_string(i) + ".cs", "");
        files.Write("k/storage/keep.cs", "");
        files.Write("k/storage/keep.desc.txt", "Name=Keep");
        files.Write("k/plugins/keep.cs", "");
        QTreeView tree;
        QListView list;
        CatalogueView view(&tree, &list);
        MarkedScan first = MarkedScan::Read(files.Folder("k/"));
        view.show(first);
        const int keep = view.findPlugin("", "keep");
        view.makeCurrent(keep);
        view.selectEntry(keep);
        for (int i = 0; i < 2100; ++i)
            std::filesystem::remove(files.Path("k/storage/p" + std::to_string(i) + ".cs"));
        files.Write("k/storage/new.cs", "");

        MarkedScan second = MarkedScan::Read(files.Folder("k/"));
        QVERIFY(view.update(second));
        QCOMPARE(view.storedCount(), 2);
        QCOMPARE(tree.currentIndex().data().toString(), QString("Keep"));
        QCOMPARE(list.selectionModel()->selectedRows().value(0).data().toString(), QString("Keep"));
    }
};

QTEST_MAIN(tst_FollowFolders)
#include "tst_FollowFolders.moc"
