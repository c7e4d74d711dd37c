#include "core/catalogue/ScriptFunctionReader.h"

#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"

#include <algorithm>
#include <string_view>

namespace korvane {

namespace {

constexpr std::string_view kKeyword = "function";

bool IsNameStart(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '_';
}

bool IsNameByte(unsigned char byte)
{
    return IsNameStart(byte) || (byte >= '0' && byte <= '9');
}

bool IsLineBreak(unsigned char byte)
{
    return byte == '\n' || byte == '\r';
}

bool IsBlank(unsigned char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f' || IsLineBreak(byte);
}

} // namespace

korvane::Result<std::vector<FunctionDefinition>>
ScriptFunctionReader::ReadFile(const std::filesystem::path& file, std::size_t blockBytes)
{
    ScriptFunctionReader reader;
    const korvane::Status read = kfs::ReadInBlocks(
        file, blockBytes, [&reader](std::string_view block) { return reader.Read(block); });
    if (!read)
        return read;
    if (reader.Overflowed())
        return korvane::Status::Failure(kpath::FromNative(file) + ": " +
                                        strings::kReasonTooManyFunctions);
    return reader.TakeDefinitions();
}

bool ScriptFunctionReader::Read(std::string_view bytes)
{
    for (const char c : bytes) {
        if (m_overflowed)
            return false;
        const auto byte = static_cast<unsigned char>(c);
        Step(byte);
        CountLine(byte);
    }
    return !m_overflowed;
}

void ScriptFunctionReader::CountLine(unsigned char byte)
{
    if (byte == '\r' || (byte == '\n' && !m_afterCr))
        ++m_line;
    m_afterCr = byte == '\r';
}

void ScriptFunctionReader::Step(unsigned char byte)
{
    switch (m_state) {
    case State::Code:
        StepCode(byte);
        return;
    case State::Comment:
        if (IsLineBreak(byte))
            m_state = State::Code;
        return;
    case State::String:
        if (IsLineBreak(byte))
            m_state = State::Code;
        else if (m_escaped)
            m_escaped = false;
        else if (byte == '\\')
            m_escaped = true;
        else if (byte == static_cast<unsigned char>(m_quote))
            m_state = State::Code;
        return;
    case State::Keyword:
    case State::Name:
    case State::Colon:
    case State::PartStart:
    case State::AfterName:
        StepDefinition(byte);
        return;
    }
}

void ScriptFunctionReader::StepDefinition(unsigned char byte)
{
    switch (m_state) {
    case State::Keyword:
        if (IsBlank(byte))
            return;
        if (IsNameStart(byte)) {
            m_name.assign(1, static_cast<char>(byte));
            m_state = State::Name;
            return;
        }
        break;
    case State::Name:
        if (byte == '(') {
            Define();
            return;
        }
        if (IsBlank(byte)) {
            m_state = State::AfterName;
            return;
        }
        if (IsNameByte(byte) || byte == ':')
            return Grow(byte, byte == ':' ? State::Colon : State::Name);
        break;
    case State::Colon:
        if (byte == ':')
            return Grow(byte, State::PartStart);
        break;
    case State::PartStart:
        if (IsNameStart(byte))
            return Grow(byte, State::Name);
        break;
    case State::AfterName:
        if (byte == '(') {
            Define();
            return;
        }
        if (IsBlank(byte))
            return;
        break;
    default:
        break;
    }
    LeaveDefinition(byte, false);
}

void ScriptFunctionReader::Grow(unsigned char byte, State next)
{
    if (m_name.size() == kMaxNameBytes)
        return LeaveDefinition(byte, true);
    m_name += static_cast<char>(byte);
    m_state = next;
}

void ScriptFunctionReader::LeaveDefinition(unsigned char byte, bool nameGoesOn)
{
    m_state = State::Code;
    // The rest of a name too long for one is a word of code, and none that starts a definition.
    m_inWord = nameGoesOn && IsNameByte(byte);
    m_wordLength = kKeyword.size() + 1;
    StepCode(byte);
}

void ScriptFunctionReader::Define()
{
    m_state = State::Code;
    m_inWord = false;
    if (m_definitions.size() == kMaxDefinitions) {
        m_overflowed = true;
        return;
    }
    m_definitions.push_back({m_name, m_definitionLine});
}

void ScriptFunctionReader::StepCode(unsigned char byte)
{
    if (IsNameByte(byte)) {
        if (!m_inWord) {
            m_inWord = true;
            m_wordLength = 0;
            m_wordIsVariable = m_afterSigil;
        }
        if (m_wordLength < kKeyword.size())
            m_word[m_wordLength] = kpath::LowerAscii(static_cast<char>(byte));
        m_wordLength = std::min(m_wordLength + 1, kKeyword.size() + 1);
        m_afterSigil = m_afterSlash = false;
        return;
    }
    if (m_inWord) {
        m_inWord = false;
        if (!m_wordIsVariable && m_wordLength == kKeyword.size() &&
            std::string_view(m_word, kKeyword.size()) == kKeyword) {
            m_definitionLine = m_line;
            m_state = State::Keyword;
            StepDefinition(byte);
            return;
        }
    }
    const bool slash = byte == '/';
    if (slash && m_afterSlash)
        m_state = State::Comment;
    else if (byte == '"' || byte == '\'') {
        m_state = State::String;
        m_quote = static_cast<char>(byte);
        m_escaped = false;
    }
    m_afterSlash = slash && m_state == State::Code;
    m_afterSigil = byte == '%' || byte == '$';
}

} // namespace korvane
