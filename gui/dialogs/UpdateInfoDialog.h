#pragma once

#include <QDialog>

namespace korvane {
class UpdatePreview;
} // namespace korvane

namespace korvane::dialogs {

// View Info of the updater window: what installing one update would write, file by file (its
// place below the Korvane folder, its size, whether it replaces a file there and, marked, where
// it goes outside storage\ or is refused), and what the list's signature said.
class UpdateInfoDialog : public QDialog
{
    Q_OBJECT

public:
    enum Column
    {
        kPlaceColumn,
        kSizeColumn,
        kReplacesColumn,
        kNoteColumn
    };

    UpdateInfoDialog(const UpdatePreview& preview, QWidget* parent = nullptr);
};

} // namespace korvane::dialogs
