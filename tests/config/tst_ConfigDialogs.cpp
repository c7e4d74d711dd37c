#include "catalogue/CPluginInfo.h"
#include "catalogue/DescriptionFile.h"
#include "support/TestTree.h"
#include "ui/CDescEditDlg.h"
#include "ui/ConfigFileDialog.h"
#include "ui/CSaveConfigDlg.h"

#include <functional>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class tst_ConfigDialogs : public QObject
{
    Q_OBJECT

private:
    // Runs the dialog modally and lets the user act on it once it shows.
    static int Run(QDialog& dlg, std::function<void()> user)
    {
        QTimer::singleShot(0, &dlg, [user = std::move(user)] { user(); });
        return dlg.exec();
    }
    template <class T> static T* Field(QDialog& dlg, const char* name)
    {
        auto* field = dlg.findChild<T*>(name);
        if (!field)
            qFatal("no field %s", name);
        return field;
    }
    static void Retype(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar c : text) // as typed on a keyboard that has the character
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    static void Click(QDialog& dlg, QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
    }

    // A record read from a file an earlier editor wrote in single-byte Windows text.
    static CPluginInfo StoredPlasma(const TestTree& tree)
    {
        tree.Write("storage/plasma.cs", "");
        tree.Write(
            "storage/plasma.desc.txt",
            "Name=Plasma \xe0 gogo\r\nCategory=Weapon\r\nAuthor=Me\r\none\r\r\ntwo\xa0three");
        CPluginInfo plugin;
        plugin.ReadDescription(tree.Path("storage\\"), "plasma");
        return plugin;
    }

private slots:
    void editorShowsTheRecordAndKeepsUntouchedTextsByteForByte()
    {
        TestTree tree;
        CPluginInfo plugin = StoredPlasma(tree);
        CDescEditDlg dlg;
        dlg.SetFromRecord(plugin);
        QStringList shown;
        const int result = Run(dlg, [&] {
            shown << Field<QLineEdit>(dlg, "fileName")->text()
                  << Field<QLineEdit>(dlg, "name")->text()
                  << Field<QComboBox>(dlg, "category")->currentText()
                  << Field<QLineEdit>(dlg, "author")->text()
                  << Field<QPlainTextEdit>(dlg, "description")->toPlainText();
            shown << (Field<QLineEdit>(dlg, "fileName")->isReadOnly() ? "read-only" : "editable");
            Retype(Field<QLineEdit>(dlg, "author"), QString::fromUtf8("Zoë"));
            Click(dlg, QDialogButtonBox::Ok);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(shown, (QStringList{"plasma", QString::fromUtf8("Plasma à gogo"), "Weapon", "Me",
                                     QString::fromUtf8("one\ntwo three"), "read-only"}));

        QVERIFY(descriptionfile::WriteDescription(tree.Path("storage\\"), plugin,
                                                  dlg.GetEditedFields(plugin)));
        QCOMPARE(tree.Read("storage/plasma.desc.txt"),
                 std::string("Name=Plasma \xe0 gogo\r\nCategory=Weapon\r\nAuthor=Zo\xeb\r\n"
                             "one\r\r\ntwo\xa0three"));
        CPluginInfo scanned;
        scanned.ReadDescription(tree.Path("storage\\"), "plasma");
        QCOMPARE(scanned.m_strAuthor, plugin.m_strAuthor);
        QCOMPARE(scanned.m_strDescription, plugin.m_strDescription);
    }

    void typedDescriptionLinesComeBackFromAScan()
    {
        TestTree tree;
        CPluginInfo plugin = StoredPlasma(tree);
        CDescEditDlg dlg;
        dlg.SetFromRecord(plugin);
        const int result = Run(dlg, [&] {
            auto* description = Field<QPlainTextEdit>(dlg, "description");
            Retype(description, "Name=Typed");
            QTest::keyClick(description, Qt::Key_Return, Qt::ControlModifier);
            QTest::keyClicks(description, "second");
            QTest::keyClick(description, Qt::Key_Return); // presses OK
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dlg.m_strDescription, QString("Name=Typed\nsecond"));

        QVERIFY(descriptionfile::WriteDescription(tree.Path("storage\\"), plugin,
                                                  dlg.GetEditedFields(plugin)));
        CPluginInfo scanned;
        scanned.ReadDescription(tree.Path("storage\\"), "plasma");
        QCOMPARE(scanned.m_strName, std::string("Plasma \xe0 gogo"));
        QCOMPARE(scanned.m_strDescription, std::string("\nName=Typed\nsecond"));
        QCOMPARE(plugin.m_strDescription, scanned.m_strDescription);
    }

    void editorOffersTheStockCategoriesSortedAndTakesAnyOther()
    {
        CDescEditDlg dlg;
        dlg.m_strCategory = "Weapon";
        dlg.m_strName = "kept";
        QStringList items;
        const int result = Run(dlg, [&] {
            auto* category = Field<QComboBox>(dlg, "category");
            for (int i = 0; i < category->count(); ++i)
                items << category->itemText(i);
            Retype(category->lineEdit(), "Tools");
            QTest::keyClick(category->lineEdit(), Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(items, (QStringList{"Armor", "Deployable", "Miscellaneous", "Pack", "Vehicle",
                                     "Weapon"}));
        QCOMPARE(dlg.m_strCategory, QString("Tools"));
        QCOMPARE(dlg.m_strName, QString("kept"));
        QCOMPARE(dlg.windowTitle(), QString("Korvane Description Editor"));
        QStringList labels;
        for (const auto* label : dlg.findChildren<QLabel*>())
            labels << label->text();
        QCOMPARE(labels,
                 (QStringList{"&File Name:", "&Name:", "&Category:", "&Author:", "&Description:"}));
    }

    void cancelledEditorLeavesTheMembers()
    {
        CDescEditDlg dlg;
        dlg.m_strName = "before";
        const int result = Run(dlg, [&] {
            Retype(Field<QLineEdit>(dlg, "name"), "after");
            Click(dlg, QDialogButtonBox::Cancel);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(dlg.m_strName, QString("before"));
    }

    void saveDialogShowsAndReturnsItsTwoMembers()
    {
        CSaveConfigDlg dlg;
        dlg.m_strConfigName = "Old";
        QString shownName;
        bool shownChecked = true;
        const int result = Run(dlg, [&] {
            shownName = Field<QLineEdit>(dlg, "configName")->text();
            auto* store = Field<QCheckBox>(dlg, "storeDirectory");
            shownChecked = store->isChecked();
            Retype(Field<QLineEdit>(dlg, "configName"), "My setup");
            QTest::mouseClick(store, Qt::LeftButton, {}, QPoint(4, store->height() / 2));
            Click(dlg, QDialogButtonBox::Ok);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(shownName, QString("Old"));
        QVERIFY(!shownChecked);
        QCOMPARE(dlg.m_strConfigName, QString("My setup"));
        QVERIFY(dlg.m_bStoreDirectory);
        QCOMPARE(dlg.windowTitle(), QString("Save Configuration Options"));
        QCOMPARE(Field<QLabel>(dlg, "warning")->text(),
                 QString("WARNING: If you have two plugins with the same name, you must use Store "
                         "directory information. However, with this enabled, you will confuse the "
                         "program if you rename any stored directory names under your "
                         "korvane\\storage dir."));
    }

    void saveFileDialogAddsThePfgSuffix()
    {
        TestTree tree;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return; // the check below fails
            filters = dialog->nameFilters();
            dialog->setDirectory(QString::fromStdString(tree.Root()));
            dialog->selectFile("setup");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const QString file = configfiledialog::GetSaveFileName(nullptr);
        QCOMPARE(filters, (QStringList{"Plugin Config Files (*.pfg)", "All Files (*.*)"}));
        QCOMPARE(QFileInfo(file).fileName(), QString("setup.pfg"));
    }
};

QTEST_MAIN(tst_ConfigDialogs)
#include "tst_ConfigDialogs.moc"
