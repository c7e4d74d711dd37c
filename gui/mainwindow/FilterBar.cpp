#include "gui/mainwindow/FilterBar.h"

#include "gui/widgets/FilterField.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace korvane::mainwindow {

using strings::Text;
using widgets::FilterField;

FilterBar::FilterBar(QWidget* window)
    : QWidget(window), m_field(new FilterField(window)), m_count(new QLabel(this))
{
    m_count->setObjectName(QStringLiteral("filterCount"));
    // As high as the field: the lists below take any height to spare.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_field, 1);
    row->addWidget(m_count);
    setFocusProxy(m_field);
    connect(m_field, &QLineEdit::textChanged, this, [this] { emit filterChanged(text()); });
}

QString FilterBar::text() const
{
    return m_field->text().trimmed();
}

void FilterBar::clear()
{
    m_field->clear();
}

QWidget* FilterBar::field() const
{
    return m_field;
}

void FilterBar::showCount(int shown, int all)
{
    const QLocale locale;
    // Room for the longest count, so that the field keeps its width as the count comes and goes.
    const QString longest =
        Text(strings::kFilterCount).arg(locale.toString(all), locale.toString(all));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(longest));
    if (text().isEmpty()) {
        m_count->clear();
        return;
    }
    m_count->setText(
        all == 1 ? Text(strings::kFilterCountOfOne).arg(shown)
                 : Text(strings::kFilterCount).arg(locale.toString(shown), locale.toString(all)));
}

} // namespace korvane::mainwindow
