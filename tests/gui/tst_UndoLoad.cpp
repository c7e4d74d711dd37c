// Undo Last Load in the window, and the question Save Configuration asks before it writes a file
// that cannot tell two plug-ins of one key apart.
#include "ManagerWindow.h"

#include <QDialog>

using managertest::Manager;

namespace {

ModalScript::Step ChooseFile(const QString& file)
{
    return [file](QWidget* active) {
        auto* name = active->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
    };
}

} // namespace

class tst_UndoLoad : public QObject
{
    Q_OBJECT

private slots:
    void undoLastLoadShowsTheSetTheLoadReplaced()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("beta.pfg", "UseDirectory=FALSE\r\nPlugin=NULL,beta\r\n");
        QVERIFY(m.Show());
        ModalScript script;
        QString told;
        script.Then("QMessageBox", [&told](QWidget* active) {
            auto* box = static_cast<QMessageBox*>(active);
            if (box->icon() == QMessageBox::Information)
                told = box->text();
            box->accept();
        });
        m.Command(strings::kMenuUndoLoad);
        QCOMPARE(told, S(strings::kNothingToUndo));

        script.Then("QFileDialog", ChooseFile(m.files.QPath("beta.pfg")));
        m.Command(strings::kMenuLoadConfig);
        QCOMPARE(m.Entries(), QStringList{"Beta"});
        m.Command(strings::kMenuUndoLoad);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
    }

    void savingWithoutSubfoldersAsksFirstWhenAKeyIsInTwo_data()
    {
        QTest::addColumn<bool>("saveAnyway");
        QTest::newRow("save anyway") << true;
        QTest::newRow("cancel") << false;
    }
    void savingWithoutSubfoldersAsksFirstWhenAKeyIsInTwo()
    {
        QFETCH(bool, saveAnyway);
        Manager m;
        m.files.Write("k/plugins/a/blaster.cs", "");
        m.files.Write("k/plugins/b/blaster.cs", "");
        QVERIFY(m.Show());
        ModalScript script;
        script
            .Then("CSaveConfigDlg",
                  [](QWidget* active) { static_cast<QDialog*>(active)->accept(); })
            .AnswerQuestion(saveAnyway ? QMessageBox::Yes : QMessageBox::No);
        if (saveAnyway)
            script.Then("QFileDialog", ChooseFile(m.files.QPath("set.pfg")));
        m.Command(strings::kMenuSaveConfig);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kSaveConfigRepeatedKeys).arg("blaster")});
        QCOMPARE(m.files.Exists("set.pfg"), saveAnyway);
    }
};

QTEST_MAIN(tst_UndoLoad)
#include "tst_UndoLoad.moc"
