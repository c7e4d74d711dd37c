#pragma once

#include <functional>
#include <optional>
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QSortFilterProxyModel;
class QTreeView;

namespace korvane::dialogs {

// Lets the user pick a folder at or below a root. With a test, a status line tells whether the
// current folder passes it and OK is enabled only for a folder that does; without one, any folder
// may be chosen.
class FolderBrowserDialog : public QDialog
{
    Q_OBJECT

public:
    struct FolderTest
    {
        std::function<bool(const QString& folder)> passes; // folder with a trailing separator
        QString passText;
        QString failText;
    };

    // root: the topmost folder shown (empty: the whole file system). initialFolder: selected at
    // start when it lies at or below root (empty: nothing selected).
    FolderBrowserDialog(const QString& title, const QString& root, const QString& initialFolder,
                        std::optional<FolderTest> test, QWidget* parent = nullptr);

    // The chosen folder, a full path with the system's own separators and no trailing one (empty
    // before a choice): on Windows "C:\Games\Korvane", the form the settings keep.
    QString SelectedFolder() const;
    // Moves the selection to a folder, as the user's click would.
    bool SelectFolder(const QString& folder);
    QString StatusText() const;
    bool IsOkEnabled() const;

protected:
    // The current folder is in view when the dialog opens.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelectionChanged();
    void KeepCurrentInView();

    QFileSystemModel* m_model = nullptr;
    QSortFilterProxyModel* m_filter = nullptr;
    QTreeView* m_view = nullptr;
    QLabel* m_status = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QString m_root;
    std::optional<FolderTest> m_test;
    bool m_followCurrent = true; // until the user scrolls or chooses
};

} // namespace korvane::dialogs
