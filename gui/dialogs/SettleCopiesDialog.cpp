#include "gui/dialogs/SettleCopiesDialog.h"

#include "gui/widgets/ShownText.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane::dialogs {

using strings::Text;
using widgets::ShownText;

SettleCopiesDialog::SettleCopiesDialog(const settle::Copies& copies, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Text(strings::kSettleTitle));

    // File names are shown as plain text, whatever they hold.
    auto* text = new QLabel(Text(strings::kSettleText), this);
    text->setObjectName(QStringLiteral("text"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);

    auto* files = new QListWidget(this);
    files->setObjectName(QStringLiteral("files"));
    files->setAccessibleName(Text(strings::kSettleListName));
    files->setSelectionMode(QAbstractItemView::NoSelection);
    for (const std::string& copy : copies)
        files->addItem(QStringLiteral("plugins\\") + ShownText(copy));

    auto* buttons = new QDialogButtonBox(this);
    auto* keepMine =
        buttons->addButton(Text(strings::kSettleKeepMine), QDialogButtonBox::AcceptRole);
    keepMine->setObjectName(QStringLiteral("keepMine"));
    auto* useStorage =
        buttons->addButton(Text(strings::kSettleUseStorage), QDialogButtonBox::AcceptRole);
    useStorage->setObjectName(QStringLiteral("useStorage"));
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    // Enter does not choose for the player.
    for (QPushButton* button : {keepMine, useStorage})
        button->setAutoDefault(false);
    cancel->setDefault(true);
    connect(keepMine, &QPushButton::clicked, this, [this] { choose(settle::Choice::KeepMine); });
    connect(useStorage, &QPushButton::clicked, this,
            [this] { choose(settle::Choice::UseStorage); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(files, 1);
    layout->addWidget(buttons);
    resize(460, 300);
}

void SettleCopiesDialog::choose(settle::Choice choice)
{
    m_choice = choice;
    accept();
}

settle::Choice SettleCopiesDialog::ask(QWidget* parent, const settle::Copies& copies)
{
    SettleCopiesDialog dialog(copies, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.choice() : settle::Choice::Refuse;
}

} // namespace korvane::dialogs
