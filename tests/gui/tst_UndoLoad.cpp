// Undo Last Load in the window, and the question Save Configuration asks before it writes a file
// that cannot tell two plug-ins of one key apart.
#include "core/catalogue/PluginConfiguration.h"
#include "ManagerWindow.h"

#include <QDialog>

using namespace korvane;

using managertest::Manager;

class tst_UndoLoad : public QObject
{
    Q_OBJECT

private slots:
    void undoLastLoadShowsTheSetTheLoadReplaced()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        QVERIFY(m.Show());
        ModalScript script;
        QString told;
        script.Then("QMessageBox", [&told](QWidget* active) {
            auto* box = static_cast<QMessageBox*>(active);
            told = box->icon() == QMessageBox::Information ? box->text() : QString();
            box->accept();
        });
        m.Command(strings::kMenuUndoLoad);
        QCOMPARE(told, S(strings::kNothingToUndo));

        m.files.Write("beta.pfg", "UseDirectory=FALSE\r\nPlugin=NULL,beta\r\n");
        QVERIFY(pluginconfig::LoadConfiguration(m.files.Path("k/"), m.files.Path("beta.pfg")));
        m.Command(strings::kMenuUndoLoad);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
        QVERIFY(!m.files.Exists("k/plugins/beta.cs"));
    }

    void savingWithoutSubfoldersAsksFirstWhenAKeyIsInTwo()
    {
        Manager m;
        m.files.Write("k/plugins/a/blaster.cs", "");
        m.files.Write("k/plugins/b/blaster.cs", "");
        QVERIFY(m.Show());
        ModalScript script;
        script
            .Then("CSaveConfigDlg",
                  [](QWidget* active) { static_cast<QDialog*>(active)->accept(); })
            .AnswerQuestion(QMessageBox::No);
        m.Command(strings::kMenuSaveConfig);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kSaveConfigRepeatedKeys).arg("blaster")});
    }
};

QTEST_MAIN(tst_UndoLoad)
#include "tst_UndoLoad.moc"
