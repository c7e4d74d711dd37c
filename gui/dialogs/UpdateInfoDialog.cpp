#include "gui/dialogs/UpdateInfoDialog.h"

#include "core/updater/UpdatePreview.h"
#include "gui/widgets/PlainLabel.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane::dialogs {

using strings::Text;
using widgets::PlainLabel;

namespace {

QString Heading(const UpdatePreview& preview)
{
    return Text(preview.Files().empty() ? strings::kUpdateInfoNoFiles : strings::kUpdateInfoFiles)
        .arg(QString::fromStdString(preview.Name()), QString::fromStdString(preview.Version()));
}

void AddRow(QTreeWidget* files, const UpdatePreview::File& file)
{
    using Column = UpdateInfoDialog::Column;
    auto* row = new QTreeWidgetItem(files);
    row->setText(Column::kPlaceColumn, QString::fromStdString(file.place));
    row->setText(Column::kSizeColumn, QLocale().toString(file.size));
    row->setTextAlignment(Column::kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(Column::kReplacesColumn, Text(UpdatePreview::ReplacesText(file)));
    const QString note = QString::fromStdString(UpdatePreview::NoteText(file));
    row->setText(Column::kNoteColumn, note);
    row->setToolTip(Column::kNoteColumn, note); // a reason is often wider than its column
    if (file.refused || file.outsideStorage) {
        const QStyle::StandardPixmap sign =
            file.refused ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning;
        row->setIcon(Column::kNoteColumn, files->style()->standardIcon(sign));
    }
}

QTreeWidget* FilesTree(const UpdatePreview& preview, QWidget* parent)
{
    auto* files = new QTreeWidget(parent);
    files->setObjectName(QStringLiteral("files"));
    files->setAccessibleName(Text(strings::kUpdateFilesName));
    files->setRootIsDecorated(false);
    files->setItemsExpandable(false);
    files->setSelectionMode(QAbstractItemView::SingleSelection);
    files->setSelectionBehavior(QAbstractItemView::SelectRows);
    files->header()->setSectionsMovable(false);
    files->setHeaderLabels({Text(strings::kPlaceColumn), Text(strings::kSizeColumn),
                            Text(strings::kReplacesColumn), Text(strings::kNoteColumn)});
    files->headerItem()->setTextAlignment(UpdateInfoDialog::kSizeColumn,
                                          Qt::AlignRight | Qt::AlignVCenter);
    for (const UpdatePreview::File& file : preview.Files())
        AddRow(files, file);
    files->setColumnWidth(UpdateInfoDialog::kPlaceColumn, 240);
    files->setColumnWidth(UpdateInfoDialog::kSizeColumn, 80);
    files->setColumnWidth(UpdateInfoDialog::kReplacesColumn, 80);
    return files;
}

} // namespace

UpdateInfoDialog::UpdateInfoDialog(const UpdatePreview& preview, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text(strings::kUpdateInfoTitle)
                       .arg(QString::fromStdString(preview.Name()),
                            QString::fromStdString(preview.Version())));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("close"));
    close->setText(Text(strings::kCloseButton));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new PlainLabel(Heading(preview), "heading", this));
    layout->addWidget(FilesTree(preview, this), 1);
    layout->addWidget(
        new PlainLabel(QString::fromStdString(preview.SignatureLine()), "signature", this));
    layout->addWidget(buttons);
    resize(640, 340);
}

} // namespace korvane::dialogs
