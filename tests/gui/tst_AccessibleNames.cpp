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

using namespace korvane;

using namespace managertest;

class tst_AccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    // Every control the keyboard reaches in each window has a name of its own as the
    // accessibility bus reports it: not empty, and not shared with another control (such as the
    // title of its group).
    void aScreenReaderNamesEveryControlOnce()
    {
        Manager m;
        m.Plugins("Cat/Alpha+");
        QVERIFY(m.Show());
        const std::unique_ptr<QDialog> dialogs[] = {
            std::make_unique<COptionsDlg>(),
            std::make_unique<CDescEditDlg>(),
            std::make_unique<CSaveConfigDlg>(),
            std::make_unique<CExecuteDlg>(m.profile, false),
            std::make_unique<CFolderBrowserDlg>("Pick:", "", m.files.QPath("k"), std::nullopt),
            std::make_unique<CUpdaterDlg>(std::make_shared<CUpdateList>(), m.files.Path("k/")),
            std::make_unique<CAboutDlg>()};
        QStringList unnamed;
        const auto check = [&unnamed](QDialog* dialog) {
            dialog->show();
            QStringList names;
            for (QWidget* widget : dialog->findChildren<QWidget*>()) {
                // Parts that pass the focus on (an editable combo box's line edit, a button
                // box) go by the name of what they pass it to.
                if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(dialog) ||
                    widget->focusProxy() || qobject_cast<QDialogButtonBox*>(widget))
                    continue;
                const QString name =
                    QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
                if (name.isEmpty() || names.contains(name))
                    unnamed << dialog->metaObject()->className() +
                                   QString(": '%1' %2").arg(name, widget->objectName());
                names << name;
            }
        };
        check(&m.dlg);
        for (const auto& dialog : dialogs)
            check(dialog.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }
};

QTEST_MAIN(tst_AccessibleNames)
#include "tst_AccessibleNames.moc"
