#include "core/platform/AtomicFile.h"
#include "core/platform/FolderLock.h"
#include "res/Strings.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

class tst_FolderLock : public QObject
{
    Q_OBJECT

private slots:
    // One holder at a time: another waits, then fails as busy, also behind a lock file that names
    // no holder yet (one being taken this moment). The lock goes with its holder, and none is
    // made in a folder that is not there.
    void theLockIsHeldByOneUntilItGoes()
    {
        TestTree tree;
        const auto busy = [&tree] {
            const auto lock = FolderLock::acquire(tree.Folder(), std::chrono::milliseconds(300));
            return !lock && lock.reason() == strings::kFoldersBusy;
        };
        {
            const auto held = FolderLock::acquire(tree.Folder());
            QVERIFY(held);
            QVERIFY(busy());
        }
        QCOMPARE(tree.Names(""), QStringList());
        tree.Write(FolderLock::kFileName, "");
        QVERIFY(busy());
        QVERIFY(!FolderLock::acquire(tree.Folder("none/")));
        QVERIFY(!tree.Exists("none"));
        // No folder chosen: said so, rather than naming an empty path, and no lock file is made
        // in the working folder.
        const auto unchosen = FolderLock::acquire(Path(""));
        QVERIFY(unchosen.reason() == strings::kNoKorvaneFolder);
        QVERIFY(!QFileInfo::exists(FolderLock::kFileName));
    }

    // What a killed command left in the folders the lock guards goes when the next one takes over
    // its lock; files that only look alike, and anything elsewhere, stay.
    void takingTheLockRemovesTheProgramsLeftovers()
    {
        TestTree tree;
        QStringList leftovers;
        for (const char* file : {"storage/a.cs", "storage/cat/deep/b.desc.txt", "PLUGINS/a.cs",
                                 "backups/updates-in-progress.txt", "korvane.cs", "other/a.cs"}) {
            tree.Write(file, "x");
            const auto temporary = kfs::TemporaryPathBeside(tree.Path(file));
            QVERIFY(kfs::WriteFileAtomically(temporary, "part"));
            leftovers << QString::fromStdString(temporary.string());
        }
        const QStringList alike = {"storage/.notes.part", "storage/notes.1-2.part",
                                   "storage/.a.cs.12.part", "storage/.a.cs.1-2.part.txt",
                                   "PLUGINS/.a.cs.x-2.part"};
        for (const QString& file : alike)
            tree.Write(file.toStdString(), "player's");
        // The killed command's lock file, empty as when it died creating it.
        tree.Write(FolderLock::kFileName, "");
        std::filesystem::last_write_time(tree.Path(FolderLock::kFileName),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(1));
        QVERIFY(FolderLock::acquire(tree.Folder()));
        const auto exists = [](const QString& path) { return QFileInfo::exists(path); };
        QCOMPARE(QList<bool>({exists(leftovers[0]), exists(leftovers[1]), exists(leftovers[2]),
                              exists(leftovers[3]), exists(leftovers[4]), exists(leftovers[5])}),
                 QList<bool>({false, false, false, false, true, true}));
        for (const QString& file : alike)
            QVERIFY2(tree.Exists(file.toStdString()), qPrintable(file));
    }

    // A folder no one may create a file in, root included: the failure names the lock file and
    // gives the system's reason.
    void aLockFileThatCannotBeCreatedIsNamedWithItsReason()
    {
        if (!QFileInfo(QStringLiteral("/sys")).isDir())
            QSKIP("needs /sys, where no one creates files");
        const auto lock = FolderLock::acquire(Path("/sys/"), std::chrono::milliseconds(200));
        QVERIFY(!lock);
        const QString reason = QString::fromStdString(lock.reason());
        QVERIFY2(reason.startsWith("/sys/.korvanemgr.lock: ") &&
                     !reason.endsWith("could not be created"),
                 qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(tst_FolderLock)
#include "tst_FolderLock.moc"
