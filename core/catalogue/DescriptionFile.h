#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <string>
#include <string_view>

namespace korvane {

class CPluginInfo;

// Writing a plug-in's description file <key>.desc.txt, and the bytes its fields are kept in.
// Description files come as single-byte Windows text or as UTF-8, and a record keeps the bytes of
// its file; the editor shows them decoded.
namespace descriptionfile {

// The four texts of a description file, in the order the file holds them.
struct Fields
{
    std::string name;
    std::string category;
    std::string author;
    std::string description;

    bool operator==(const Fields&) const = default;
};

// The record's texts as they are: the bytes of its file, or the defaults.
Fields FieldsOf(const CPluginInfo& plugin);

// The texts as the editor shows them: UTF-8, decoded from single-byte Windows text when they are
// not UTF-8 already.
Fields ShownFields(const Fields& stored);

// The bytes to keep after an edit of the original texts; edited holds what the user left in the
// editor (UTF-8). A text still equal to its shown form keeps its original bytes exactly. A changed
// one is stored as Windows-1252 when the original texts were single-byte Windows text and every
// character has a byte there, so that the file stays in one encoding; otherwise as UTF-8, which
// the reader tells apart from single-byte text.
Fields StoredEdits(const Fields& original, const Fields& edited);

// The fields as a file can keep them so that reading it gives them back: a line break in the
// name, category or author becomes a blank (it would end the line), and a description whose
// first line holds '=' gets an empty line before it (its first line would be read as a field).
Fields Storable(Fields fields);

// The text of a description file (LF line ends, as in memory): the non-empty fields among
// "Name=" + name, "Category=" + category, "Author=" + author and the description, one line break
// between them and none after the last. A description that ends in a line break gets one more,
// as a reader drops the last one. otherFields, lines of fields this program does not edit
// ("Version=2"), go between the author and the description.
std::string ComposeText(const Fields& fields, std::string_view otherFields = {});

// The name of the plug-in's description file: the one its texts were read from, or else
// <key>.desc.txt.
std::string FileName(const CPluginInfo& plugin);

// <storageFolder><subdirectory> and that name, the file beside the stored script.
std::string FilePath(const Path& storageFolder, const CPluginInfo& plugin);

// Writes the plug-in's description file below the storage folder from the fields, replacing the
// file the record's texts were read from (without one, the file <key>.desc.txt in any letter
// case), and then gives the record the fields as a later scan reads them (an empty name is the
// key; an empty category or author "Unknown"; an empty description "No Description"). Fails with
// the reason when the file could not be written, or is longer than a description file may be
// (CPluginInfo::kMaxDescriptionBytes, of which the record holds only the beginning): the old file
// and the record are then as they were.
korvane::Status WriteDescription(const Path& storageFolder, CPluginInfo& plugin,
                                 const Fields& fields);

} // namespace descriptionfile

} // namespace korvane
