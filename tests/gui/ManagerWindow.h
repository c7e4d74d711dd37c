#pragma once

#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/mainwindow/CManagerDlg.h"
#include "res/Strings.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace korvane::managertest {

// The main window on a Korvane folder "k/" and a Tribes folder "t/", named in a scratch settings
// file unless told otherwise, with its controls driven as a user would drive them.
struct Manager
{
    TestTree files;
    SettingsProfile profile = SettingsProfile::AtFile(files.QPath("settings.ini"));
    mainwindow::CManagerDlg dlg{profile};
    QTreeView* tree = dlg.findChild<QTreeView*>("tree");
    QListView* list = dlg.findChild<QListView*>("list");
    QPushButton* use = dlg.findChild<QPushButton*>("use");
    QPushButton* unuse = dlg.findChild<QPushButton*>("unuse");
    QLineEdit* name = dlg.findChild<QLineEdit*>("name");

    explicit Manager(bool setFolders = true)
    {
        files.Write("k/korvane.cs", "");
        files.MakeFolder("k/plugins");
        files.Write("t/tribes.exe", "MZ");
        if (setFolders) {
            profile.WriteProfileString(profile::kDirectories, profile::kKorvane, files.Path("k/"));
            profile.WriteProfileString(profile::kDirectories, profile::kTribes, files.Path("t/"));
        }
    }
    void Plugin(const std::string& rel, const std::string& name, const std::string& category,
                bool inUse = false) const
    {
        files.Write("k/storage/" + rel + ".cs", "// " + name);
        files.Write("k/storage/" + rel + ".desc.txt", "Name=" + name + "\r\nCategory=" + category);
        if (inUse)
            files.Write("k/plugins/" + rel + ".cs", "// " + name); // storage's copy
    }
    // Plug-ins as "Category/Name", "+" when in use; the key is the name in lower case.
    void Plugins(const QString& listing) const
    {
        for (QString plugin : listing.split(' ')) {
            const bool inUse = plugin.endsWith('+');
            plugin.remove('+');
            const QString name = plugin.section('/', 1);
            Plugin(name.toLower().toStdString(), name.toStdString(),
                   plugin.section('/', 0, 0).toStdString(), inUse);
        }
    }

    bool Show()
    {
        dlg.show();
        return QTest::qWaitForWindowExposed(&dlg);
    }
    // The tree's row of that text, a category's or a plug-in's, as the tree shows it.
    QModelIndex Item(const QString& text) const
    {
        const QAbstractItemModel* model = tree->model();
        return model
            ->match(model->index(0, 0), Qt::DisplayRole, text, 1,
                    Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    }
    QModelIndex Entry(const QString& text) const
    {
        const QAbstractItemModel* model = list->model();
        return model->match(model->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly)
            .value(0);
    }
    bool Expanded(const QString& text) const { return tree->isExpanded(Item(text)); }
    void Click(const QString& text, Qt::MouseButton button = Qt::LeftButton) const
    {
        tree->scrollTo(Item(text));
        QTest::mouseClick(tree->viewport(), button, {}, tree->visualRect(Item(text)).center());
    }
    void ClickEntry(const QString& text, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(list->viewport(), button, {}, list->visualRect(Entry(text)).center());
    }
    QStringList Entries() const
    {
        QStringList texts;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts << list->model()->index(row, 0).data().toString();
        return texts;
    }
    // What the window shows of the selection: tree's current item, selected entry, panel, and
    // whether ">>" and "<<" are on.
    QString State() const
    {
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        return QStringList{tree->currentIndex().data().toString(),
                           selected.isEmpty() ? QString() : selected.first().data().toString(),
                           name->text(), use->isEnabled() ? ">>" : "",
                           unuse->isEnabled() ? "<<" : ""}
            .join('|');
    }
    // "Category: plug-in, plug-in" for each category in view, in the order shown.
    QStringList Tree() const
    {
        const QAbstractItemModel* model = tree->model();
        QStringList lines;
        for (int i = 0; i < model->rowCount(); ++i) {
            const QModelIndex category = model->index(i, 0);
            QStringList children;
            for (int c = 0; c < model->rowCount(category); ++c)
                children << model->index(c, 0, category).data().toString();
            lines << category.data().toString() + ": " + children.join(", ");
        }
        return lines;
    }
    void Command(const QString& text) const
    {
        for (QMenu* menu : dlg.findChildren<QMenu*>()) {
            for (QAction* action : menu->actions()) {
                if (action->text() == text)
                    return action->trigger();
            }
        }
        QFAIL(qPrintable(text));
    }
    void Command(const char* text) const { Command(S(text)); }
};

// The text of the window's label of that object name.
inline QString Label(const Manager& m, const char* name)
{
    return m.dlg.findChild<QLabel*>(name)->text();
}

// A row's icon as the tree or the list draws it.
inline QImage Picture(const QModelIndex& row, QIcon::Mode mode = QIcon::Normal)
{
    return row.data(Qt::DecorationRole).value<QIcon>().pixmap(16, mode).toImage();
}

// A row's tool tip and its description as a screen reader reads it.
inline QString ToolTip(const QModelIndex& row)
{
    return row.data(Qt::ToolTipRole).toString();
}
inline QString Described(const QModelIndex& row)
{
    return row.data(Qt::AccessibleDescriptionRole).toString();
}

// Step for a file dialog: take this file.
inline ModalScript::Step ChooseFile(const QString& file)
{
    return [file](QWidget* active) {
        auto* name = active->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
    };
}

} // namespace korvane::managertest
