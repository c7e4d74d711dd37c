#include "gui/mainwindow/ClashTexts.h"

#include "gui/mainwindow/InUseFunctions.h"
#include "gui/widgets/ShownText.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QSet>

namespace korvane::mainwindow {

using strings::Text;
using widgets::ShownText;

QString ClashTexts::fewOf(const QStringList& first, qsizetype total)
{
    const QString separator = QStringLiteral(", ");
    if (total > kFew)
        return Text(strings::kFewAndMore)
            .arg(first.mid(0, kFew).join(separator), QString::number(total - kFew));
    if (first.size() < 2)
        return first.value(0);
    return Text(strings::kFewAnd).arg(first.mid(0, first.size() - 1).join(separator), first.last());
}

QString ClashTexts::mark(const std::vector<Shared>& functions)
{
    QStringList lines{Text(strings::kClashMarkHead)};
    const auto count = static_cast<qsizetype>(functions.size());
    for (qsizetype i = 0; i < count && i < kFew; ++i) {
        const Shared& shared = functions[static_cast<size_t>(i)];
        lines << Text(strings::kClashMarkFunction)
                     .arg(shared.function, fewOf(shared.others, shared.otherCount));
    }
    if (count > kFew)
        lines << Text(strings::kClashMarkMore).arg(count - kFew);
    return lines.join(u'\n');
}

QString ClashTexts::wouldMake(const std::vector<FunctionClash>& clashes) const
{
    if (clashes.empty())
        return {};
    QStringList functions;
    QStringList others;
    QSet<QString> named;
    for (const FunctionClash& clash : clashes) {
        functions << QString::fromStdString(clash.function);
        // The plug-in asked about comes last.
        for (size_t i = 0; i + 1 < clash.plugins.size(); ++i) {
            const QString name = m_inUse.nameOf(clash.plugins[i]);
            if (!named.contains(name)) {
                named.insert(name);
                others << name;
            }
        }
    }
    return Text(strings::kClashWouldMake)
        .arg(fewOf(others, others.size()), fewOf(functions, functions.size()));
}

QString ClashTexts::pluginOf(const FunctionClash::Definer& definer) const
{
    const QString name = m_inUse.nameOf(definer);
    const QString key = ShownText(definer.key);
    return name == key ? name : Text(strings::kClashPlugin).arg(name, key);
}

} // namespace korvane::mainwindow
