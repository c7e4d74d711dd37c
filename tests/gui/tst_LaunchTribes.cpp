#include "core/launch/GameLauncher.h"
#include "core/launch/QuickExec.h"
#include "gui/LaunchCommands.h"
#include "LaunchTestSupport.h"
#include "res/Strings.h"

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
    QByteArray m_winePrefix;

    std::string Tribes() const { return m_folders->tree.Path("tribes/"); }
    QString Record() const { return m_folders->tree.QPath("launched.txt"); }

    void MakeExecutable(std::string_view rel) const
    {
        QFile::setPermissions(m_folders->tree.QPath(rel),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A stand-in program that records the Wine prefix it got if any, its working folder, then
    // one argument a line. The record appears whole, by a rename, so the test never reads half
    // of it.
    void WriteRecorder(std::string_view rel) const
    {
        const std::string record = Record().toStdString();
        m_folders->tree.Write(rel, "#!/bin/sh\n{ ${WINEPREFIX+echo \"WINEPREFIX=$WINEPREFIX\"}; "
                                   "pwd -P; for a in \"$@\"; do printf '%s\\n' "
                                   "\"$a\"; done; } > '" +
                                       record + ".part' && mv '" + record + ".part' '" + record +
                                       "'\n");
        MakeExecutable(rel);
    }

    // The Tribes folder moved into a Wine prefix, with a Windows tribes.exe.
    std::string MakeWindowsGameInPrefix() const
    {
        m_folders->tree.Write("pfx/system.reg", "WINE REGISTRY Version 2\n");
        m_folders->tree.Write("pfx/drive_c/Games/Tribes/tribes.exe", std::string("MZ\x90\0", 4));
        const std::string tribes = m_folders->tree.Path("pfx/drive_c/Games/Tribes/");
        m_folders->profile.WriteProfileString(profile::kDirectories, profile::kTribes, tribes);
        launch::StoreQuickExec(m_folders->profile, {{"korvane"}, false, "\"a b\""});
        return tribes;
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
        m_winePrefix = qgetenv("WINEPREFIX");
        qunsetenv("WINEPREFIX");
    }
    void cleanup()
    {
        qputenv("PATH", m_path);
        if (!m_winePrefix.isNull())
            qputenv("WINEPREFIX", m_winePrefix);
        m_folders.reset();
    }

    void windowsProgramRunsThroughTheWineCommandInItsPrefix_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("commandArguments");
        QTest::newRow("wine on the PATH") << QString() << QStringList();
        QTest::newRow("another Wine build, with arguments")
            << QStringLiteral("\"%1/my wine\" --debug \"a b\"") << QStringList{"--debug", "a b"};
    }
    void windowsProgramRunsThroughTheWineCommandInItsPrefix()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, commandArguments);
        const std::string tribes = MakeWindowsGameInPrefix();
        WriteRecorder("bin/wine");
        WriteRecorder("bin/my wine");
        qputenv("PATH", QFile::encodeName(m_folders->tree.QPath("bin")) + ":" + m_path);
        m_folders->profile.WriteProfileString(
            profile::kWindowsPrograms, profile::kWineCommand,
            command.isEmpty() ? "" : command.arg(m_folders->tree.QPath("bin")).toStdString());

        launch::OnQuickExec(m_folders->profile, nullptr);
        const QString folder = QDir(QString::fromStdString(tribes)).canonicalPath();
        const QStringList expected =
            QStringList{"WINEPREFIX=" + QDir(m_folders->tree.QPath("pfx")).canonicalPath(),
                        folder} +
            commandArguments + QStringList{folder + "/tribes.exe", "-mod", "korvane", "a b"};
        QCOMPARE(WaitForRecord(), expected);
    }

    void missingWineCommandIsNamedInTheMessage()
    {
        MakeWindowsGameInPrefix();
        m_folders->profile.WriteProfileString(profile::kWindowsPrograms, profile::kWineCommand,
                                              "/no/such/wine --debug");
        ModalScript script;
        script.AnswerMessage();
        launch::OnQuickExec(m_folders->profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{QString::fromUtf8(strings::kWineNotFound).arg("/no/such/wine")});
    }

    void failedStartIsReportedAtOnceAndSilently_data()
    {
        QTest::addColumn<QByteArray>("tribesExe");
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<launch::LaunchStatus>("status");
        using enum launch::LaunchStatus;
        QTest::newRow("Tribes folder not set") << QByteArray() << false << GameNotFound;
        QTest::newRow("no tribes.exe") << QByteArray() << true << GameNotFound;
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
        QCOMPARE(launch::LaunchTribes(folderSet ? Tribes() : "", "-mod korvane", {}), status);
        QCOMPARE_LT(elapsed.elapsed(), 5000);
        QCOMPARE(launch::MessageFor(status), std::string_view());
    }

    // Go starts the game with what the Execute dialog holds.
    void goStartsTheGameWithTheDialogsChoices()
    {
        WriteRecorder("tribes/tribes.exe");
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
