#include "gui/mainwindow/PluginFilter.h"

#include <algorithm>

namespace korvane::mainwindow {

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
    m_ownerOf.clear();
    m_segmentOf.clear();
    m_unowned = 0;
    m_matches.clear();
    m_removed.clear();
}

void PluginFilter::append(int index, const Texts& texts)
{
    m_haystack += folded(texts);
    m_starts.push_back(m_haystack.size());
    m_ownerOf.push_back(index);
}

void PluginFilter::add(const Texts& texts)
{
    m_segmentOf.push_back(m_ownerOf.size());
    append(size() - 1, texts);
    m_matches.push_back(1);
    m_removed.push_back(0);
}

void PluginFilter::replace(int index, const Texts& texts)
{
    size_t& segment = m_segmentOf[static_cast<size_t>(index)];
    m_ownerOf[segment] = -1;
    m_unowned += m_starts[segment + 1] - m_starts[segment];
    segment = m_ownerOf.size();
    append(index, texts);
    compactIfWasteful();
}

void PluginFilter::remove(int index)
{
    // Its texts stay, owned by no record until the next compaction.
    const size_t segment = m_segmentOf[static_cast<size_t>(index)];
    if (m_ownerOf[segment] >= 0) {
        m_ownerOf[segment] = -1;
        m_unowned += m_starts[segment + 1] - m_starts[segment];
    }
    m_removed[static_cast<size_t>(index)] = 1;
    m_matches[static_cast<size_t>(index)] = 0;
    compactIfWasteful();
}

void PluginFilter::compactIfWasteful()
{
    if (m_unowned <= m_haystack.size() / 2)
        return;
    QString haystack;
    haystack.reserve(m_haystack.size() - m_unowned);
    std::vector<qsizetype> starts{0};
    std::vector<int> ownerOf;
    for (size_t segment = 0; segment < m_ownerOf.size(); ++segment) {
        const int owner = m_ownerOf[segment];
        if (owner < 0)
            continue;
        m_segmentOf[static_cast<size_t>(owner)] = ownerOf.size();
        haystack += QStringView(m_haystack)
                        .sliced(m_starts[segment], m_starts[segment + 1] - m_starts[segment]);
        starts.push_back(haystack.size());
        ownerOf.push_back(owner);
    }
    m_haystack = std::move(haystack);
    m_starts = std::move(starts);
    m_ownerOf = std::move(ownerOf);
    m_unowned = 0;
}

int PluginFilter::match(const QString& text)
{
    if (text.isEmpty()) {
        int count = 0;
        for (size_t index = 0; index < m_matches.size(); ++index) {
            m_matches[index] = m_removed[index] ? 0 : 1;
            count += m_matches[index];
        }
        return count;
    }
    // One search through every segment: after a hit the search goes on at the next segment.
    std::fill(m_matches.begin(), m_matches.end(), 0);
    const QString needle = text.toCaseFolded();
    int count = 0;
    for (qsizetype at = m_haystack.indexOf(needle); at >= 0;) {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
        const int owner = m_ownerOf[static_cast<size_t>(next - m_starts.begin() - 1)];
        if (owner >= 0 && !m_removed[static_cast<size_t>(owner)]) {
            m_matches[static_cast<size_t>(owner)] = 1;
            ++count;
        }
        at = m_haystack.indexOf(needle, *next);
    }
    return count;
}

} // namespace korvane::mainwindow
