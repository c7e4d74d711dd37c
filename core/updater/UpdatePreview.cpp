#include "core/updater/UpdatePreview.h"

#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/ListSignature.h"
#include "core/updater/UpdateFilePlace.h"
#include "res/Strings.h"

#include <filesystem>
#include <QString>
#include <string_view>
#include <system_error>

namespace korvane {

namespace {

constexpr std::string_view kStorage = "storage";

// The path with '\' between its names, without the empty names that doubled separators leave.
std::string Shown(std::string_view path)
{
    std::string shown;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !kpath::IsSeparator(path[end]))
            ++end;
        if (end > start) {
            if (!shown.empty())
                shown += kpath::kStoredSeparator;
            shown.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return shown;
}

bool IsOutsideStorage(std::string_view shown)
{
    return !(shown.size() > kStorage.size() && kpath::StartsWithNoCase(shown, kStorage) &&
             shown[kStorage.size()] == kpath::kStoredSeparator);
}

// The file as the list names it below the Korvane folder, for one that has no place there.
std::string ListedPlace(const CUpdateInfo& update, const CUpdateFileInfo& file)
{
    return Shown(textencoding::ToUtf8(update.m_strTargetDir + kpath::kStoredSeparator +
                                      file.m_strSubDir + file.m_strFile));
}

// A folder in the file's place is not replaced: the installation fails there.
bool ReplacesFile(const UpdateFilePlace& place)
{
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(place.StoredPath(), ec);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// Each file goes through UpdateFilePlace on its own, so that one refused name leaves the others'
// places on show, and each refused file has its own reason.
UpdatePreview::File PreviewOf(const CUpdateInfo& update, const CUpdateFileInfo& file,
                              const Path& korvaneFolder)
{
    CUpdateInfo single;
    single.m_strTargetDir = update.m_strTargetDir;
    single.m_strBaseURL = update.m_strBaseURL;
    single.m_arrFiles = {file};
    UpdatePreview::File preview;
    preview.size = file.m_dwSize;
    const auto places = UpdateFilePlace::Of(single, korvaneFolder);
    if (!places) {
        preview.place = ListedPlace(update, file);
        preview.refused = true;
        preview.reason = places.reason();
    } else {
        const UpdateFilePlace& place = places->front();
        const size_t folder = korvaneFolder.AsFolder().Stored().size();
        preview.place = Shown(std::string_view(place.stored).substr(folder));
        preview.replaces = !korvaneFolder.Stored().empty() && ReplacesFile(place);
    }
    preview.outsideStorage = IsOutsideStorage(preview.place);
    return preview;
}

std::string WithKeyId(const char* text, const std::string& keyId)
{
    return QString::fromUtf8(text).arg(QString::fromStdString(keyId)).toStdString();
}

} // namespace

UpdatePreview UpdatePreview::Of(const CUpdateList& list, int index, const Path& korvaneFolder)
{
    const CUpdateInfo& update = list.GetAt(index);
    UpdatePreview preview;
    preview.m_name = textencoding::ToUtf8(update.m_strUpdateName);
    preview.m_version = update.VersionText();
    preview.m_files.reserve(update.m_arrFiles.size());
    for (const CUpdateFileInfo& file : update.m_arrFiles)
        preview.m_files.push_back(PreviewOf(update, file, korvaneFolder));
    preview.m_signatureLine = SignatureText(list.Signature());
    return preview;
}

std::string UpdatePreview::SignatureText(const ListSignature& signature)
{
    switch (signature.state) {
    case ListSignature::State::Unchecked:
        return WithKeyId(strings::kListUnchecked, signature.keyId);
    case ListSignature::State::Verified:
        return WithKeyId(strings::kListVerified, signature.keyId);
    case ListSignature::State::Unsigned:
        break;
    }
    return strings::kListUnsigned;
}

const char* UpdatePreview::ReplacesText(const File& file)
{
    if (file.refused)
        return strings::kReplacesRefused;
    return file.replaces ? strings::kReplacesYes : strings::kReplacesNo;
}

std::string UpdatePreview::NoteText(const File& file)
{
    if (file.refused)
        return QString::fromUtf8(strings::kNoteRefused)
            .arg(QString::fromStdString(file.reason))
            .toStdString();
    return file.outsideStorage ? strings::kNoteOutsideStorage : std::string();
}

} // namespace korvane
