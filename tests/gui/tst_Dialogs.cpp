// The dialogs the window hands over to, on their own.
#include "core/catalogue/CPluginInfo.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/MinisignKey.h"
#include "core/updater/UpdatePreview.h"
#include "gui/dialogs/CAboutDlg.h"
#include "gui/dialogs/CDescEditDlg.h"
#include "gui/dialogs/CExecuteDlg.h"
#include "gui/dialogs/ClashesDialog.h"
#include "gui/dialogs/COptionsDlg.h"
#include "gui/dialogs/CSaveConfigDlg.h"
#include "gui/dialogs/CUpdaterDlg.h"
#include "gui/dialogs/FolderBrowserDialog.h"
#include "gui/dialogs/SettleCopiesDialog.h"
#include "gui/dialogs/UpdateInfoDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/mainwindow/InUseFunctions.h"
#include "ManagerWindow.h"
#include "support/UpdaterTestSupport.h"

#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

using namespace korvane;
using namespace korvane::dialogs;
using namespace korvane::mainwindow;
using namespace managertest;

namespace {

void Retype(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text) // as typed on a keyboard that has the character
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A file that minisign made when the tests were built.
QString Made(const char* name)
{
    QFile file(QStringLiteral(KORVANE_TEST_SIGNATURES) + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", name, qPrintable(file.errorString()));
    return QString::fromLatin1(file.readAll());
}

// The base64 line of a .pub file, and the ID its untrusted comment names.
QString KeyLine(const char* pub)
{
    return Made(pub).section('\n', 1, 1);
}
QString CommentedId(const char* pub)
{
    return Made(pub).section('\n', 0, 0).section(' ', -1);
}

} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheRootAndFoldersBelowItCanBeChosen()
    {
        TestTree tree;
        tree.MakeFolder("tribes/mods/alpha");
        tree.MakeFolder("elsewhere");
        FolderBrowserDialog dlg("Choose a mod:", tree.QPath("tribes"), {}, std::nullopt);
        QVERIFY(!dlg.SelectFolder(tree.QPath("elsewhere")));
        QVERIFY(!dlg.SelectFolder(tree.QPath("tribes/../elsewhere")));
        QVERIFY(dlg.SelectFolder(tree.QPath("tribes")));
        QVERIFY(dlg.IsOkEnabled());
        QVERIFY(dlg.SelectFolder(tree.QPath("tribes/mods/alpha")));
        QCOMPARE(dlg.SelectedFolder(),
                 QDir::toNativeSeparators(QDir::cleanPath(tree.QPath("tribes/mods/alpha"))));
    }

    void eachOptionsBrowserTellsWhetherTheFolderPasses_data()
    {
        QTest::addColumn<QString>("browse");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("passes"); // OK is enabled
        // clang-format off
        QTest::newRow("Korvane script") << "browseKorvane" << "k" << S(strings::kKorvaneFound) << true;
        QTest::newRow("no Korvane script") << "browseKorvane" << "t" << S(strings::kKorvaneNotFound) << false;
        QTest::newRow("Tribes program") << "browseTribes" << "t" << S(strings::kTribesFound) << true;
        QTest::newRow("text named tribes.exe") << "browseTribes" << "k" << S(strings::kTribesNotFound) << false;
        QTest::newRow("a folder does not") << "browseTribes" << "f" << S(strings::kTribesNotFound) << false;
        QTest::newRow("Wine prefix") << "browseWinePrefix" << "p" << S(strings::kWinePrefixFound) << true;
        // clang-format on
    }
    void eachOptionsBrowserTellsWhetherTheFolderPasses()
    {
        QFETCH(QString, browse);
        QFETCH(QString, folder);
        QFETCH(QString, status);
        QFETCH(bool, passes);
        TestTree tree;
        tree.Write("k/Korvane.CS", "");
        tree.Write("k/tribes.exe", "not a program");
        tree.Write("t/TRIBES.EXE", "MZ\x90");
        tree.MakeFolder("f/tribes.exe");
        tree.Write("p/system.reg", "");
        tree.MakeFolder("p/drive_c");
        COptionsDlg dlg;

        ModalScript script;
        script.Press(browse)
            .Then("FolderBrowserDialog",
                  [&](QWidget* active) {
                      auto* browser = static_cast<FolderBrowserDialog*>(active);
                      QVERIFY(browser->SelectFolder(tree.QPath(folder.toStdString())));
                      QCOMPARE(browser->StatusText(), status);
                      QCOMPARE(browser->IsOkEnabled(), passes);
                      browser->reject();
                  })
            .Press("cancel");
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(script.Finished());
    }

    // The field of the updater's public keys shows the ID of each key as the player types, as
    // minisign printed it when the key was made, and what is no key keeps the dialog open, the
    // setting unchanged. Which texts are keys is tst_Minisign's concern.
    void thePublicKeysFieldShowsEachKeysIdAndRefusesWhatIsNoKey_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved"); // null: OK is refused
        const QString key = KeyLine("key.pub");
        const auto notAKey = [](const QString& text) {
            return S(strings::kOptionsNotAKey)
                .arg(QString::fromStdString(MinisignKey::ListFrom(text.toStdString()).reason()));
        };
        // clang-format off
        QTest::newRow("none") << "  " << S(strings::kOptionsNoKey) << "";
        QTest::newRow("one key, blanks around") << " " + key + "  " << S(strings::kOptionsKeyId).arg(CommentedId("key.pub")) << key;
        QTest::newRow("a key cut short") << key.chopped(4) << notAKey(key.chopped(4)) << QString();
        // clang-format on
    }

    void thePublicKeysFieldShowsEachKeysIdAndRefusesWhatIsNoKey()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        Manager m;
        const std::string pinned = KeyLine("other.pub").toStdString();
        m.profile.WriteProfileString(profile::kUpdater, profile::kPublicKey, pinned);
        QVERIFY(m.Show());
        QString opened;
        QString label;
        bool stayedOpen = false;
        ModalScript script;
        script.Then("COptionsDlg", [&](QWidget* active) {
            auto* ids = active->findChild<QLabel*>("keyIds");
            opened = ids->text();
            Retype(active->findChild<QLineEdit*>("publicKeys"), typed);
            label = ids->text();
            PushButton(active, "ok")->click();
            stayedOpen = active->isVisible();
            if (stayedOpen)
                PushButton(active, "cancel")->click();
        });
        if (saved.isNull())
            script.AnswerMessage();
        m.Command(strings::kMenuOptionsCommand);
        QVERIFY(script.Finished());
        QCOMPARE(opened, S(strings::kOptionsKeyId).arg(CommentedId("other.pub")));
        QCOMPARE(label, shown);
        QCOMPARE(stayedOpen, saved.isNull());
        QCOMPARE(m.profile.GetProfileString(profile::kUpdater, profile::kPublicKey),
                 saved.isNull() ? pinned : saved.toStdString());
        if (saved.isNull())
            QCOMPARE(script.Messages(), QStringList{WarningBox::withReason(
                                            S(strings::kOptionsKeysRefused), shown.toStdString())});
    }

    // Every control in each window has a name of its own as the accessibility layer reports it
    // to a screen reader: not empty, not its value, and not shared with another control (such as
    // the title of its group). The walk goes through the accessible objects, as a screen reader
    // does, so it also meets parts a widget adds on its own (a field's clear button).
    void aScreenReaderNamesEveryControlOnce()
    {
        Manager m;
        m.Plugins("Cat/Alpha+");
        QVERIFY(m.Show());
        m.dlg.findChild<QLineEdit*>("filter")->setText("a"); // its clear button shows
        CPluginInfo plugin;
        plugin.m_strFileName = "alpha";
        plugin.m_strCategory = "Weapon";
        const auto updates = testsupport::ListOf(
            testsupport::MakeUpdate("Alpha", "storage\\", "", {{"alpha.cs", "", 1}}));
        auto editor = std::make_unique<CDescEditDlg>();
        editor->SetFromRecord(plugin);
        const std::unique_ptr<QDialog> dialogs[] = {
            std::make_unique<COptionsDlg>(),
            std::move(editor),
            std::make_unique<CSaveConfigDlg>(),
            std::make_unique<CExecuteDlg>(m.profile, false),
            std::make_unique<FolderBrowserDialog>("Pick:", "", m.files.QPath("k"), std::nullopt),
            std::make_unique<CUpdaterDlg>(std::make_shared<CUpdateList>(), m.files.Folder("k/")),
            std::make_unique<CAboutDlg>(),
            std::make_unique<SettleCopiesDialog>(settle::Copies{"alpha.cs"}, nullptr),
            std::make_unique<UpdateInfoDialog>(
                UpdatePreview::Of(*updates, 0, m.files.Folder("k/"))),
            std::make_unique<ClashesDialog>(InUseFunctions(functionclashes::InUse{
                {},
                {{"f",
                  {{"a", "", Path("plugins\\a.cs"), 1}, {"b", "", Path("plugins\\b.cs"), 1}}}}}))};
        const QList<QAccessible::Role> controls{
            QAccessible::PushButton, QAccessible::CheckBox,      QAccessible::RadioButton,
            QAccessible::ComboBox,   QAccessible::EditableText,  QAccessible::List,
            QAccessible::Tree,       QAccessible::Table,         QAccessible::SpinBox,
            QAccessible::ButtonMenu, QAccessible::ButtonDropDown};
        QStringList unnamed;
        const auto check = [&](QDialog* dialog) {
            dialog->show();
            QStringList names;
            // The field of an editable combo box goes by the box's name.
            std::function<void(QAccessibleInterface*, bool)> walk =
                [&](QAccessibleInterface* object, bool inBox) {
                    const bool shown = !object->state().invisible;
                    if (shown && controls.contains(object->role())) {
                        const QString name = object->text(QAccessible::Name);
                        const QString value = object->text(QAccessible::Value);
                        if (name.isEmpty() || (names.contains(name) && !inBox) ||
                            (object->role() == QAccessible::ComboBox && name == value))
                            unnamed << dialog->metaObject()->className() +
                                           QString(": '%1' %2")
                                               .arg(name, object->object()
                                                              ? object->object()->objectName()
                                                              : QString());
                        names << name;
                    }
                    // A list's items and a menu's entries are named by what they show.
                    if (object->role() == QAccessible::MenuBar || !shown)
                        return;
                    for (int i = 0; i < object->childCount(); ++i)
                        walk(object->child(i), object->role() == QAccessible::ComboBox);
                };
            walk(QAccessible::queryAccessibleInterface(dialog), false);
        };
        check(&m.dlg);
        for (const auto& dialog : dialogs)
            check(dialog.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Of plug-ins that clash with none the Clashes dialog says so, and names the scripts that
    // could not be read.
    void theClashesDialogSaysWhenNothingClashesAndWhatCouldNotBeRead()
    {
        functionclashes::InUse read;
        read.unreadable = korvane::Status::Failure("/k/plugins/a.cs: Input/output error");
        ClashesDialog dialog{InUseFunctions(std::move(read))};
        dialog.show();
        QCOMPARE(dialog.findChild<QLabel*>("heading")->text(), S(strings::kClashesNone));
        QVERIFY(!dialog.findChild<QTreeWidget*>("clashes")->isVisible());
        const auto* why = dialog.findChild<QLabel*>("unreadable");
        QVERIFY(why->isVisible());
        QCOMPARE(why->text(),
                 S(strings::kClashesUnreadable) + "\n/k/plugins/a.cs: Input/output error");
    }

    // A file's bidirectional control shows written out, as in the main window: "photo" RLO
    // "gnp.cs" would otherwise read as "photosc.png".
    void theFilesToSettleShowTheBidirectionalControlsTheyHold()
    {
        const SettleCopiesDialog dialog(settle::Copies{"photo\xe2\x80\xaegnp.cs"}, nullptr);
        QCOMPARE(dialog.findChild<QListWidget*>("files")->item(0)->text(),
                 QStringLiteral("plugins\\photo\\u202Egnp.cs"));
    }

    // The editor shows a single-byte file's texts as their characters and gives back the
    // untouched ones as they were stored. It takes any category.
    void editorKeepsUntouchedTextsByteForByte()
    {
        TestTree tree;
        tree.Write("plasma.desc.txt",
                   "Name=Plasma \xe0 gogo\r\nAuthor=Me\r\none\r\r\ntwo\xa0three");
        CPluginInfo plugin;
        plugin.ReadDescription(tree.Folder(), "plasma");
        CDescEditDlg dlg;
        dlg.SetFromRecord(plugin);
        QString shown;
        const auto user = [&] {
            auto* description = dlg.findChild<QPlainTextEdit*>("description");
            shown = dlg.findChild<QLineEdit*>("name")->text() + '|' + description->toPlainText();
            Retype(dlg.findChild<QLineEdit*>("author"), QString::fromUtf8("Zoë"));
            Retype(dlg.findChild<QComboBox*>("category")->lineEdit(), "Tools");
            QTest::keyClick(description, Qt::Key_Return); // presses OK
        };
        QTimer::singleShot(0, &dlg, user); // the user acts on the dialog once it shows
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(shown, QString::fromUtf8("Plasma à gogo|one\ntwo three"));
        const auto edited = dlg.GetEditedFields(plugin);
        QCOMPARE(QByteArray::fromStdString(edited.name + '|' + edited.category + '|' +
                                           edited.author + '|' + edited.description),
                 QByteArray("Plasma \xe0 gogo|Tools|Zo\xeb|one\r\ntwo\xa0three"));
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_Dialogs.moc"
