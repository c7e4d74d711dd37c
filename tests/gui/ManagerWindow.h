#pragma once

#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/mainwindow/CManagerDlg.h"
#include "res/Strings.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace korvane::managertest {

// The main window on a Korvane folder "k/" and a Tribes folder "t/", named in a scratch settings
// file unless told otherwise, with its controls driven as a user would drive them.
struct Manager
{
    TestTree files;
    SettingsProfile profile = SettingsProfile::AtFile(files.QPath("settings.ini"));
    mainwindow::CManagerDlg dlg{profile};
    QTreeWidget* tree = dlg.findChild<QTreeWidget*>("tree");
    QListWidget* list = dlg.findChild<QListWidget*>("list");
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
    QTreeWidgetItem* Item(const QString& text) const
    {
        return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }
    void Click(const QString& text, Qt::MouseButton button = Qt::LeftButton) const
    {
        tree->scrollToItem(Item(text));
        QTest::mouseClick(tree->viewport(), button, {}, tree->visualItemRect(Item(text)).center());
    }
    void ClickEntry(const QString& text, Qt::MouseButton button = Qt::LeftButton) const
    {
        const auto* entry = list->findItems(text, Qt::MatchExactly).value(0);
        QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(entry).center());
    }
    QStringList Entries() const
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    // What the window shows of the selection: tree's current item, selected entry, panel, and
    // whether ">>" and "<<" are on.
    QString State() const
    {
        const auto* current = tree->currentItem();
        const auto selected = list->selectedItems();
        return QStringList{current ? current->text(0) : QString(),
                           selected.isEmpty() ? QString() : selected.first()->text(), name->text(),
                           use->isEnabled() ? ">>" : "", unuse->isEnabled() ? "<<" : ""}
            .join('|');
    }
    // "Category: plug-in, plug-in" for each category in view, in the order shown.
    QStringList Tree() const
    {
        QStringList lines;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* category = tree->topLevelItem(i);
            if (category->isHidden())
                continue;
            QStringList children;
            for (int c = 0; c < category->childCount(); ++c)
                children << category->child(c)->text(0);
            lines << category->text(0) + ": " + children.join(", ");
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

// A tree item's icon as the tree draws it.
inline QImage Picture(const QTreeWidgetItem* item, QIcon::Mode mode = QIcon::Normal)
{
    return item->icon(0).pixmap(16, mode).toImage();
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
