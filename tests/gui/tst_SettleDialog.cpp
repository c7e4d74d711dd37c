// Where a command of the window refuses a file in use that differs from storage's, the player
// chooses what becomes of it, and the command goes on with that choice or not at all.
#include "core/catalogue/CPluginInfo.h"
#include "gui/PluginDragDrop.h"
#include "gui/SettleCopiesDialog.h"
#include "ManagerWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMimeData>

using namespace korvane;

using namespace managertest;

namespace {

// Step for the dialog: records the files it lists and presses the button of that object name.
ModalScript::Step Answer(const QString& button, QStringList* listed)
{
    return [button, listed](QWidget* active) {
        const auto* files = active->findChild<QListWidget*>("files");
        for (int row = 0; row < files->count(); ++row)
            *listed << files->item(row)->text();
        QTest::mouseClick(PushButton(active, button), Qt::LeftButton);
    };
}

// Drags the list's entry of the plug-in of that key onto the tree, as the window system would.
void DragOut(const Manager& m, const std::string& key)
{
    CPluginInfo plugin;
    plugin.m_strFileName = key;
    const std::unique_ptr<QMimeData> data(
        PluginDragDrop::MimeData(plugin, PluginDragDrop::Origin::List));
    QWidget* view = m.tree->viewport();
    QDragEnterEvent enter(view->rect().center(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &enter);
    QDropEvent drop(view->rect().center(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &drop);
    QCoreApplication::processEvents();
}

// "path=bytes" of each file set aside below the Korvane folder's backups, names lowered.
QStringList SetAside(const Manager& m)
{
    QStringList files;
    for (const QString& folder : m.files.Names("k/backups")) {
        for (const char* side : {"plugins", "storage"}) {
            const std::string below = "k/backups/" + folder.toStdString() + "/" + side + "/";
            for (const QString& name : m.files.Names(below))
                files << QString(side) + "/" + name + "=" +
                             QString::fromStdString(m.files.Read(below + name.toStdString()));
        }
    }
    return files;
}

} // namespace

class tst_SettleDialog : public QObject
{
    Q_OBJECT

private slots:
    void theDialogNamesTheFilesAndOffersTheTwoCopiesOrCancel()
    {
        SettleCopiesDialog dialog({"alpha.cs", "weapons\\<b>bravo</b>.cs"}, nullptr);
        const auto* files = dialog.findChild<QListWidget*>("files");
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(1)->text(), "plugins\\weapons\\<b>bravo</b>.cs");
        QCOMPARE(files->accessibleName(), S(strings::kSettleListName));
        QCOMPARE(dialog.findChild<QLabel*>("text")->textFormat(), Qt::PlainText);
        QCOMPARE(PushButton(&dialog, "keepMine")->text(), S(strings::kSettleKeepMine));
        QCOMPARE(PushButton(&dialog, "useStorage")->text(), S(strings::kSettleUseStorage));
        // Enter or Esc alone chooses nothing.
        QVERIFY(PushButton(&dialog, "cancel")->isDefault());
    }

    // Every way to take a plug-in out of use asks; Cancel changes nothing, and either choice sets
    // the other copy aside before the plug-in goes.
    void takingOutOfUseAsksWhatBecomesOfAChangedCopy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("setAside");
        // clang-format off
        QTest::newRow("<<, cancelled") << "<<" << "cancel" << QStringList{"Alpha"} << "// Alpha" << QStringList{};
        QTest::newRow("<<, my copy") << "<<" << "keepMine" << QStringList{} << "// my Alpha" << QStringList{"storage/alpha.cs=// Alpha"};
        QTest::newRow("Remove from list, storage's copy") << "menu" << "useStorage" << QStringList{} << "// Alpha" << QStringList{"plugins/alpha.cs=// my Alpha"};
        QTest::newRow("dragged out, my copy") << "drag" << "keepMine" << QStringList{} << "// my Alpha" << QStringList{"storage/alpha.cs=// Alpha"};
        // clang-format on
    }
    void takingOutOfUseAsksWhatBecomesOfAChangedCopy()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QStringList, entries);
        QFETCH(QString, stored);
        QFETCH(QStringList, setAside);
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("k/plugins/alpha.cs", "// my Alpha");
        QVERIFY(m.Show());
        m.Click("Alpha");
        ModalScript script;
        QStringList listed;
        if (command == "menu")
            script.Then("QMenu", [](QWidget* popup) { QTest::keyClick(popup, 'r'); });
        script.Then("SettleCopiesDialog", Answer(answer, &listed));
        if (command == "<<")
            m.unuse->click();
        else if (command == "menu")
            m.ClickEntry("Alpha", Qt::RightButton);
        else
            DragOut(m, "alpha");
        QTRY_VERIFY(script.Finished()); // and no message
        QCOMPARE(listed, QStringList{"plugins\\alpha.cs"});
        QCOMPARE(m.Entries(), entries);
        QCOMPARE(m.files.Exists("k/plugins/alpha.cs"), !entries.isEmpty());
        QCOMPARE(QString::fromStdString(m.files.Read("k/storage/alpha.cs")), stored);
        QCOMPARE(SetAside(m), setAside);
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
        QCOMPARE(SetAside(m), QStringList{"plugins/alpha.cs=// my Alpha"});
    }
};

QTEST_MAIN(tst_SettleDialog)
#include "tst_SettleDialog.moc"
