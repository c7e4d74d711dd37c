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

QString StatusText(const CUpdateListReader& reader)
{
    switch (reader.GetStatus()) {
    case CUpdateListReader::Status::Complete:
        return Text(strings::kUpdListComplete);
    case CUpdateListReader::Status::NotAList:
        return Text(strings::kUpdListNotAList);
    case CUpdateListReader::Status::Unreadable:
        return Text(strings::kUpdListUnreadable);
    case CUpdateListReader::Status::TooLarge:
        return Text(strings::kUpdListTooLarge).arg(Text(reader.Reason()));
    case CUpdateListReader::Status::Reading:
    case CUpdateListReader::Status::EndsEarly:
        break;
    }
    return Text(strings::kUpdListEndsEarly);
}

} // namespace

bool DumpUpdateList(std::string_view bytes, QTextStream& out)
{
    CUpdateListReader reader;
    reader.Feed(bytes);
    reader.Finish();
    const auto status = reader.GetStatus();
    const QString statusText = StatusText(reader);
    const auto updates = reader.TakeUpdates();
    const std::uint64_t consumed = reader.ConsumedBytes();
    const std::uint64_t after =
        status == CUpdateListReader::Status::Complete ? bytes.size() - consumed : 0;
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
    return status == CUpdateListReader::Status::Complete;
}

} // namespace korvane
