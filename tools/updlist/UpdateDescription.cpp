#include "UpdateDescription.h"

#include "core/catalogue/TextEncoding.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <limits>
#include <memory>
#include <optional>
#include <QRegularExpression>
#include <QStringList>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

using strings::Text;

namespace {

QString Native(const fs::path& path)
{
    return QString::fromStdString(kpath::FromNative(path));
}

// An update under construction, with the folder its files come from.
struct Draft
{
    std::unique_ptr<CUpdateInfo> update = std::make_unique<CUpdateInfo>();
    bool hasVersion = false, hasTarget = false, hasUrl = false;
    fs::path folder;
};

bool ParseVersion(const QString& value, CUpdateInfo& update)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
    const auto match = pattern.match(value);
    if (!match.hasMatch())
        return false;
    const int major = match.captured(1).toInt();
    const int minor = match.captured(2).toInt();
    if (major > 255 || minor > 255)
        return false;
    update.m_nVersionMajor = static_cast<std::uint8_t>(major);
    update.m_nVersionMinor = static_cast<std::uint8_t>(minor);
    return true;
}

bool IsTarget(const std::string& target)
{
    return kpath::IsContainedRelative(target) && (target.empty() || target.back() == '\\');
}

bool IsBaseUrl(const QString& url)
{
    return (url.startsWith(QLatin1String("http://")) ||
            url.startsWith(QLatin1String("https://"))) &&
           url.endsWith(u'/');
}

// The list's strings are single-byte Windows text, as the program's clients read them.
std::optional<std::string> SingleByte(const std::string& utf8)
{
    return textencoding::ToWindows1252(utf8);
}

// Adds every file below folder + subDir, subfolders after the files of their parent, in the
// order of a listing.
bool AddFiles(const fs::path& folder, const std::string& subDir, CUpdateInfo& update,
              QString& error)
{
    const auto listed = kfs::ListFolder(folder);
    if (!listed) {
        error = QString::fromStdString(listed.reason());
        return false;
    }
    const std::vector<kfs::FolderEntry>& entries = *listed;
    for (const auto& entry : entries) {
        std::error_code ec;
        const std::uintmax_t size = entry.isFolder ? 0 : fs::file_size(entry.path, ec);
        QString problem;
        if (!SingleByte(entry.name))
            problem = Text(strings::kUpdListNotSingleByte);
        else if (entry.isFolder)
            continue;
        else if (ec)
            problem = QString::fromStdString(ec.message());
        else if (size > std::numeric_limits<std::uint32_t>::max())
            problem = QStringLiteral("4 GiB or more");
        else if (!kpath::IsPlainName(entry.name))
            problem = QStringLiteral("its name holds a separator or colon");
        if (!problem.isEmpty()) {
            error = Text(strings::kUpdListBadFile)
                        .arg(QString::fromStdString(textencoding::ToUtf8(update.m_strUpdateName)),
                             Native(entry.path), problem);
            return false;
        }
        update.m_arrFiles.push_back(
            {*SingleByte(entry.name), subDir, static_cast<std::uint32_t>(size)});
    }
    for (const auto& entry : entries) {
        if (entry.isFolder &&
            !AddFiles(entry.path, subDir + *SingleByte(entry.name) + '\\', update, error))
            return false;
    }
    return true;
}

bool Complete(Draft& draft, CUpdateList& list, QString& error)
{
    const QString name =
        QString::fromStdString(textencoding::ToUtf8(draft.update->m_strUpdateName));
    const char* missing = !draft.hasVersion      ? "version"
                          : !draft.hasTarget     ? "target"
                          : !draft.hasUrl        ? "url"
                          : draft.folder.empty() ? "folder"
                                                 : nullptr;
    if (missing) {
        error = Text(strings::kUpdListMissingKey).arg(name, QString::fromLatin1(missing));
        return false;
    }
    if (!kfs::IsFolder(draft.folder)) {
        error = Text(strings::kUpdListBadFolder).arg(name, Native(draft.folder));
        return false;
    }
    if (!AddFiles(draft.folder, {}, *draft.update, error))
        return false;
    list.m_arrUpdates.push_back(std::move(draft.update));
    return true;
}

} // namespace

bool ReadUpdateDescription(const fs::path& file, CUpdateList& list, QString& error)
{
    const auto bytes = kfs::ReadFile(file);
    if (!bytes) {
        error = Text(strings::kUpdListCannotRead).arg(Native(file));
        return false;
    }
    list.RemoveAll();
    const fs::path base = file.parent_path();
    std::unique_ptr<Draft> draft;
    const QStringList lines = QString::fromUtf8(*bytes).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const auto fail = [&](const QString& what) {
            error = Text(strings::kUpdListBadLine).arg(Native(file)).arg(i + 1).arg(what);
            return false;
        };
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return fail(Text(strings::kUpdListNotKeyValue));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("update")) {
            if (draft && !Complete(*draft, list, error))
                return false;
            const auto name = SingleByte(value.toStdString());
            if (!name)
                return fail(Text(strings::kUpdListNotSingleByte));
            draft = std::make_unique<Draft>();
            draft->update->m_strUpdateName = *name;
            continue;
        }
        if (!draft)
            return fail(Text(strings::kUpdListNoUpdateYet));
        if (key == QLatin1String("version")) {
            if (!ParseVersion(value, *draft->update))
                return fail(Text(strings::kUpdListBadVersion));
            draft->hasVersion = true;
        } else if (key == QLatin1String("target")) {
            const auto target = SingleByte(value.toStdString());
            if (!target)
                return fail(Text(strings::kUpdListNotSingleByte));
            draft->update->m_strTargetDir = *target;
            if (!IsTarget(draft->update->m_strTargetDir))
                return fail(Text(strings::kUpdListBadTarget));
            draft->hasTarget = true;
        } else if (key == QLatin1String("url")) {
            if (!IsBaseUrl(value))
                return fail(Text(strings::kUpdListBadUrl));
            draft->update->m_strBaseURL = value.toStdString();
            draft->hasUrl = true;
        } else if (key == QLatin1String("folder")) {
            draft->folder = base / kpath::ToNative(value.toStdString());
        } else {
            return fail(Text(strings::kUpdListUnknownKey).arg(key));
        }
    }
    if (draft && !Complete(*draft, list, error))
        return false;
    if (list.GetSize() == 0) {
        error = Text(strings::kUpdListNoUpdates);
        return false;
    }
    return true;
}

} // namespace korvane
