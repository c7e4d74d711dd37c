#pragma once

#include "core/catalogue/KorvaneWorkflow.h"
#include "core/platform/Path.h"
#include "core/updater/HeldPlugins.h"

#include <functional>
#include <memory>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace korvane {
class CUpdateList;
} // namespace korvane

namespace korvane::widgets {

class UpdateAnimation;
} // namespace korvane::widgets

namespace korvane::dialogs {

// The updater window: every update of the list with its version and whether it is installed,
// what the list's signature said, what the selected update would write (View Info), and the
// installation of the selected one on a worker thread, one at a time. An update that would
// replace files of a held plug-in reads Held, and is not installed.
class CUpdaterDlg : public QDialog
{
    Q_OBJECT

public:
    enum Column
    {
        kNameColumn,
        kVersionColumn,
        kInstalledColumn
    };

    // korvaneFolder: the Korvane folder the updates are checked against and installed into;
    // held: the plug-ins the player holds at their version.
    CUpdaterDlg(std::shared_ptr<CUpdateList> updates, Path korvaneFolder, HeldPlugins held = {},
                QWidget* parent = nullptr);

    // The index of the update being installed, -1 when none is.
    int InstallingIndex() const { return m_nInstalling; }
    // onEnded runs in context's thread each time an installation started here ends, whole or
    // not (the folders may have changed), also when this window has closed by then; it does not
    // run once context is gone.
    void WhenInstallationEnds(QObject* context, std::function<void()> onEnded);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void OnItemChangedUpdateList();
    void OnInstall();
    // Shows what the selected update would write.
    void OnViewInfo();
    void OnInstallDone(const Settling<korvane::Status>& installation);
    // After an update that kept copies in use the player changed: asks what becomes of them and
    // settles them. True when the update is whole now.
    bool SettleKeptCopies(const settle::Copies& keptCopies);
    // The close box asks first, as the installation goes on without the window.
    bool OnClose();

    widgets::UpdateAnimation* m_animate = nullptr;
    QTreeWidget* m_listUpdates = nullptr;
    QPushButton* m_installButton = nullptr;
    QPushButton* m_viewInfoButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_signatureLabel = nullptr;
    const std::shared_ptr<CUpdateList> m_pUpdates;
    const Path m_korvaneFolder;
    const HeldPlugins m_held;
    int m_nInstalling = -1;
    QPointer<QObject> m_endContext;
    std::function<void()> m_onEnded;
};

} // namespace korvane::dialogs
