#include "gui/ClashTexts.h"

#include "res/Strings.h"
#include "res/Text.h"

namespace korvane::clashtexts {

using strings::Text;

QString FewOf(const QStringList& first, qsizetype total)
{
    const QString separator = QStringLiteral(", ");
    if (total > kFew)
        return Text(strings::kFewAndMore)
            .arg(first.mid(0, kFew).join(separator), QString::number(total - kFew));
    if (first.size() < 2)
        return first.value(0);
    return Text(strings::kFewAnd).arg(first.mid(0, first.size() - 1).join(separator), first.last());
}

QString Mark(const std::vector<Shared>& functions)
{
    QStringList lines{Text(strings::kClashMarkHead)};
    const auto count = static_cast<qsizetype>(functions.size());
    for (qsizetype i = 0; i < count && i < kFew; ++i) {
        const Shared& shared = functions[static_cast<size_t>(i)];
        lines << Text(strings::kClashMarkFunction)
                     .arg(shared.function, FewOf(shared.others, shared.otherCount));
    }
    if (count > kFew)
        lines << Text(strings::kClashMarkMore).arg(count - kFew);
    return lines.join(u'\n');
}

} // namespace korvane::clashtexts
