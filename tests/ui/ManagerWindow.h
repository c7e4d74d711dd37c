#pragma once

// The main window under test: a Korvane and a Tribes folder with a settings file naming them,
// and the window's controls driven as a user would drive them.

#include "catalogue/CPluginList.h"
#include "ModalScript.h"
#include "platform/CProfile.h"
#include "platform/ProfileEntries.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "ui/CFolderBrowserDlg.h"
#include "ui/CManagerDlg.h"
#include "ui/COptionsDlg.h"

#include <filesystem>
#include <QCheckBox>
#include <QImageWriter>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace managertest {

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}

inline std::string Description(const std::string& name, const std::string& category)
{
    return "Name=" + name + "\r\nCategory=" + category + "\r\nAuthor=Tester\r\nWhat " + name +
           " does.\r\n";
}

inline void WriteIcon(const TestTree& tree, const std::string& rel, QColor colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    tree.MakeFolder(std::filesystem::path(rel).parent_path().string());
    QVERIFY(QImageWriter(Q(tree.Path(rel)), "ico").write(image));
}

// A Korvane folder "k/" and a Tribes folder "t/" with a settings file naming both.
struct Folders
{
    TestTree tree;
    CProfile profile = CProfile::AtFile(Q(tree.Path("settings.ini")));

    explicit Folders(bool setFolders = true)
    {
        tree.Write("k/korvane.cs", "");
        tree.MakeFolder("k/plugins");
        tree.Write("t/tribes.exe", "MZ");
        if (setFolders) {
            profile.WriteProfileString(profile::kDirectories, profile::kKorvane, tree.Path("k/"));
            profile.WriteProfileString(profile::kDirectories, profile::kTribes, tree.Path("t/"));
        }
    }
    void Plugin(const std::string& rel, const std::string& name, const std::string& category) const
    {
        tree.Write("k/storage/" + rel + ".cs", "// " + name);
        tree.Write("k/storage/" + rel + ".desc.txt", Description(name, category));
    }
    void InUse(const std::string& rel) const { tree.Write("k/plugins/" + rel + ".cs", "// used"); }
    std::string Setting(const char* key) const
    {
        return profile.GetProfileString(profile::kDirectories, key);
    }
};

// The main window with its controls, driven as a user would.
struct Window
{
    CManagerDlg dlg;
    QTreeWidget* tree;
    QListWidget* list;
    QPushButton* use;
    QPushButton* unuse;
    QLineEdit* name;

    explicit Window(const CProfile& profile)
        : dlg(profile), tree(dlg.findChild<QTreeWidget*>("tree")),
          list(dlg.findChild<QListWidget*>("list")), use(dlg.findChild<QPushButton*>("use")),
          unuse(dlg.findChild<QPushButton*>("unuse")), name(dlg.findChild<QLineEdit*>("name"))
    {}
    bool Show()
    {
        dlg.show();
        return QTest::qWaitForWindowExposed(&dlg);
    }
    QTreeWidgetItem* Item(const QString& text) const
    {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    QPoint Centre(QTreeWidgetItem* item) const
    {
        tree->scrollToItem(item);
        return tree->visualItemRect(item).center();
    }
    void Click(const QString& text) const
    {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(Item(text)));
    }
    QPoint EntryCentre(const QString& text) const
    {
        return list->visualItemRect(list->findItems(text, Qt::MatchExactly).value(0)).center();
    }
    void ClickEntry(const QString& text) const
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, EntryCentre(text));
    }
    QStringList Entries() const
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    QString SelectedEntry() const
    {
        const auto selected = list->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
    // "Category: plug-in, plug-in" for each category, in the order shown.
    QStringList Tree() const
    {
        QStringList lines;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* category = tree->topLevelItem(i);
            QStringList children;
            for (int c = 0; c < category->childCount(); ++c)
                children << category->child(c)->text(0);
            lines << category->text(0) + ": " + children.join(", ");
        }
        return lines;
    }
    QString Current() const
    {
        return tree->currentItem() ? tree->currentItem()->text(0) : QString();
    }
    void Command(const char* text) const
    {
        for (QMenu* menu : dlg.findChildren<QMenu*>()) {
            for (QAction* action : menu->actions()) {
                if (action->text() == S(text)) {
                    action->trigger();
                    return;
                }
            }
        }
        QFAIL(text);
    }
};

// Step for the folder browser: move onto a folder and take it.
inline ModalScript::Step ChooseFolder(const std::string& folder)
{
    return [folder](QWidget* active) {
        auto* browser = static_cast<CFolderBrowserDlg*>(active);
        QVERIFY(browser->SelectFolder(Q(folder)));
        QVERIFY(browser->IsOkEnabled());
        browser->accept();
    };
}

} // namespace managertest
