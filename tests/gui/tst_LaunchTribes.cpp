// The Execute dialog and the window's launch commands: Execute Tribes, QuickExec and its
// configuration.
#include "core/launch/QuickExec.h"
#include "gui/LaunchCommands.h"
#include "LaunchTestSupport.h"
#include "res/Strings.h"

#include <optional>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

using namespace korvane;

namespace {

// The modifications, top to bottom.
QStringList Listed(const QWidget* dlg)
{
    QStringList names;
    const auto* list = dlg->findChild<QListWidget*>();
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

QString Selected(const CExecuteDlg& dlg)
{
    const auto items = dlg.findChild<QListWidget*>()->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

void Click(const CExecuteDlg& dlg, const char* caption)
{
    QTest::mouseClick(PushButton(&dlg, S(caption)), Qt::LeftButton);
}

void Select(const CExecuteDlg& dlg, const QString& name)
{
    auto* list = dlg.findChild<QListWidget*>();
    const QRect place = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    QCOMPARE(Selected(dlg), name);
}

} // namespace

class tst_LaunchTribes : public QObject
{
    Q_OBJECT

private:
    std::optional<LaunchFolders> m_folders;

    QString Record() const { return m_folders->tree.QPath("launched.txt"); }

    // A stand-in game that records its working folder, then one argument a line. The record
    // appears whole, by a rename, so the test never reads half of it.
    void WriteRecorder(std::string_view rel) const
    {
        const std::string record = Record().toStdString();
        m_folders->tree.Write(rel, "#!/bin/sh\n{ pwd -P; printf '%s\\n' \"$@\"; } > '" + record +
                                       ".part' && mv '" + record + ".part' '" + record + "'\n");
        QFile::setPermissions(m_folders->tree.QPath(rel),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

    // The entry as the settings file holds it; empty when absent.
    QString Stored(const QString& key) const
    {
        return QSettings(m_folders->tree.QPath("profile.ini"), QSettings::IniFormat)
            .value("QuickExec/" + key)
            .toString();
    }
    static void ToggleDedicated(QWidget* dlg)
    {
        QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
    }

private slots:
    void init() { m_folders.emplace(); }
    void cleanup() { m_folders.reset(); }

    void missingWineCommandIsNamedInTheMessage()
    {
        m_folders->tree.Write("tribes/tribes.exe", std::string("MZ\x90\0", 4));
        launch::StoreQuickExec(m_folders->profile, {{"korvane"}, false, ""});
        m_folders->profile.WriteProfileString(profile::kWindowsPrograms, profile::kWineCommand,
                                              "/no/such/wine --debug");
        ModalScript script;
        script.AnswerMessage();
        launch::OnQuickExec(m_folders->profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{QString::fromUtf8(strings::kWineNotFound).arg("/no/such/wine")});
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

    void savedQuickExecIsStoredInListOrderAndComesBack()
    {
        m_folders->tree.MakeFolder("tribes/alpha");
        const QString extra = " +exec \"a b\"; x=$(y) ";
        ModalScript script;
        script
            .Then("CExecuteDlg",
                  [&extra](QWidget* dlg) {
                      PushButton(dlg, S(strings::kExecAdd))->click();
                      dlg->findChild<QListWidget*>()->setCurrentRow(0);
                      PushButton(dlg, S(strings::kExecDown))->click();
                      ToggleDedicated(dlg);
                      dlg->findChild<QLineEdit*>()->setText(extra);
                      PushButton(dlg, S(strings::kExecSave))->click();
                  })
            .Browse(m_folders->tree.QPath("tribes/alpha"));
        launch::OnConfigureQuickExec(m_folders->profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(Stored("Mods"), QString("korvane\\alpha"));
        QCOMPARE(Stored("Dedicated"), QString("1"));
        QCOMPARE(Stored("ExtraCmdLine"), extra);

        // The stored choices come back into the dialog; Cancel stores nothing.
        script.Then("CExecuteDlg", [&extra](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QLineEdit*>()->text(), extra);
            QVERIFY(dlg->findChild<QCheckBox*>()->isChecked());
            QCOMPARE(dlg->findChild<QListWidget*>()->count(), 2);
            ToggleDedicated(dlg);
            PushButton(dlg, S(strings::kExecCancel))->click();
        });
        launch::OnConfigureQuickExec(m_folders->profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(Stored("Dedicated"), QString("1"));
    }

    void quickExecConfigurationSaysWhichFolderIsMissingAndWritesNothing_data()
    {
        QTest::addColumn<QString>("cleared"); // the folder settings emptied
        QTest::addColumn<QString>("message");
        QTest::newRow("neither") << "Tribes Korvane" << S(strings::kQuickExecNeedsTribes);
        QTest::newRow("no Korvane") << "Korvane" << S(strings::kQuickExecNeedsKorvane);
    }
    void quickExecConfigurationSaysWhichFolderIsMissingAndWritesNothing()
    {
        QFETCH(QString, cleared);
        QFETCH(QString, message);
        for (const QString& key : cleared.split(' '))
            m_folders->profile.WriteProfileString(profile::kDirectories, key.toStdString(), "");
        ModalScript script;
        script.AnswerMessage();
        launch::OnConfigureQuickExec(m_folders->profile, nullptr);
        QCOMPARE(script.Messages(), QStringList{message});
        QVERIFY(Stored("Mods").isEmpty());
    }

    // Added mods take their alphabetical place whatever their letter case; a moved one keeps its
    // selection, and Go returns the new order.
    void addedModsTakeTheirAlphabeticalPlaceAndMovedOnesKeepTheirSelection()
    {
        CExecuteDlg dlg(m_folders->profile, false);
        dlg.show();
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
        ModalScript script;
        for (const std::string folder :
             {"zeta", "Alpha", "mods/beta", "other/ALPHA", "zeta", "", "Omega"}) {
            m_folders->tree.MakeFolder("tribes/" + folder);
            script.Browse(m_folders->tree.QPath("tribes/" + folder));
            Click(dlg, strings::kExecAdd);
        }
        QVERIFY(script.Finished());
        QCOMPARE(Listed(&dlg),
                 (QStringList{"Alpha", "beta", "korvane", "Omega", "tribes", "zeta"}));
        QCOMPARE(Selected(dlg), QString());
        Select(dlg, "zeta");
        Click(dlg, strings::kExecUp);
        Click(dlg, strings::kExecUp);
        QCOMPARE(Listed(&dlg),
                 (QStringList{"Alpha", "beta", "korvane", "zeta", "Omega", "tribes"}));
        Click(dlg, strings::kExecDown);
        QCOMPARE(Selected(dlg), QString("zeta"));
        Click(dlg, strings::kExecGo);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_mods, (QStringList{"Alpha", "beta", "korvane", "Omega", "zeta", "tribes"}));
    }

    void listStaysAsItWasWhenAButtonHasNothingToDo_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("button");
        QTest::newRow("up on the first") << "alpha" << S(strings::kExecUp);
        QTest::newRow("down on the last") << "zeta" << S(strings::kExecDown);
        QTest::newRow("up without selection") << "" << S(strings::kExecUp);
        QTest::newRow("down without selection") << "" << S(strings::kExecDown);
        QTest::newRow("remove without selection") << "" << S(strings::kExecRemove);
    }
    void listStaysAsItWasWhenAButtonHasNothingToDo()
    {
        QFETCH(QString, selected);
        QFETCH(QString, button);
        CExecuteDlg dlg(m_folders->profile, false);
        dlg.m_mods = {"zeta", "korvane", "alpha"};
        dlg.show();
        if (!selected.isEmpty())
            Select(dlg, selected);
        QTest::mouseClick(PushButton(&dlg, button), Qt::LeftButton);
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "korvane", "zeta"}));
        QCOMPARE(Selected(dlg), selected);
    }

    void removeSparesOnlyTheKorvaneFolderAsSpelled_data()
    {
        QTest::addColumn<bool>("korvaneSet");
        QTest::addColumn<QStringList>("left"); // also the list a run starts with
        QTest::newRow("Korvane folder set") << true << QStringList{"korvane"};
        QTest::newRow("no Korvane folder") << false << QStringList{};
    }
    void removeSparesOnlyTheKorvaneFolderAsSpelled()
    {
        QFETCH(bool, korvaneSet);
        QFETCH(QStringList, left);
        if (!korvaneSet)
            m_folders->profile.WriteProfileString(profile::kDirectories, profile::kKorvane, "");
        CExecuteDlg dlg(m_folders->profile, true);
        dlg.show();
        QCOMPARE(Listed(&dlg), left);

        dlg.m_mods = {"Korvane", "", "alpha", "korvane"}; // an empty stored name is not shown
        dlg.hide();
        dlg.show();
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "Korvane", "korvane"}));
        for (const QString name : {"Korvane", "alpha", "korvane"}) {
            Select(dlg, name);
            Click(dlg, strings::kExecRemove);
        }
        Click(dlg, strings::kExecSave);
        QCOMPARE(dlg.m_mods, left);
    }

    void addSaysWhenTheTribesFolderCannotBeFound_data()
    {
        QTest::addColumn<QString>("tribesFolder");
        QTest::newRow("not set") << "";
        QTest::newRow("missing") << "missing/";
    }
    void addSaysWhenTheTribesFolderCannotBeFound()
    {
        QFETCH(QString, tribesFolder);
        m_folders->profile.WriteProfileString(
            profile::kDirectories, profile::kTribes,
            tribesFolder.isEmpty() ? "" : m_folders->tree.Path(tribesFolder.toStdString()));
        CExecuteDlg dlg(m_folders->profile, false);
        dlg.show();
        ModalScript script;
        script.AnswerMessage();
        Click(dlg, strings::kExecAdd);
        QCOMPARE(script.Messages(), QStringList{S(strings::kExecTribesNotFound)});
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
    }
};

QTEST_MAIN(tst_LaunchTribes)
#include "tst_LaunchTribes.moc"
