#include "launch/LaunchMessage.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace launch {

void ShowLaunchMessage(QWidget* parent, std::string_view text)
{
    QMessageBox::warning(parent, QCoreApplication::applicationName(),
                         QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace launch
