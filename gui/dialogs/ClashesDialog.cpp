#include "gui/dialogs/ClashesDialog.h"

#include "gui/mainwindow/ClashTexts.h"
#include "gui/mainwindow/InUseFunctions.h"
#include "gui/widgets/PlainLabel.h"
#include "gui/widgets/ShownText.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane::dialogs {

using mainwindow::InUseFunctions;
using strings::Text;
using widgets::PlainLabel;
using widgets::ShownText;

namespace {

QString FileOf(const FunctionClash::Definer& definer)
{
    return ShownText(definer.file.Stored());
}

QString Unreadable(const InUseFunctions& functions)
{
    if (functions.unreadable().ok())
        return {};
    return Text(strings::kClashesUnreadable) + u'\n' +
           QString::fromStdString(functions.unreadable().reason());
}

// A line each function, then a line each of its plug-ins, indented; then what could not be read.
QString PlainText(const InUseFunctions& functions)
{
    QStringList lines;
    for (const FunctionClash& clash : functions.clashes()) {
        lines << QString::fromStdString(clash.function);
        for (const FunctionClash::Definer& definer : clash.plugins)
            lines << Text(strings::kClashCopyPlugin)
                         .arg(mainwindow::ClashTexts(functions).pluginOf(definer), FileOf(definer),
                              QString::number(definer.line));
    }
    if (const QString unreadable = Unreadable(functions); !unreadable.isEmpty())
        lines << (lines.isEmpty() ? QStringList() : QStringList{QString()}) << unreadable;
    return lines.join(u'\n') + u'\n';
}

QTreeWidget* ClashesTree(const InUseFunctions& functions, QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("clashes"));
    tree->setAccessibleName(Text(strings::kClashesListName));
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->header()->setSectionsMovable(false);
    tree->setHeaderLabels({Text(strings::kClashFunctionColumn), Text(strings::kClashFileColumn),
                           Text(strings::kClashLineColumn)});
    tree->headerItem()->setTextAlignment(ClashesDialog::kLineColumn,
                                         Qt::AlignRight | Qt::AlignVCenter);
    for (const FunctionClash& clash : functions.clashes()) {
        auto* function = new QTreeWidgetItem(tree, {QString::fromStdString(clash.function)});
        for (const FunctionClash::Definer& definer : clash.plugins) {
            auto* plugin =
                new QTreeWidgetItem(function, {mainwindow::ClashTexts(functions).pluginOf(definer),
                                               FileOf(definer), QString::number(definer.line)});
            plugin->setTextAlignment(ClashesDialog::kLineColumn, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    tree->expandAll();
    tree->setColumnWidth(ClashesDialog::kFunctionColumn, 240);
    tree->setColumnWidth(ClashesDialog::kFileColumn, 260);
    return tree;
}

} // namespace

ClashesDialog::ClashesDialog(const InUseFunctions& functions, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text(strings::kClashesTitle));
    const bool clashing = !functions.clashes().empty();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("close"));
    close->setText(Text(strings::kCloseButton));
    close->setDefault(true);
    QPushButton* copy =
        buttons->addButton(Text(strings::kCopyButton), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copy"));
    copy->setAutoDefault(false);
    const QString text = PlainText(functions);
    copy->setEnabled(clashing || !functions.unreadable().ok());
    connect(copy, &QPushButton::clicked, this,
            [text] { QGuiApplication::clipboard()->setText(text); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new PlainLabel(
        Text(clashing ? strings::kClashesHeading : strings::kClashesNone), "heading", this));
    QTreeWidget* tree = ClashesTree(functions, this);
    tree->setVisible(clashing);
    layout->addWidget(tree, 1);
    QLabel* unreadable = new PlainLabel(Unreadable(functions), "unreadable", this);
    unreadable->setVisible(!unreadable->text().isEmpty());
    layout->addWidget(unreadable);
    if (!clashing)
        layout->addStretch(1);
    layout->addWidget(buttons);
    resize(640, clashing ? 400 : 180);
}

} // namespace korvane::dialogs
