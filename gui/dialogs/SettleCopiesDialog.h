#pragma once

#include "core/catalogue/SettleCopies.h"

#include <optional>
#include <QDialog>
#include <utility>

class QWidget;

namespace korvane::dialogs {

// Asks the player what becomes of files in use that differ from their copies in storage, which a
// command refused to delete or keep beside storage's: "Keep my copy", "Use storage's copy" or
// Cancel. The list shows each file below the plugins folder.
class SettleCopiesDialog : public QDialog
{
    Q_OBJECT

public:
    SettleCopiesDialog(const settle::Copies& copies, QWidget* parent);

    // Refuse when the player cancelled.
    settle::Choice choice() const { return m_choice; }

    // Shows the dialog for copies; the player's choice, Refuse when cancelled.
    static settle::Choice ask(QWidget* parent, const settle::Copies& copies);

private:
    void choose(settle::Choice choice);

    settle::Choice m_choice = settle::Choice::Refuse;
};

// Runs a command that refuses files in use that differ from storage's (run(settlement) gives a
// Settling, which holds them when it refuses). When it does, asks the player and, unless the
// player cancels, runs it again with the choice for those files. The last run's result; nothing
// after Cancel.
template <class Run>
auto RunSettling(QWidget* parent, Run run)
    -> std::optional<decltype(run(settle::Settlement()).result)>
{
    auto first = run(settle::Settlement());
    if (first.differing.empty())
        return std::move(first.result);
    const settle::Choice choice = SettleCopiesDialog::ask(parent, first.differing);
    if (choice == settle::Choice::Refuse)
        return std::nullopt;
    return run(settle::Settlement{choice, std::move(first.differing)}).result;
}

} // namespace korvane::dialogs
