#include "gui/PluginFilter.h"

#include <algorithm>

namespace korvane {

namespace {

// Ends each text of a record: typed text holds no null, so no match runs from one text into the
// next or from one record into the next.
constexpr QChar kEnd = u'\0';

} // namespace

QString PluginFilter::folded(const Texts& texts)
{
    QString all;
    for (const QString* text :
         {&texts.name, &texts.key, &texts.author, &texts.category, &texts.description})
        all += *text + kEnd;
    return all.toCaseFolded();
}

void PluginFilter::clear()
{
    m_haystack.clear();
    m_starts.assign(1, 0);
    m_matches.clear();
}

void PluginFilter::add(const Texts& texts)
{
    m_haystack += folded(texts);
    m_starts.push_back(m_haystack.size());
    m_matches.push_back(1);
}

void PluginFilter::replace(int index, const Texts& texts)
{
    const auto record = static_cast<size_t>(index);
    const qsizetype start = m_starts[record];
    const qsizetype oldLength = m_starts[record + 1] - start;
    const QString text = folded(texts);
    m_haystack.replace(start, oldLength, text);
    for (size_t next = record + 1; next < m_starts.size(); ++next)
        m_starts[next] += text.size() - oldLength;
}

int PluginFilter::match(const QString& text)
{
    if (text.isEmpty()) {
        std::fill(m_matches.begin(), m_matches.end(), 1);
        return size();
    }
    // One search through every record: after a hit the search goes on at the next record.
    std::fill(m_matches.begin(), m_matches.end(), 0);
    const QString needle = text.toCaseFolded();
    int count = 0;
    for (qsizetype at = m_haystack.indexOf(needle); at >= 0;) {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
        m_matches[static_cast<size_t>(next - m_starts.begin() - 1)] = 1;
        ++count;
        at = m_haystack.indexOf(needle, *next);
    }
    return count;
}

} // namespace korvane
