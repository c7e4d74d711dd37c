#pragma once

#include <QString>
#include <vector>

namespace korvane::mainwindow {

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
    // Replaces the texts of a record after its description changed.
    void replace(int index, const Texts& texts);
    // A record whose plug-in is gone: no text finds it, and it never counts.
    void remove(int index);
    int size() const { return static_cast<int>(m_segmentOf.size()); }

    // Marks the records that contain text (every record there is for an empty text) and returns
    // how many.
    int match(const QString& text);
    bool matches(int index) const { return m_matches[static_cast<size_t>(index)] != 0; }

private:
    static QString folded(const Texts& texts);
    void append(int index, const Texts& texts);
    // Drops the texts no record owns any longer, once they outweigh the others.
    void compactIfWasteful();

    // Every record's folded texts, each closed by a null, in segments: a record's texts are
    // replaced by a segment at the end, its old one left to no record.
    QString m_haystack;
    std::vector<qsizetype> m_starts{0}; // where each segment begins, and the end
    std::vector<int> m_ownerOf;         // the record of each segment, or -1
    std::vector<size_t> m_segmentOf;    // the segment of each record
    qsizetype m_unowned = 0;            // characters of segments no record owns
    std::vector<char> m_matches;
    std::vector<char> m_removed;
};

} // namespace korvane::mainwindow
