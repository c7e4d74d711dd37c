#include "core/launch/GameLauncher.h"
#include "gui/LaunchCommands.h"
#include "core/launch/QuickExec.h"
#include "LaunchTestSupport.h"

#include <optional>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

class tst_LaunchTribes : public QObject
{
    Q_OBJECT

private:
    std::optional<LaunchFolders> m_folders;
    QByteArray m_path;

    std::string Tribes() const { return m_folders->tree.Path("tribes/"); }
    QString Record() const { return m_folders->tree.QPath("launched.txt"); }

    void MakeExecutable(std::string_view rel) const
    {
        QFile::setPermissions(m_folders->tree.QPath(rel),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A stand-in program that records its working folder, then one argument a line. The record
    // appears whole, by a rename, so the test never reads half of it.
    void WriteRecorder(std::string_view rel) const
    {
        const std::string record = Record().toStdString();
        m_folders->tree.Write(rel, "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do printf '%s\\n' "
                                   "\"$a\"; done; } > '" +
                                       record + ".part' && mv '" + record + ".part' '" + record +
                                       "'\n");
        MakeExecutable(rel);
    }

    // The recorded working folder followed by the arguments.
    QStringList WaitForRecord() const
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Record()), 10000); }();
        QFile file(Record());
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QStringList InTribesFolder(const QStringList& arguments) const
    {
        return QStringList{QDir(m_folders->tree.QPath("tribes")).canonicalPath()} + arguments;
    }

private slots:
    void init()
    {
        m_folders.emplace();
        m_path = qgetenv("PATH");
    }
    void cleanup()
    {
        qputenv("PATH", m_path);
        m_folders.reset();
    }

    void gameGetsEachArgumentAsTypedAndNeverAShell()
    {
        WriteRecorder("tribes/Tribes.EXE");
        const std::string parameters = launch::BuildGameCommandLine(
            true, {"korvane", "alpha"},
            "+exec \"my server.cs\" ; $(touch pwned) `touch pwned2` * > redirected");
        QCOMPARE(launch::LaunchTribes(Tribes(), parameters), launch::LaunchStatus::Ok);
        QCOMPARE(WaitForRecord(), InTribesFolder({"-dedicated", "-mod", "korvane", "-mod", "alpha",
                                                  "+exec", "my server.cs", ";", "$(touch", "pwned)",
                                                  "`touch", "pwned2`", "*", ">", "redirected"}));
        for (const char* file : {"tribes/pwned", "tribes/pwned2", "tribes/redirected"})
            QVERIFY2(!m_folders->tree.Exists(file), file);
    }

    void windowsProgramRunsThroughWineFromPath()
    {
        m_folders->tree.Write("tribes/tribes.exe", std::string("MZ\x90\0", 4));
        WriteRecorder("bin/wine");
        qputenv("PATH", QFile::encodeName(m_folders->tree.QPath("bin")) + ":" + m_path);
        QCOMPARE(launch::LaunchTribes(Tribes(), "-mod korvane \"a b\""), launch::LaunchStatus::Ok);
        const QString program =
            QFileInfo(m_folders->tree.QPath("tribes/tribes.exe")).canonicalFilePath();
        QCOMPARE(WaitForRecord(), InTribesFolder({program, "-mod", "korvane", "a b"}));
    }

    void failedStartIsReportedAtOnceAndSilently_data()
    {
        QTest::addColumn<QByteArray>("tribesExe");
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<launch::LaunchStatus>("status");
        using enum launch::LaunchStatus;
        QTest::newRow("Tribes folder not set") << QByteArray() << false << GameNotFound;
        QTest::newRow("no tribes.exe") << QByteArray() << true << GameNotFound;
        QTest::newRow("Windows program, no wine") << QByteArray("MZ") << true << WineNotFound;
        QTest::newRow("cannot run") << QByteArray("#!/no/such/shell\n") << true << StartFailed;
    }
    void failedStartIsReportedAtOnceAndSilently()
    {
        QFETCH(QByteArray, tribesExe);
        QFETCH(bool, folderSet);
        QFETCH(launch::LaunchStatus, status);
        if (!tribesExe.isEmpty())
            m_folders->tree.Write("tribes/tribes.exe", tribesExe.toStdString());
        if (tribesExe.startsWith("#!/no"))
            MakeExecutable("tribes/tribes.exe");
        m_folders->tree.MakeFolder("empty");
        qputenv("PATH", QFile::encodeName(m_folders->tree.QPath("empty")));
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(launch::LaunchTribes(folderSet ? Tribes() : "", "-mod korvane"), status);
        QCOMPARE_LT(elapsed.elapsed(), 5000);
        QCOMPARE(launch::MessageFor(status), std::string_view());
    }

    void quickExecAndGoStartTheGameWithTheirChoices()
    {
        WriteRecorder("tribes/tribes.exe");
        launch::StoreQuickExec(m_folders->profile, {{"korvane", "alpha"}, true, "+connect h:1"});
        launch::OnQuickExec(m_folders->profile, nullptr);
        QCOMPARE(WaitForRecord(), InTribesFolder({"-dedicated", "-mod", "korvane", "-mod", "alpha",
                                                  "+connect", "h:1"}));

        QFile::remove(Record());
        ModalScript script;
        script.Then("CExecuteDlg", [](QWidget* dlg) {
            QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
            QTest::keyClicks(dlg->findChild<QLineEdit*>(), "+exec a.cs");
            QTest::keyClick(dlg->findChild<QLineEdit*>(), Qt::Key_Return); // presses "Go!"
        });
        launch::OnExecuteTribes(m_folders->profile, nullptr);
        QCOMPARE(WaitForRecord(),
                 InTribesFolder({"-dedicated", "-mod", "korvane", "+exec", "a.cs"}));
    }
};

QTEST_MAIN(tst_LaunchTribes)
#include "tst_LaunchTribes.moc"
