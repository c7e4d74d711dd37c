#pragma once

#include "core/platform/CProfile.h"
#include "core/platform/ProfileEntries.h"
#include "gui/CExecuteDlg.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"

#include <QtTest>

namespace korvane {

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

} // namespace korvane
