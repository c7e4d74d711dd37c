#include "gui/dialogs/CAboutDlg.h"

#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Version.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace korvane::dialogs {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(strings::kAboutTitle));

    auto* icon = new QLabel(this);
    icon->setPixmap(icons::Application().pixmap(32, 32));
    auto* versionLine = new QLabel(
        QString::fromUtf8(strings::kAboutVersion).arg(QLatin1StringView(version::kVersion)), this);
    auto* line = new QLabel(QString::fromUtf8(strings::kAboutLine), this);
    auto* ok = new QPushButton(QString::fromUtf8(strings::kOk), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(versionLine, 0, 1);
    layout->addWidget(line, 1, 1, Qt::AlignTop);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(12);
    setFixedSize(sizeHint());
}

} // namespace korvane::dialogs
