#include "cli/Output.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace korvane::clioutput {
namespace {

bool IsPlainAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x7f;
    });
}

// Makes a blank of every control character in text from start on: line breaks and tabs would
// break the line's fields, and the others (escape sequences, C1 controls) would act on the
// terminal that shows them. text is UTF-8.
void BlankControls(std::string& text, size_t start, bool keepLineBreaks = false)
{
    size_t to = start;
    for (size_t from = start; from < text.size(); ++from) {
        const auto byte = static_cast<unsigned char>(text[from]);
        const auto next = from + 1 < text.size() ? static_cast<unsigned char>(text[from + 1]) : 0;
        if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) { // U+0080 to U+009F
            text[to++] = ' ';
            ++from;
        } else if (byte == '\n' && keepLineBreaks) {
            text[to++] = '\n';
        } else {
            text[to++] = byte < 0x20 || byte == 0x7f ? ' ' : text[from];
        }
    }
    text.resize(to);
}

void AppendField(std::string& line, std::string_view text)
{
    if (IsPlainAscii(text)) { // most fields: nothing to decode or replace
        line.append(text);
        return;
    }
    std::string shown = textencoding::ToUtf8(text);
    BlankControls(shown, 0);
    line += textencoding::EscapeBidiControls(shown);
}

void AppendTabSeparated(std::string& out, std::span<const std::string_view> fields)
{
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            out += '\t';
        AppendField(out, field);
        first = false;
    }
    out += '\n';
}

std::string JsonText(std::string_view text)
{
    return JsonString(textencoding::ToUtf8(text));
}

std::string PluginJson(const CPluginInfo& plugin, bool inUse)
{
    // The icon as a path of this system, for whatever opens it.
    const std::string icon = plugin.m_strIconPath.empty()
                                 ? std::string()
                                 : kpath::FromNative(kpath::ToNative(plugin.m_strIconPath));
    const std::array<std::pair<std::string_view, std::string>, 8> fields{{
        {"key", JsonText(plugin.m_strFileName)},
        {"name", JsonText(plugin.m_strName)},
        {"category", JsonText(plugin.m_strCategory)},
        {"author", JsonText(plugin.m_strAuthor)},
        {"description", JsonText(plugin.m_strDescription)},
        {"subdirectory", JsonText(plugin.m_strSubdirectory)},
        {"icon", JsonText(icon)},
        {"inUse", inUse ? "true" : "false"},
    }};
    std::string object = "{";
    for (const auto& [name, value] : fields) {
        if (object.size() > 1)
            object += ", ";
        object += JsonString(name) + ": " + value;
    }
    return object + "}";
}

} // namespace

std::string TabSeparated(std::initializer_list<std::string_view> fields)
{
    return TabSeparated(std::span(fields.begin(), fields.size()));
}

std::string TabSeparated(std::span<const std::string_view> fields)
{
    std::string line;
    AppendTabSeparated(line, fields);
    return line;
}

std::string ForTerminal(std::string_view text)
{
    std::string shown = textencoding::ToUtf8Lenient(text);
    BlankControls(shown, 0, true);
    return textencoding::EscapeBidiControls(shown);
}

std::string JsonString(std::string_view utf8)
{
    std::string quoted = "\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        // Escaped too: a bidirectional control would turn the rest of the line around.
        if (const size_t length = textencoding::BidiControlLength(utf8, i)) {
            quoted += textencoding::EscapeBidiControls(utf8.substr(i, length));
            i += length - 1;
            continue;
        }
        unsigned control = 0x100; // none
        switch (byte) {
        case '"':
            quoted += "\\\"";
            continue;
        case '\\':
            quoted += "\\\\";
            continue;
        case '\n':
            quoted += "\\n";
            continue;
        case '\r':
            quoted += "\\r";
            continue;
        case '\t':
            quoted += "\\t";
            continue;
        default:
            if (byte < 0x20 || byte == 0x7f)
                control = byte;
            else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) // U+0080 to U+009F
                control = next;
        }
        if (control == 0x100) {
            quoted += utf8[i];
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", control);
        quoted += escaped;
        if (control >= 0x80)
            ++i;
    }
    return quoted + '"';
}

void AppendPluginLine(std::string& out, const CPluginInfo& plugin, bool inUse)
{
    const std::array<std::string_view, 6> fields{plugin.m_strFileName,     plugin.m_strName,
                                                 plugin.m_strCategory,     plugin.m_strAuthor,
                                                 plugin.m_strSubdirectory, inUse ? "yes" : "no"};
    AppendTabSeparated(out, fields);
}

std::string PluginsJson(const CPluginList& shown, const std::vector<bool>& inUse)
{
    if (shown.m_arrPlugins.empty())
        return "[]\n";
    std::string json = "[\n";
    for (std::size_t i = 0; i < shown.m_arrPlugins.size(); ++i) {
        const CPluginInfo& plugin = *shown.m_arrPlugins[i];
        json += "  " + PluginJson(plugin, inUse[i]);
        json += i + 1 < shown.m_arrPlugins.size() ? ",\n" : "\n";
    }
    return json + "]\n";
}

} // namespace korvane::clioutput
