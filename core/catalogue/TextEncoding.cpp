#include "core/catalogue/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace korvane::textencoding {
namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes map to the C1 controls, as Windows does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// The code point that starts at bytes[i] of valid UTF-8, and its length.
char32_t DecodeUtf8At(std::string_view bytes, size_t i, size_t& length)
{
    const auto lead = static_cast<uint8_t>(bytes[i]);
    length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<uint8_t>(bytes[i + k]) & 0x3F);
    return code;
}

std::optional<char> Windows1252Byte(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (size_t k = 0; k < kHighControls.size(); ++k) {
        if (kHighControls[k] == code)
            return static_cast<char>(0x80 + k);
    }
    return std::nullopt;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

bool HoldsControl(std::string_view bytes)
{
    bool high = false;
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
        high = high || byte >= 0x80;
    }
    if (!high) // most names: nothing to decode
        return false;
    // U+0080 to U+009F: in UTF-8 a C2 followed by 80 to 9F; in Windows-1252 the five bytes it has
    // no character for.
    if (IsValidUtf8(bytes)) {
        for (size_t i = 0; i + 1 < bytes.size(); ++i) {
            if (static_cast<uint8_t>(bytes[i]) == 0xC2 && static_cast<uint8_t>(bytes[i + 1]) < 0xA0)
                return true;
        }
        return false;
    }
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<uint8_t>(c);
        return byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] < 0xA0;
    });
}

std::string ToUtf8(std::string_view bytes)
{
    std::string out;
    AppendAsUtf8(out, bytes);
    return out;
}

void AppendAsUtf8(std::string& out, std::string_view bytes)
{
    if (IsValidUtf8(bytes)) {
        out.append(bytes);
        return;
    }
    out.reserve(out.size() + bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x80 && byte < 0xA0)
            AppendUtf8(out, kHighControls[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
}

std::string ToUtf8Lenient(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead >= 0x80 && !IsValidUtf8(bytes.substr(i, length))) {
            AppendUtf8(out, lead < 0xA0 ? kHighControls[lead - 0x80] : lead);
            ++i;
            continue;
        }
        out.append(bytes.substr(i, length));
        i += length;
    }
    return out;
}

size_t BidiControlLength(std::string_view utf8, size_t at)
{
    const auto byte = [utf8, at](size_t k) {
        return at + k < utf8.size() ? static_cast<uint8_t>(utf8[at + k]) : uint8_t{0};
    };
    if (byte(0) == 0xD8 && byte(1) == 0x9C) // U+061C
        return 2;
    // Every other one is E2 80 xx or E2 81 xx: U+2000 to U+207F.
    if (byte(0) != 0xE2 || (byte(1) != 0x80 && byte(1) != 0x81))
        return 0;
    const char32_t code = 0x2000 | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    const bool control = code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
                         (code >= 0x2066 && code <= 0x2069);
    return control ? 3 : 0;
}

std::string EscapeBidiControls(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (BidiControlLength(utf8, i) == 0) {
            out.push_back(utf8[i++]);
            continue;
        }
        size_t length = 0;
        const char32_t control = DecodeUtf8At(utf8, i, length);
        std::array<char, 8> escaped{};
        std::snprintf(escaped.data(), escaped.size(), "\\u%04X", static_cast<unsigned>(control));
        out.append(escaped.data());
        i += length;
    }
    return out;
}

std::optional<std::string> ToWindows1252(std::string_view utf8)
{
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0, length = 0; i < utf8.size(); i += length) {
        const auto byte = Windows1252Byte(DecodeUtf8At(utf8, i, length));
        if (!byte)
            return std::nullopt;
        out.push_back(*byte);
    }
    return out;
}

} // namespace korvane::textencoding
