#include "gui/widgets/NamedComboBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace korvane::widgets {

namespace {

class AccessibleNamedComboBox : public QAccessibleWidget
{
public:
    explicit AccessibleNamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedComboBoxFactory(const QString& className, QObject* object)
{
    // The box has no meta-object of its own: Qt asks by its base's name.
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto* box = dynamic_cast<NamedComboBox*>(object);
    return box ? new AccessibleNamedComboBox(box) : nullptr; // Qt's cache owns it
}

} // namespace

NamedComboBox::NamedComboBox(QWidget* parent) : QComboBox(parent)
{
    // Once for the process: Qt keeps the factories of all its windows.
    static const bool installed = [] {
        QAccessible::installFactory(NamedComboBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setEditable(true);
}

} // namespace korvane::widgets
