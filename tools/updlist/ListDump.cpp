#include "ListDump.h"

#include "core/updater/CUpdateList.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QString>

namespace korvane {

using strings::Text;

namespace {

QString Bytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString StatusText(const korvane::Status& outcome)
{
    if (outcome)
        return Text(strings::kUpdListComplete);
    using Failure = UpdateListReader::Failure;
    switch (*outcome.kind<Failure>()) {
    case Failure::NotAList:
        return Text(strings::kUpdListNotAList);
    case Failure::Unreadable:
        return Text(strings::kUpdListUnreadable);
    case Failure::TooLarge:
        return Text(strings::kUpdListTooLarge).arg(QString::fromStdString(outcome.reason()));
    case Failure::EndsEarly:
        break;
    }
    return Text(strings::kUpdListEndsEarly);
}

} // namespace

bool DumpUpdateList(std::string_view bytes, QTextStream& out)
{
    UpdateListReader reader;
    reader.Feed(bytes);
    reader.Finish();
    const korvane::Status outcome = reader.Outcome();
    const QString statusText = StatusText(outcome);
    const auto updates = reader.TakeUpdates();
    const std::uint64_t consumed = reader.ConsumedBytes();
    const std::uint64_t after = outcome ? bytes.size() - consumed : 0;
    out << Text(strings::kUpdListDumpHeader)
               .arg(statusText)
               .arg(updates.size())
               .arg(consumed)
               .arg(after)
        << '\n';
    for (size_t i = 0; i < updates.size(); ++i) {
        const CUpdateInfo& update = *updates[i];
        out << Text(strings::kUpdListDumpUpdate)
                   .arg(i)
                   .arg(Bytes(update.m_strUpdateName), QString::fromStdString(update.VersionText()),
                        Bytes(update.m_strTargetDir), Bytes(update.m_strBaseURL))
                   .arg(update.m_arrFiles.size())
            << '\n';
        for (const CUpdateFileInfo& file : update.m_arrFiles)
            out << Text(strings::kUpdListDumpFile)
                       .arg(Bytes(file.m_strFile), Bytes(file.m_strSubDir))
                       .arg(file.m_dwSize)
                << '\n';
    }
    return outcome.ok();
}

} // namespace korvane
