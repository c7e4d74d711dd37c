// Plug-in scripts come from anyone who publishes a plug-in: any bytes must read without a crash,
// the same whatever blocks they arrive in, into definitions that the bytes hold.
#include "core/catalogue/ScriptFunctionReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace korvane;

namespace {

bool IsNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsNameByte(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

// Parts of letters, digits and '_' that start with no digit, with "::" between them.
bool IsFunctionName(std::string_view name)
{
    if (name.empty() || name.size() > ScriptFunctionReader::kMaxNameBytes)
        return false;
    size_t at = 0;
    for (;;) {
        if (at >= name.size() || !IsNameStart(name[at]))
            return false;
        while (at < name.size() && IsNameByte(name[at]))
            ++at;
        if (at == name.size())
            return true;
        if (name.substr(at, 2) != "::")
            return false;
        at += 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    ScriptFunctionReader whole;
    whole.Read(script);

    // Again in blocks of 1 to 16 bytes, their size taken from the script's first byte.
    const size_t block = size ? 1 + data[0] % 16 : 1;
    ScriptFunctionReader pieces;
    size_t at = 0;
    while (at < size && pieces.Read(script.substr(at, block)))
        at += block;
    if (pieces.Definitions() != whole.Definitions() || pieces.Overflowed() != whole.Overflowed())
        std::abort();

    // "function a(" is the shortest definition, and none shares bytes with another.
    if (whole.Definitions().size() * 11 > size)
        std::abort();
    const auto lines = 1 + static_cast<uint64_t>(std::count(script.begin(), script.end(), '\n') +
                                                 std::count(script.begin(), script.end(), '\r'));
    uint64_t previous = 1;
    for (const FunctionDefinition& definition : whole.Definitions()) {
        if (!IsFunctionName(definition.name) || script.find(definition.name) == script.npos)
            std::abort();
        if (definition.line < previous || definition.line > lines)
            std::abort();
        previous = definition.line;
    }
    return 0;
}
