#include "core/updater/CUpdateList.h"
#include "gui/CAboutDlg.h"
#include "gui/CDescEditDlg.h"
#include "gui/CExecuteDlg.h"
#include "gui/CFolderBrowserDlg.h"
#include "gui/COptionsDlg.h"
#include "gui/CSaveConfigDlg.h"
#include "gui/CUpdaterDlg.h"
#include "ManagerWindow.h"

#include <QAccessible>
#include <QDialogButtonBox>

using namespace managertest;

class tst_AccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void aScreenReaderNamesEveryControlOnce_data()
    {
        QTest::addColumn<QString>("dialog");
        for (const char* dialog :
             {"main window", "options", "description editor", "save configuration", "execute",
              "folder browser", "updater", "about"})
            QTest::newRow(dialog) << dialog;
    }
    // Every control the keyboard reaches has a name of its own, as the accessibility bus reports
    // it: not empty, and not one it shares with another control (such as its group's title).
    void aScreenReaderNamesEveryControlOnce()
    {
        QFETCH(QString, dialog);
        Manager m;
        m.Plugins("Cat/Alpha+");
        std::unique_ptr<QDialog> owned;
        QDialog* shown = &m.dlg;
        if (dialog == "options")
            owned = std::make_unique<COptionsDlg>();
        else if (dialog == "description editor")
            owned = std::make_unique<CDescEditDlg>();
        else if (dialog == "save configuration")
            owned = std::make_unique<CSaveConfigDlg>();
        else if (dialog == "execute")
            owned = std::make_unique<CExecuteDlg>(m.profile, false);
        else if (dialog == "folder browser")
            owned = std::make_unique<CFolderBrowserDlg>("Pick:", QString(), m.files.QPath("k"),
                                                        std::nullopt);
        else if (dialog == "updater")
            owned =
                std::make_unique<CUpdaterDlg>(std::make_shared<CUpdateList>(), m.files.Path("k/"));
        else if (dialog == "about")
            owned = std::make_unique<CAboutDlg>();
        if (owned)
            shown = owned.get();
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));

        QStringList names;
        QStringList unnamed;
        for (QWidget* widget : shown->findChildren<QWidget*>()) {
            // Parts that pass the focus on (an editable combo box's line edit, a button box)
            // are named by what they pass it to.
            if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(shown) ||
                widget->focusProxy() || qobject_cast<QDialogButtonBox*>(widget))
                continue;
            const QString name =
                QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            if (name.isEmpty() || names.contains(name))
                unnamed << QString::fromLatin1(widget->metaObject()->className()) + " '" + name +
                               "' " + widget->objectName();
            names << name;
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QVERIFY(!names.isEmpty());
    }
};

QTEST_MAIN(tst_AccessibleNames)
#include "tst_AccessibleNames.moc"
