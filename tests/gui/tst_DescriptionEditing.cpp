#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/DescriptionFile.h"
#include "gui/CDescEditDlg.h"
#include "support/TestTree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace korvane;

using descriptionfile::Fields;

class tst_DescriptionEditing : public QObject
{
    Q_OBJECT

private:
    // Runs the dialog modally; the user acts on it once it shows. True when it ended with OK.
    template <class User> static bool Accepted(QDialog& dlg, User user)
    {
        QTimer::singleShot(0, &dlg, user);
        return dlg.exec() == QDialog::Accepted;
    }
    static void Retype(QWidget* field, const QString& text)
    {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text) // as typed on a keyboard that has the character
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    // The editor shows a single-byte file's texts as their characters and gives back the
    // untouched ones as they were stored.
    void editorKeepsUntouchedTextsByteForByte()
    {
        TestTree tree;
        tree.Write("plasma.desc.txt",
                   "Name=Plasma \xe0 gogo\r\nAuthor=Me\r\none\r\r\ntwo\xa0three");
        CPluginInfo plugin;
        plugin.ReadDescription(tree.Root(), "plasma");
        CDescEditDlg dlg;
        dlg.SetFromRecord(plugin);
        QString shown;
        const auto user = [&] {
            shown = dlg.findChild<QLineEdit*>("name")->text() + '|' +
                    dlg.findChild<QPlainTextEdit*>("description")->toPlainText();
            Retype(dlg.findChild<QLineEdit*>("author"), QString::fromUtf8("Zoë"));
            QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        };
        QVERIFY(Accepted(dlg, user));
        QCOMPARE(shown, QString::fromUtf8("Plasma à gogo|one\ntwo three"));
        const Fields edited = dlg.GetEditedFields(plugin);
        QCOMPARE(
            QByteArray::fromStdString(edited.name + '|' + edited.author + '|' + edited.description),
            QByteArray("Plasma \xe0 gogo|Zo\xeb|one\r\ntwo\xa0three"));
    }

    void editorTakesAnyCategoryAndEnterInTheDescriptionPressesOk()
    {
        CDescEditDlg dlg;
        dlg.m_strCategory = "Weapon";
        QStringList items;
        const auto user = [&] {
            auto* category = dlg.findChild<QComboBox*>("category");
            for (int i = 0; i < category->count(); ++i)
                items << category->itemText(i);
            Retype(category->lineEdit(), "Tools");
            auto* description = dlg.findChild<QPlainTextEdit*>("description");
            QTest::keyClicks(description, "one");
            QTest::keyClick(description, Qt::Key_Return, Qt::ControlModifier); // a new line
            QTest::keyClicks(description, "two");
            QTest::keyClick(description, Qt::Key_Return);
        };
        QVERIFY(Accepted(dlg, user));
        QCOMPARE(items, (QStringList{"Armor", "Deployable", "Miscellaneous", "Pack", "Vehicle",
                                     "Weapon"}));
        QCOMPARE(dlg.m_strCategory, QString("Tools"));
        QCOMPARE(dlg.m_strDescription, QString("one\ntwo"));
    }
};

QTEST_MAIN(tst_DescriptionEditing)
#include "tst_DescriptionEditing.moc"
