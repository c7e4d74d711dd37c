#include "core/catalogue/DescriptionFile.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/TextEncoding.h"
#include "core/catalogue/TextFile.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <optional>

namespace korvane::descriptionfile {
namespace {

bool IsSingleByteText(const Fields& fields)
{
    return !textencoding::IsValidUtf8(fields.name + fields.category + fields.author +
                                      fields.description);
}

std::string StoredEdit(const std::string& original, const std::string& edited, bool singleByte)
{
    if (edited == textencoding::ToUtf8(original))
        return original;
    if (singleByte) {
        if (auto windowsText = textencoding::ToWindows1252(edited))
            return *windowsText;
    }
    return edited;
}

std::string OrDefault(const std::string& text, std::string_view fallback)
{
    return text.empty() ? std::string(fallback) : text;
}

// The field lines of an existing description file other than the three the editor shows, joined
// by line breaks, so that an edit keeps them as they were.
std::string OtherFieldLines(const std::optional<std::string>& bytes)
{
    std::string lines;
    bool inFields = bytes.has_value();
    textfile::ForEachLine(bytes.value_or(""), [&](std::string_view line) {
        const size_t equals = line.find('=');
        inFields = inFields && equals != std::string_view::npos; // the description has begun
        const std::string_view key = line.substr(0, equals);
        if (!inFields || kpath::EqualsNoCase(key, "name") || kpath::EqualsNoCase(key, "category") ||
            kpath::EqualsNoCase(key, "author"))
            return;
        if (!lines.empty())
            lines += '\n';
        lines += line;
    });
    return lines;
}

} // namespace

Fields FieldsOf(const CPluginInfo& plugin)
{
    return {plugin.m_strName, plugin.m_strCategory, plugin.m_strAuthor, plugin.m_strDescription};
}

Fields ShownFields(const Fields& stored)
{
    return {textencoding::ToUtf8(stored.name), textencoding::ToUtf8(stored.category),
            textencoding::ToUtf8(stored.author), textencoding::ToUtf8(stored.description)};
}

Fields StoredEdits(const Fields& original, const Fields& edited)
{
    const bool singleByte = IsSingleByteText(original);
    return {StoredEdit(original.name, edited.name, singleByte),
            StoredEdit(original.category, edited.category, singleByte),
            StoredEdit(original.author, edited.author, singleByte),
            StoredEdit(original.description, edited.description, singleByte)};
}

Fields Storable(Fields fields)
{
    for (std::string* line : {&fields.name, &fields.category, &fields.author})
        std::replace(line->begin(), line->end(), '\n', ' ');
    const std::string_view description = fields.description;
    if (description.substr(0, description.find('\n')).find('=') != std::string_view::npos)
        fields.description = "\n" + fields.description;
    return fields;
}

std::string ComposeText(const Fields& fields, std::string_view otherFields)
{
    const Fields storable = Storable(fields);
    std::string text;
    const auto append = [&text](std::string_view prefix, std::string_view value) {
        if (value.empty())
            return;
        if (!text.empty())
            text += '\n';
        text += prefix;
        text += value;
    };
    append("Name=", storable.name);
    append("Category=", storable.category);
    append("Author=", storable.author);
    append("", otherFields);
    append("", storable.description);
    if (!storable.description.empty() && storable.description.back() == '\n')
        text += '\n';
    return text;
}

std::string FileName(const CPluginInfo& plugin)
{
    return plugin.m_descriptionFile.empty() ? plugin.m_strFileName + ".desc.txt"
                                            : plugin.m_descriptionFile;
}

std::string FilePath(const Path& storageFolder, const CPluginInfo& plugin)
{
    return storageFolder.Stored() + plugin.m_strSubdirectory + FileName(plugin);
}

korvane::Status WriteDescription(const Path& storageFolder, CPluginInfo& plugin,
                                 const Fields& fields)
{
    // The file belongs beside the stored script, in the storage folder and nowhere else.
    const std::string name = FileName(plugin);
    if (!kpath::IsContainedRelative(plugin.m_strSubdirectory) ||
        std::any_of(name.begin(), name.end(), kpath::IsSeparator))
        return korvane::Status::Failure(strings::kReasonPluginNotInStorage);

    const Fields storable = Storable(fields);
    const auto file = Path(FilePath(storageFolder, plugin)).OnDisk();
    // A file there that cannot be read fails: its other lines would be lost with it. The record
    // holds only the beginning of a file longer than a description file may be: writing it would
    // lose the rest.
    const auto existing = kfs::ReadFileIfThere(file, CPluginInfo::kMaxDescriptionBytes);
    if (!existing)
        return existing.status();
    if (*existing && (*existing)->size() > CPluginInfo::kMaxDescriptionBytes)
        return korvane::Status::Failure(kpath::FromNative(file) + ": " +
                                        strings::kReasonDescriptionTooLarge);
    const std::string text = ComposeText(storable, OtherFieldLines(*existing));
    if (auto written = kfs::WriteFileAtomically(file, textfile::ToDiskText(text)); !written)
        return written;
    const std::string& key = plugin.m_strFileName;
    plugin.m_descriptionFile = kpath::FromNative(file.filename());
    plugin.m_strName = OrDefault(storable.name, key);
    plugin.m_strCategory = OrDefault(storable.category, CPluginInfo::kUnknown);
    plugin.m_strAuthor = OrDefault(storable.author, CPluginInfo::kUnknown);
    plugin.m_strDescription = OrDefault(storable.description, CPluginInfo::kNoDescription);
    return korvane::Status::Success();
}

} // namespace korvane::descriptionfile
