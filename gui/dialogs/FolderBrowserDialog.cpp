#include "gui/dialogs/FolderBrowserDialog.h"

#include "gui/widgets/ControlLabel.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace korvane::dialogs {

using widgets::ControlLabel;

namespace {

QString WithTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QDir::separator();
}

// Windows finds a folder by its name in any letter case, and so does the dialog there.
constexpr Qt::CaseSensitivity kNameCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

bool SamePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), kNameCase) == 0;
}

// Both paths compared in Qt's form, with '/' between the names on every system.
bool IsAtOrBelow(const QString& folder, const QString& root)
{
    if (root.isEmpty())
        return true;
    QString cleanRoot = QDir::cleanPath(root);
    if (!cleanRoot.endsWith(u'/'))
        cleanRoot += u'/';
    return (QDir::cleanPath(folder) + u'/').startsWith(cleanRoot, kNameCase);
}

// Shows the root folder as the only entry of its parent, so the root itself can be chosen while
// its siblings stay hidden.
class RootOnlyFilter : public QSortFilterProxyModel
{
public:
    RootOnlyFilter(QString root, QObject* parent)
        : QSortFilterProxyModel(parent), m_root(std::move(root)),
          m_rootParent(QFileInfo(m_root).dir().path())
    {}

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        if (m_root.isEmpty() || !SamePath(files->filePath(sourceParent), m_rootParent))
            return true;
        const QModelIndex child = files->index(sourceRow, 0, sourceParent);
        return SamePath(files->filePath(child), m_root);
    }

private:
    QString m_root;
    QString m_rootParent;
};

} // namespace

FolderBrowserDialog::FolderBrowserDialog(const QString& title, const QString& root,
                                         const QString& initialFolder,
                                         std::optional<FolderTest> test, QWidget* parent)
    : QDialog(parent), m_root(root.isEmpty() ? QString() : QDir::cleanPath(root)),
      m_test(std::move(test))
{
    setWindowTitle(title);
    auto* caption = new ControlLabel(title, this);
    caption->setWordWrap(true);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(m_root.isEmpty() ? QDir::rootPath() : m_root);

    const bool rootIsTop = !m_root.isEmpty() && QFileInfo(m_root).isRoot();
    m_filter = new RootOnlyFilter(rootIsTop ? QString() : m_root, this);
    m_filter->setSourceModel(m_model);

    m_view = new QTreeView(this);
    m_view->setModel(m_filter);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_view->hideColumn(column);
    m_view->header()->hide();
    caption->setControl(m_view);
    if (!m_root.isEmpty() && !rootIsTop)
        m_view->setRootIndex(
            m_filter->mapFromSource(m_model->index(QFileInfo(m_root).dir().path())));

    m_status = new QLabel(this);
    m_status->setVisible(m_test.has_value());

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);
    layout->addWidget(m_buttons);
    resize(360, 420);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderBrowserDialog::OnSelectionChanged);
    // The folders load a while after the dialog opens, their rows pushing the current folder
    // down: it is brought into view again as they come, until the user takes over.
    for (const auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_filter, changed, this, &FolderBrowserDialog::KeepCurrentInView);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this,
            &FolderBrowserDialog::KeepCurrentInView);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    if (initialFolder.isEmpty() || !SelectFolder(initialFolder))
        OnSelectionChanged();
}

QString FolderBrowserDialog::SelectedFolder() const
{
    const QModelIndex current = m_filter->mapToSource(m_view->currentIndex());
    if (!current.isValid())
        return {};
    // The file system model names folders with '/' on every system.
    return QDir::toNativeSeparators(QDir::cleanPath(m_model->filePath(current)));
}

bool FolderBrowserDialog::SelectFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!QFileInfo(clean).isDir() || !IsAtOrBelow(clean, m_root))
        return false;
    const QModelIndex index = m_filter->mapFromSource(m_model->index(clean));
    if (!index.isValid())
        return false;
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
    OnSelectionChanged();
    return true;
}

void FolderBrowserDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    KeepCurrentInView();
}

bool FolderBrowserDialog::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_followCurrent = false; // the user scrolls and chooses from here on
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FolderBrowserDialog::KeepCurrentInView()
{
    if (!m_followCurrent || !m_view->currentIndex().isValid())
        return;
    // After the view has laid out the rows that just came.
    QTimer::singleShot(0, this, [this] {
        if (m_followCurrent && m_view->currentIndex().isValid())
            m_view->scrollTo(m_view->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
}

QString FolderBrowserDialog::StatusText() const
{
    return m_status->text();
}

bool FolderBrowserDialog::IsOkEnabled() const
{
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

void FolderBrowserDialog::OnSelectionChanged()
{
    const QString folder = SelectedFolder();
    bool passes = !folder.isEmpty() && IsAtOrBelow(folder, m_root);
    if (m_test) {
        passes = passes && m_test->passes(WithTrailingSeparator(folder));
        m_status->setText(passes ? m_test->passText : m_test->failText);
    }
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(passes);
}

} // namespace korvane::dialogs
