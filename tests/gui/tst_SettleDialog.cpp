// Where a command of the window refuses a file in use that differs from storage's, the player
// chooses what becomes of it, and the command goes on with that choice or not at all.
#include "gui/SettleCopiesDialog.h"
#include "ManagerWindow.h"

#include <QLabel>

using namespace korvane;

using namespace managertest;

namespace {

// Step for the dialog: records the files it lists and presses the button of that object name.
// Its text is plain (file names are not markup), and Enter or Esc alone chooses nothing.
ModalScript::Step Answer(const QString& button, QStringList* listed)
{
    return [button, listed](QWidget* active) {
        QCOMPARE(active->findChild<QLabel*>("text")->textFormat(), Qt::PlainText);
        QVERIFY(PushButton(active, "cancel")->isDefault());
        const auto* files = active->findChild<QListWidget*>("files");
        for (int row = 0; row < files->count(); ++row)
            *listed << files->item(row)->text();
        QTest::mouseClick(PushButton(active, button), Qt::LeftButton);
    };
}

} // namespace

class tst_SettleDialog : public QObject
{
    Q_OBJECT

private slots:
    // Taking a plug-in out of use asks (each way of doing so leads to "<<": tst_ManagerDlg);
    // Cancel changes nothing, and the choice reaches the core, which sets the other copy aside
    // (tst_SettleCopies).
    void takingOutOfUseAsksWhatBecomesOfAChangedCopy_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cancelled") << "cancel" << QStringList{"Alpha"} << "// Alpha";
        QTest::newRow("my copy") << "keepMine" << QStringList{} << "// my Alpha";
        QTest::newRow("storage's copy") << "useStorage" << QStringList{} << "// Alpha";
    }
    void takingOutOfUseAsksWhatBecomesOfAChangedCopy()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, entries);
        QFETCH(QString, stored);
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("k/plugins/alpha.cs", "// my Alpha");
        QVERIFY(m.Show());
        m.Click("Alpha");
        ModalScript script;
        QStringList listed;
        script.Then("SettleCopiesDialog", Answer(answer, &listed));
        m.unuse->click();
        QTRY_VERIFY(script.Finished()); // and no message
        QCOMPARE(listed, QStringList{"plugins\\alpha.cs"});
        QCOMPARE(m.Entries(), entries);
        QCOMPARE(m.files.Exists("k/plugins/alpha.cs"), !entries.isEmpty());
        QCOMPARE(QString::fromStdString(m.files.Read("k/storage/alpha.cs")), stored);
    }

    // A load asks once, and Cancel stops it before anything changes. What the undo of a settled
    // load puts back is the catalogue's concern (tst_SettleCopies).
    void aLoadAsksOnceAndCancelChangesNothing()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("k/plugins/alpha.cs", "// my Alpha");
        m.files.Write("beta.pfg", "Name=b\r\nUseDirectory=FALSE\r\nPlugin=NULL,beta\r\n");
        QVERIFY(m.Show());
        ModalScript script;
        QStringList listed;
        const QString file = m.files.QPath("beta.pfg");
        script.Then("QFileDialog", ChooseFile(file))
            .Then("SettleCopiesDialog", Answer("cancel", &listed));
        m.Command(strings::kMenuLoadConfig);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
        QVERIFY(!m.files.Exists("k/backups"));

        script.Then("QFileDialog", ChooseFile(file))
            .Then("SettleCopiesDialog", Answer("useStorage", &listed));
        m.Command(strings::kMenuLoadConfig);
        QVERIFY(script.Finished());
        QCOMPARE(listed, QStringList(2, "plugins\\alpha.cs"));
        QCOMPARE(m.Entries(), QStringList{"Beta"});
    }
};

QTEST_MAIN(tst_SettleDialog)
#include "tst_SettleDialog.moc"
