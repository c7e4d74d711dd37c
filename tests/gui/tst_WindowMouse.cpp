#include "core/catalogue/CPluginInfo.h"
#include "gui/PluginDragDrop.h"
#include "ManagerWindow.h"

#include <QMimeData>
#include <QScreen>
#include <QStackedWidget>

using namespace managertest;

namespace {

// What a drag of the plug-in "name" (key: name in lower case) from a control carries.
QMimeData* Carried(const QString& name, PluginDragDrop::Origin origin)
{
    CPluginInfo plugin;
    plugin.m_strFileName = name.toLower().toStdString();
    return PluginDragDrop::MimeData(plugin, origin);
}

// Drops data on a control's viewport as the window system would; whether it was taken.
bool Drop(QWidget* viewport, QMimeData* data)
{
    const QPointF centre = QRectF(viewport->rect()).center();
    QDragEnterEvent enter(centre.toPoint(), Qt::MoveAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &enter);
    QDropEvent drop(centre, Qt::MoveAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

// The events of a double-click as the window system sends them.
void DoubleClick(QWidget* viewport, const QPoint& at)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

} // namespace

class tst_WindowMouse : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickAndDragMoveLikeTheButtons_data()
    {
        // On "Cat/Alpha Cat/Beta+": "dclick X" double-clicks the tree item, "dclick entry X" the
        // list entry; "drag X from tree|list to tree|list" drops what that drag carries.
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("entries");
        QTest::newRow("tree item: >>") << "dclick Alpha" << true << "Alpha Beta";
        QTest::newRow("tree item in use") << "dclick Beta" << true << "Beta";
        QTest::newRow("category opens") << "dclick Cat" << true << "Beta";
        QTest::newRow("entry: <<") << "dclick entry Beta" << true << "";
        QTest::newRow("tree to list") << "drag Alpha from tree to list" << true << "Alpha Beta";
        QTest::newRow("list to tree") << "drag Beta from list to tree" << true << "";
        QTest::newRow("back on the tree") << "drag Alpha from tree to tree" << false << "Beta";
        QTest::newRow("back on the list") << "drag Beta from list to list" << false << "Beta";
        QTest::newRow("another program's text") << "text Alpha to list" << false << "Beta";
        QTest::newRow("another window's drag") << "other Alpha to list" << false << "Beta";
    }
    void doubleClickAndDragMoveLikeTheButtons()
    {
        QFETCH(QString, action);
        Manager m;
        m.Plugins("Cat/Alpha Cat/Beta+");
        QVERIFY(m.Show());
        const QStringList words = action.split(' ');
        const QString name = words.at(1) == "entry" ? words.at(2) : words.at(1);
        bool taken = true;
        if (words.first() == "dclick" && words.at(1) == "entry") {
            const auto* entry = m.list->findItems(name, Qt::MatchExactly).value(0);
            DoubleClick(m.list->viewport(), m.list->visualItemRect(entry).center());
        } else if (words.first() == "dclick") {
            m.tree->expandAll();
            const bool wasExpanded = m.Item(name)->isExpanded();
            DoubleClick(m.tree->viewport(), m.tree->visualItemRect(m.Item(name)).center());
            if (name == "Cat")
                QCOMPARE(m.Item(name)->isExpanded(), !wasExpanded);
        } else {
            const auto from = action.contains("from list") ? PluginDragDrop::Origin::List
                                                           : PluginDragDrop::Origin::Tree;
            std::unique_ptr<QMimeData> data(Carried(name, from));
            if (words.first() == "text") {
                data = std::make_unique<QMimeData>();
                data->setText(name);
            } else if (words.first() == "other") {
                const QString type = data->formats().first();
                const QByteArray payload = data->data(type);
                data->setData(type, "1" + payload.mid(payload.indexOf('\n')));
            }
            const bool onList = action.endsWith("list");
            taken = Drop(onList ? m.list->viewport() : m.tree->viewport(), data.get());
        }
        QTEST(taken, "taken");
        QTEST(m.Entries().join(' '), "entries");
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
