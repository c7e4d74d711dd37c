#pragma once

#include "core/platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A function a script defines: its name as the script writes it ("Player::onDamage") and the
// line its "function" keyword stands on, counted from 1.
struct FunctionDefinition
{
    std::string name;
    std::uint64_t line = 0;

    bool operator==(const FunctionDefinition&) const = default;
};

// Finds the functions a plug-in's script defines, without running anything: the word "function"
// (in any letter case, as the game reads its scripts), a name of letters, digits and '_' that
// does not start with a digit, with "::" between its parts, and "(", blanks and line breaks
// allowed between the three. Comments ("//" to the end of the line) and strings ("..." and
// '...', with backslash escapes, ending at the end of their line at the latest, as the game's
// strings do) are no code. Any bytes may come (NUL, Windows-1252, UTF-8 with or without its
// byte order mark, CR LF, CR or LF line ends): a byte beyond ASCII is part of no name.
// The script arrives in blocks of any size, which may cut a definition anywhere.
class ScriptFunctionReader
{
public:
    // What a file is read in: a script of any size costs this much memory, and its definitions.
    static constexpr std::size_t kBlockBytes = 64 << 10;
    // A longer "name" is no definition: the game's own names are a few dozen bytes, and what a
    // definition holds stays small.
    static constexpr std::size_t kMaxNameBytes = 256;
    // More than a script of any plug-in defines: a script beyond it is refused rather than held.
    static constexpr std::size_t kMaxDefinitions = 100'000;

    // The definitions of a script file in file order, read kBlockBytes at a time. Fails, naming
    // the file, when it cannot be read or defines more than kMaxDefinitions functions.
    static korvane::Result<std::vector<FunctionDefinition>>
    ReadFile(const std::filesystem::path& file, std::size_t blockBytes = kBlockBytes);

    // Reads the next bytes of the script. False, with the rest unread, once the script defines
    // more than kMaxDefinitions functions.
    bool Read(std::string_view bytes);
    bool Overflowed() const { return m_overflowed; }
    // The definitions the bytes read so far complete, in order; one that the end of the script
    // cuts short is none.
    const std::vector<FunctionDefinition>& Definitions() const { return m_definitions; }
    std::vector<FunctionDefinition> TakeDefinitions() { return std::move(m_definitions); }

private:
    enum class State
    {
        Code,
        Comment,   // from "//" to the end of the line
        String,    // up to the closing quote, or the end of the line
        Keyword,   // after "function", before its name
        Name,      // in the name
        Colon,     // after the first ':' of "::"
        PartStart, // after "::", before the next part of the name
        AfterName, // blanks after the name, before "("
    };

    void Step(unsigned char byte);
    void StepCode(unsigned char byte);
    void StepDefinition(unsigned char byte);
    // Adds byte to the name and goes on in state next, or leaves the definition when the name
    // would grow too long.
    void Grow(unsigned char byte, State next);
    // The byte ends what looked like a definition and is read as code; nameGoesOn when the name
    // was cut off for its length.
    void LeaveDefinition(unsigned char byte, bool nameGoesOn);
    void Define();
    void CountLine(unsigned char byte);

    State m_state = State::Code;
    std::uint64_t m_line = 1;
    bool m_afterCr = false; // the last byte was a CR, whose LF adds no line

    // The word being read in code: as many of its first bytes as "function" has, lowered, and
    // how long it is so far (one more than that at most).
    char m_word[8] = {};
    std::size_t m_wordLength = 0;
    bool m_inWord = false;
    bool m_wordIsVariable = false; // %function and $function are variables, no keyword
    bool m_afterSigil = false;
    bool m_afterSlash = false;

    char m_quote = 0;
    bool m_escaped = false;

    std::string m_name;
    std::uint64_t m_definitionLine = 0;
    std::vector<FunctionDefinition> m_definitions;
    bool m_overflowed = false;
};

} // namespace korvane
