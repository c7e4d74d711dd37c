#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/TextEncoding.h"
#include "gui/CDescEditDlg.h"
#include "support/FileSizeLimit.h"
#include "support/TestTree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using descriptionfile::Fields;

class tst_DescriptionEditing : public QObject
{
    Q_OBJECT

private:
    static QStringList Texts(const CPluginInfo& plugin)
    {
        return {QString::fromStdString(plugin.m_strName),
                QString::fromStdString(plugin.m_strCategory),
                QString::fromStdString(plugin.m_strAuthor),
                QString::fromStdString(plugin.m_strDescription)};
    }
    static CPluginInfo Blaster()
    {
        CPluginInfo plugin("Old Name", "blaster", "Old Category");
        plugin.m_strSubdirectory = "weapons\\";
        return plugin;
    }

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
    void savedFieldsComeBackFromAScan_data()
    {
        QTest::addColumn<QStringList>("fields"); // name, category, author, description
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("record");
        // clang-format off
        QTest::newRow("every field") << QStringList{"Plasma", "Weapon", "Me", "one\ntwo"} << QByteArray("Name=Plasma\r\nCategory=Weapon\r\nAuthor=Me\r\none\r\ntwo") << QStringList{"Plasma", "Weapon", "Me", "one\ntwo"};
        QTest::newRow("nothing") << QStringList{"", "", "", ""} << QByteArray() << QStringList{"blaster", "Unknown", "Unknown", "No Description"};
        QTest::newRow("CR LF inside the description") << QStringList{"", "", "", "a\r\nb"} << QByteArray("a\r\r\nb") << QStringList{"blaster", "Unknown", "Unknown", "a\r\nb"};
        QTest::newRow("values holding equals") << QStringList{"a=b", "=", "x=", "t"} << QByteArray("Name=a=b\r\nCategory==\r\nAuthor=x=\r\nt") << QStringList{"a=b", "=", "x=", "t"};
        QTest::newRow("name line inside the description") << QStringList{"Good", "", "", "intro\nName=Evil"} << QByteArray("Name=Good\r\nintro\r\nName=Evil") << QStringList{"Good", "Unknown", "Unknown", "intro\nName=Evil"};
        QTest::newRow("name line opening the description") << QStringList{"Good", "", "", "Name=Evil"} << QByteArray("Name=Good\r\n\r\nName=Evil") << QStringList{"Good", "Unknown", "Unknown", "\nName=Evil"};
        QTest::newRow("trailing empty line") << QStringList{"", "", "a", "abc\n"} << QByteArray("Author=a\r\nabc\r\n\r\n") << QStringList{"blaster", "Unknown", "a", "abc\n"};
        QTest::newRow("only an empty line") << QStringList{"", "", "", "\n"} << QByteArray("\r\n\r\n") << QStringList{"blaster", "Unknown", "Unknown", "\n"};
        QTest::newRow("line break in the name") << QStringList{"a\nb", "", "", ""} << QByteArray("Name=a b") << QStringList{"a b", "Unknown", "Unknown", "No Description"};
        // clang-format on
    }
    void savedFieldsComeBackFromAScan()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, record);
        TestTree tree;
        tree.Write("weapons/Blaster.DESC.TXT", "Name=Old\r\nthe file to replace");
        CPluginInfo plugin = Blaster();
        QVERIFY(
            descriptionfile::WriteDescription(tree.Root(), plugin,
                                              {fields[0].toStdString(), fields[1].toStdString(),
                                               fields[2].toStdString(), fields[3].toStdString()}));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons"))).entryList(QDir::Files),
                 QStringList{"Blaster.DESC.TXT"});
        QCOMPARE(QByteArray::fromStdString(tree.Read("weapons/Blaster.DESC.TXT")), bytes);
        QCOMPARE(Texts(plugin), record);
        CPluginInfo scanned;
        scanned.ReadDescription(tree.Path("weapons\\"), "blaster");
        QCOMPARE(Texts(scanned), record);
    }

    void failedWriteKeepsTheOldFileAndTheRecord()
    {
        TestTree tree;
        tree.Write("weapons/blaster.desc.txt", "Name=Old");
        CPluginInfo plugin = Blaster();
        const Fields edit{"New name longer than the limit", "", "", ""};
        {
            const FileSizeLimit limit(8);
            QVERIFY(!descriptionfile::WriteDescription(tree.Root(), plugin, edit));
        }
        QCOMPARE(Texts(plugin),
                 (QStringList{"Old Name", "Old Category", "Unknown", "No Description"}));
        QCOMPARE(tree.Read("weapons/blaster.desc.txt"), std::string("Name=Old"));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons")))
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{"blaster.desc.txt"});
    }

    void editedTextsKeepTheFilesEncoding_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("stored");
        // clang-format off
        QTest::newRow("untouched single-byte text") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Café") << QByteArray("Caf\xe9");
        QTest::newRow("edit in a single-byte file") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Cafés €") << QByteArray("Caf\xe9s \x80");
        QTest::newRow("another field is single-byte") << QByteArray("Plain") << QByteArray("\x93q\x94") << QString::fromUtf8("Piñata") << QByteArray("Pi\xf1" "ata");
        QTest::newRow("no Windows byte for it") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Ωmega") << QByteArray("\xce\xa9mega");
        QTest::newRow("edit in a UTF-8 file") << QByteArray("Caf\xc3\xa9") << QByteArray("x") << QString::fromUtf8("Cafés") << QByteArray("Caf\xc3\xa9s");
        QTest::newRow("edit of plain ASCII") << QByteArray("Cafe") << QByteArray("x") << QString::fromUtf8("Café") << QByteArray("Caf\xc3\xa9");
        // clang-format on
    }
    void editedTextsKeepTheFilesEncoding()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, description);
        QFETCH(QString, edited);
        QFETCH(QByteArray, stored);
        const Fields original{name.toStdString(), "Weapon", "Me", description.toStdString()};
        Fields edit = descriptionfile::ShownFields(original);
        edit.name = edited.toStdString();
        const Fields kept = descriptionfile::StoredEdits(original, edit);
        QCOMPARE(QByteArray::fromStdString(kept.name), stored);
        QCOMPARE(kept.description, original.description);
    }

    void windowsTextSurvivesDisplayAndBack()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string text(1, static_cast<char>(byte));
            QCOMPARE(textencoding::ToWindows1252(textencoding::ToUtf8(text)).value_or("-"), text);
        }
    }

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
