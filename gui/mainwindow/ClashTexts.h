#pragma once

#include "core/catalogue/FunctionClashes.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace korvane::mainwindow {

class InUseFunctions;

// What the window says of plug-ins that clash, naming the plug-ins in use as inUse does. A text
// names a few plug-ins or functions and says how many more there are, so that a tool tip stays
// readable whatever the number.
class ClashTexts
{
public:
    static constexpr qsizetype kFew = 3;

    // A function that a plug-in in use shares with others in use.
    struct Shared
    {
        QString function;
        QStringList others; // the first few of the other plug-ins that define it
        qsizetype otherCount = 0;
    };

    explicit ClashTexts(const InUseFunctions& inUse) : m_inUse(inUse) {}

    // "A and B", "A, B and C", "A, B, C and 4 more": first holds the first few of total names.
    static QString fewOf(const QStringList& first, qsizetype total);
    // The mark of a plug-in in use that shares these functions, in this order.
    static QString mark(const std::vector<Shared>& functions);
    // The panel's line for a stored plug-in that would make these clashes if it were put in use
    // (functionclashes::WouldMake's, the plug-in itself the last of each); empty when there are
    // none.
    QString wouldMake(const std::vector<FunctionClash>& clashes) const;
    // A plug-in as a list of clashes names it: by its name, and its key when that differs.
    QString pluginOf(const FunctionClash::Definer& definer) const;

private:
    const InUseFunctions& m_inUse;
};

} // namespace korvane::mainwindow
