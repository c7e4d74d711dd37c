// Saves pictures of the main window and its dialogs, rendered offscreen, as the demo shows them:
//   screenshot <examples folder> <output folder>
// The main window goes to <output>/main-window.png (the README shows docs/main-window.png).
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/CAboutDlg.h"
#include "gui/dialogs/ClashesDialog.h"
#include "gui/dialogs/COptionsDlg.h"
#include "gui/dialogs/FolderBrowserDialog.h"
#include "gui/dialogs/SettleCopiesDialog.h"
#include "gui/mainwindow/CManagerDlg.h"
#include "gui/mainwindow/MarkedScan.h"
#include "res/Strings.h"

#include <cstdio>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTreeView>

using namespace korvane;
using namespace korvane::dialogs;
using namespace korvane::mainwindow;

namespace {

// Lets queued work (folder listings, layouts) finish before a picture is taken.
void Settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const QDir& output, const char* name)
{
    widget.show();
    Settle(300);
    const QString path = output.filePath(QString::fromLatin1(name));
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool CopyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    bool ok = true;
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = QDir(to).filePath(entry.fileName());
        ok = (entry.isDir() ? CopyFolder(entry.filePath(), target)
                            : QFile::copy(entry.filePath(), target)) &&
             ok;
    }
    return ok;
}

QString WithSeparator(const QString& folder)
{
    return QDir::cleanPath(folder) + QDir::separator();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KorvaneMgr"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshot <examples folder> <output folder>\n");
        return 2;
    }
    const QString examples = QString::fromLocal8Bit(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    output.mkpath(QStringLiteral("."));

    // A fixed scratch place, so the pictures show the same folder names on every run.
    QDir scratch(QDir::temp().filePath(QStringLiteral("korvane-screenshot")));
    scratch.removeRecursively();
    if (!CopyFolder(examples + QStringLiteral("/Korvane"),
                    scratch.filePath(QStringLiteral("Korvane"))) ||
        !CopyFolder(examples + QStringLiteral("/Tribes"),
                    scratch.filePath(QStringLiteral("Tribes")))) {
        std::fprintf(stderr, "cannot copy the examples from %s\n", qPrintable(examples));
        return 1;
    }
    const QString korvane = WithSeparator(scratch.filePath(QStringLiteral("Korvane")));
    const QString tribes = WithSeparator(scratch.filePath(QStringLiteral("Tribes")));
    const SettingsProfile profile =
        SettingsProfile::AtFile(scratch.filePath(QStringLiteral("KorvaneMgr.ini")));
    profile.WriteProfileString(profile::kDirectories, profile::kKorvane, korvane.toStdString());
    profile.WriteProfileString(profile::kDirectories, profile::kTribes, tribes.toStdString());

    bool ok = true;
    {
        // As it starts, then with a filter typed in and a match selected.
        CManagerDlg window(profile);
        window.show();
        ok = Save(window, output, "main-window.png") && ok;
        auto* filter = window.findChild<QLineEdit*>(QStringLiteral("filter"));
        auto* tree = window.findChild<QTreeView*>(QStringLiteral("tree"));
        filter->setFocus();
        filter->setText(QStringLiteral("range"));
        const QAbstractItemModel* shown = tree->model();
        const auto found =
            shown->match(shown->index(0, 0), Qt::DisplayRole, QStringLiteral("Turret Range Rings"),
                         1, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty())
            tree->setCurrentIndex(found.first());
        ok = Save(window, output, "main-window-filtered.png") && ok;
    }
    {
        COptionsDlg options;
        options.m_strKorvaneDir = korvane;
        options.m_strTribesDir = tribes;
        options.m_bRefreshPlugins = true;
        ok = Save(options, output, "options.png") && ok;
    }
    {
        FolderBrowserDialog browser(
            QString::fromUtf8(strings::kBrowseKorvaneTitle), scratch.path(), korvane,
            FolderBrowserDialog::FolderTest{[](const QString& folder) {
                                                return korvane::HasKorvaneScript(
                                                    korvane::Path(folder.toStdString()));
                                            },
                                            QString::fromUtf8(strings::kKorvaneFound),
                                            QString::fromUtf8(strings::kKorvaneNotFound)});
        ok = Save(browser, output, "folder-browser.png") && ok;
    }
    {
        // The choice for a copy in use edited beside storage's, as "<<" or a load asks it.
        SettleCopiesDialog settle({"weapons\\sniper.cs", "deployables\\turret.desc.txt"}, nullptr);
        ok = Save(settle, output, "settle-dialog.png") && ok;
    }
    {
        // View > Clashes on the demo, in which Sniper Zoom Steps and Mortar Arc Marker clash.
        const MarkedScan scan = MarkedScan::Read(korvane::Path(korvane.toStdString()));
        ClashesDialog clashes(scan.shownFunctions);
        ok = Save(clashes, output, "clashes.png") && ok;
    }
    {
        CAboutDlg about;
        ok = Save(about, output, "about.png") && ok;
    }
    scratch.removeRecursively();
    return ok ? 0 : 1;
}
