#pragma once

#include "gui/CExecuteDlg.h"
#include "core/platform/CProfile.h"
#include "core/platform/ProfileEntries.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"

#include <QListWidget>
#include <QtTest>

// A Tribes folder holding the Korvane folder, both named in a scratch settings file.
struct LaunchFolders
{
    TestTree tree;
    CProfile profile = CProfile::AtFile(tree.QPath("profile.ini"));

    LaunchFolders()
    {
        tree.MakeFolder("tribes/korvane");
        profile.WriteProfileString(profile::kDirectories, profile::kTribes, tree.Path("tribes/"));
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane,
                                   tree.Path("tribes/korvane/"));
    }
};

// The Execute dialog's modifications, top to bottom.
inline QStringList Listed(const QWidget* dlg)
{
    QStringList names;
    const auto* list = dlg->findChild<QListWidget*>();
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}
