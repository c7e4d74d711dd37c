#pragma once

#include <QString>
#include <vector>

namespace korvane {

// Which plug-ins a text typed into the window's filter finds: those whose name, file name key,
// author, category or description contains it, in any letter case. Each record's texts are
// kept case-folded in one string, so a keystroke is one search through it.
class PluginFilter
{
public:
    // The texts of one record, as the window shows them.
    struct Texts
    {
        QString name;
        QString key;
        QString author;
        QString category;
        QString description;
    };

    void clear();
    // Records are numbered in the order they are added, from 0.
    void add(const Texts& texts);
    // Replaces the texts of a record after its description was edited.
    void replace(int index, const Texts& texts);
    int size() const { return static_cast<int>(m_starts.size()) - 1; }

    // Marks the records that contain text (every record for an empty text) and returns how many.
    int match(const QString& text);
    bool matches(int index) const { return m_matches[static_cast<size_t>(index)] != 0; }

private:
    static QString folded(const Texts& texts);

    QString m_haystack;                 // every record's folded texts, each closed by a null
    std::vector<qsizetype> m_starts{0}; // where each record begins, and the end
    std::vector<char> m_matches;
};

} // namespace korvane
