#include "core/catalogue/CPluginInfo.h"
#include "gui/PluginDragDrop.h"
#include "ManagerWindow.h"

#include <QMimeData>
#include <QScreen>
#include <QStackedWidget>

using namespace korvane;

using namespace managertest;

namespace {

// The events of a double-click as the window system sends them.
void DoubleClick(QWidget* viewport, const QPoint& at)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

// Drags data over a control's viewport and drops it there, as the window system would.
void Drop(QWidget* viewport, QMimeData* data)
{
    QDragEnterEvent enter(viewport->rect().center(), Qt::MoveAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &enter);
    QDropEvent drop(viewport->rect().center(), Qt::MoveAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &drop);
    QCoreApplication::processEvents();
}

} // namespace

class tst_WindowMouse : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickAndDragMoveLikeTheButtons_data()
    {
        // On "Cat/Alpha Cat/Beta+": "dclick X" double-clicks the tree item or list entry X;
        // "X tree|list tree|list" drops a drag of X from the first control on the second; "text"
        // and "other" drop text or another process's drag instead.
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("tree item: >>") << "dclick Alpha" << QStringList{"Alpha", "Beta"};
        QTest::newRow("tree item in use") << "dclick Beta" << QStringList{"Beta"};
        QTest::newRow("category opens") << "dclick Cat" << QStringList{"Beta"};
        QTest::newRow("entry: <<") << "dclick entry Beta" << QStringList{};
        QTest::newRow("tree to list") << "Alpha tree list" << QStringList{"Alpha", "Beta"};
        QTest::newRow("list to tree") << "Beta list tree" << QStringList{};
        QTest::newRow("back on the tree") << "Beta tree tree" << QStringList{"Beta"};
        QTest::newRow("back on the list") << "Alpha list list" << QStringList{"Beta"};
        QTest::newRow("another program's text") << "text Alpha tree list" << QStringList{"Beta"};
        QTest::newRow("another window's drag") << "other Alpha tree list" << QStringList{"Beta"};
    }
    void doubleClickAndDragMoveLikeTheButtons()
    {
        QFETCH(QString, action);
        Manager m;
        m.Plugins("Cat/Alpha Cat/Beta+");
        QVERIFY(m.Show());
        m.tree->expandAll();
        const QStringList words = action.split(' ');
        if (words.first() == "dclick") {
            const QString name = words.last();
            if (words.at(1) == "entry") {
                const auto* entry = m.list->findItems(name, Qt::MatchExactly).value(0);
                DoubleClick(m.list->viewport(), m.list->visualItemRect(entry).center());
            } else {
                DoubleClick(m.tree->viewport(), m.tree->visualItemRect(m.Item(name)).center());
            }
            QCOMPARE(m.Item("Cat")->isExpanded(), name != "Cat");
        } else {
            const QStringList drag = words.mid(words.size() - 3); // name, from, to
            CPluginInfo plugin;
            plugin.m_strFileName = drag[0].toLower().toStdString();
            std::unique_ptr<QMimeData> data(
                PluginDragDrop::MimeData(plugin, drag[1] == "tree" ? PluginDragDrop::Origin::Tree
                                                                   : PluginDragDrop::Origin::List));
            const QString type = data->formats().first();
            const QByteArray payload = data->data(type);
            if (words.first() == "other")
                data->setData(type, "1" + payload.mid(payload.indexOf('\n')));
            if (words.first() == "text") {
                data = std::make_unique<QMimeData>();
                data->setText(drag[0]);
            }
            Drop(drag[2] == "list" ? m.list->viewport() : m.tree->viewport(), data.get());
        }
        QTEST(m.Entries(), "entries");
        QCOMPARE(m.files.Exists("k/plugins/alpha.cs"), m.Entries().contains("Alpha"));
        QCOMPARE(m.files.Exists("k/plugins/beta.cs"), m.Entries().contains("Beta"));
    }

    void withoutAKorvaneFolderTheWindowPointsToOptions()
    {
        Manager m(false);
        m.Plugins("Cat/Alpha");
        ModalScript cancelled;
        cancelled.Press("cancel");
        QVERIFY(m.Show());
        QVERIFY(cancelled.Finished());
        auto* stack = m.dlg.findChild<QStackedWidget*>();
        QCOMPARE(stack->currentWidget()->objectName(), QString("firstRunHint"));

        ModalScript chosen;
        chosen.Press("browseTribes")
            .Browse(m.files.QPath("t"))
            .Press("browseKorvane")
            .Browse(m.files.QPath("k"))
            .Press("ok")
            .AnswerMessage();
        m.dlg.findChild<QPushButton*>("hintOptions")->click();
        QVERIFY(chosen.Finished());
        QCOMPARE(stack->currentWidget(), m.tree);
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha"});
    }

    void theWindowOpensWhereItWasClosed_data()
    {
        QTest::addColumn<QPoint>("closedAt");
        QTest::addColumn<bool>("samePlace");
        QTest::newRow("on the screen") << QPoint(40, 30) << true;
        QTest::newRow("on a screen that is gone") << QPoint(30000, 20000) << false;
    }
    void theWindowOpensWhereItWasClosed()
    {
        QFETCH(QPoint, closedAt);
        Manager m;
        QVERIFY(m.Show());
        m.dlg.setGeometry(QRect(closedAt, QSize(600, 470)));
        m.dlg.close();

        CManagerDlg again(m.profile);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.size(), QSize(600, 470));
        QFETCH(bool, samePlace);
        QCOMPARE(again.geometry().topLeft() == closedAt, samePlace);
        QVERIFY(again.screen()->availableGeometry().intersects(again.frameGeometry()));
    }
};

QTEST_MAIN(tst_WindowMouse)
#include "tst_WindowMouse.moc"
