#include "core/updater/UpdateListReader.h"

#include "res/Strings.h"

#include <limits>

namespace korvane {

namespace {

constexpr std::string_view kMagic = "UPDATE";
constexpr std::uint8_t kListVersion = 1;
constexpr std::uint8_t kRecordVersion = 1;

// Little-endian reads at data[offset]; false, with offset unchanged, when the bytes are not there.
class FieldReader
{
public:
    FieldReader(std::string_view data, std::size_t& offset) : m_data(data), m_offset(offset) {}

    bool Has(std::size_t n) const { return m_data.size() - m_offset >= n; }

    bool Byte(std::uint8_t& value)
    {
        if (!Has(1))
            return false;
        value = static_cast<std::uint8_t>(m_data[m_offset++]);
        return true;
    }

    bool Word(std::uint16_t& value)
    {
        if (!Has(2))
            return false;
        value = static_cast<std::uint16_t>(At(0) | At(1) << 8);
        m_offset += 2;
        return true;
    }

    bool Dword(std::uint32_t& value)
    {
        if (!Has(4))
            return false;
        value = At(0) | At(1) << 8 | At(2) << 16 | static_cast<std::uint32_t>(At(3)) << 24;
        m_offset += 4;
        return true;
    }

    bool Bytes(std::size_t n, std::string_view& bytes)
    {
        if (!Has(n))
            return false;
        bytes = m_data.substr(m_offset, n);
        m_offset += n;
        return true;
    }

private:
    std::uint32_t At(std::size_t i) const
    {
        return static_cast<unsigned char>(m_data[m_offset + i]);
    }

    std::string_view m_data;
    std::size_t& m_offset;
};

} // namespace

void UpdateListReader::ExpectLength(std::uint64_t bytes)
{
    m_expectedLength = bytes;
    if (bytes > kMaxListBytes)
        Fail(Failure::TooLarge, strings::kReasonListTooLarge);
}

bool UpdateListReader::Feed(std::string_view bytes)
{
    if (m_state != State::Reading)
        return false;
    // Bytes beyond the limit are never read, so a list is judged the same however it is cut.
    const std::string_view usable = bytes.substr(0, kMaxListBytes - m_fed);
    m_fed += usable.size();
    if (m_pending.empty()) {
        const std::size_t used = Parse(usable);
        m_pending.assign(usable.substr(used));
    } else {
        m_pending.append(usable);
        m_pending.erase(0, Parse(m_pending));
    }
    if (m_state == State::Reading && usable.size() < bytes.size())
        Fail(Failure::TooLarge, strings::kReasonListTooLarge);
    if (m_state != State::Reading)
        std::string().swap(m_pending); // nothing more is read: its memory goes now
    return m_state == State::Reading;
}

void UpdateListReader::Finish()
{
    if (m_state != State::Reading)
        return;
    // Fewer than six bytes cannot be checked for the magic word: they are no list at all.
    if (m_step == Step::Magic)
        Fail(Failure::NotAList, strings::kReasonNotAList);
    else
        Fail(Failure::EndsEarly, strings::kReasonEndsEarly);
    m_updates.clear();
    std::string().swap(m_pending);
}

void UpdateListReader::Fail(Failure kind, const char* reason)
{
    m_state = State::Failed;
    m_outcome = korvane::Status::Failure(kind, reason);
    m_updates.clear();
}

std::size_t UpdateListReader::Parse(std::string_view data)
{
    std::size_t offset = 0;
    while (m_state == State::Reading && ParseStep(data, offset)) {
    }
    m_consumed += offset;
    return offset;
}

bool UpdateListReader::ReadStringField(std::string_view data, std::size_t& offset,
                                       std::string& field)
{
    std::size_t at = offset;
    FieldReader read(data, at);
    std::uint8_t shortLength = 0;
    if (!read.Byte(shortLength))
        return false;
    std::uint64_t length = shortLength;
    if (shortLength == 0xFF) {
        std::uint16_t wordLength = 0;
        if (!read.Word(wordLength))
            return false;
        length = wordLength;
        if (wordLength == 0xFFFE) {
            Fail(Failure::Unreadable, strings::kReasonTextForm); // UTF-16 text follows
            return false;
        }
        if (wordLength == 0xFFFF) {
            std::uint32_t dwordLength = 0;
            if (!read.Dword(dwordLength))
                return false;
            if (dwordLength == std::numeric_limits<std::uint32_t>::max()) {
                Fail(Failure::Unreadable, strings::kReasonTextForm); // a 64-bit length follows
                return false;
            }
            length = dwordLength;
        }
    }
    // A claim that the body cannot hold is refused before anything waits for it.
    const std::uint64_t start = m_consumed + at;
    const std::uint64_t room = m_expectedLength
                                   ? (*m_expectedLength > start ? *m_expectedLength - start : 0)
                                   : kMaxListBytes;
    if (length > room) {
        Fail(Failure::TooLarge,
             m_expectedLength ? strings::kReasonStringTooLong : strings::kReasonListTooLarge);
        return false;
    }
    std::string_view text;
    if (!read.Bytes(static_cast<std::size_t>(length), text))
        return false; // the claimed length is waited for, never reserved
    field.assign(text);
    offset = at;
    return true;
}

bool UpdateListReader::ParseStep(std::string_view data, std::size_t& offset)
{
    std::size_t at = offset;
    FieldReader read(data, at);
    switch (m_step) {
    case Step::Magic: {
        std::string_view magic;
        if (!read.Bytes(kMagic.size(), magic))
            return false;
        if (magic != kMagic)
            Fail(Failure::NotAList, strings::kReasonNotAList);
        m_step = Step::ListVersion;
        break;
    }
    case Step::ListVersion: {
        std::uint8_t version = 0;
        if (!read.Byte(version))
            return false;
        if (version != kListVersion)
            Fail(Failure::NotAList, strings::kReasonNotAList);
        m_step = Step::RecordCount;
        break;
    }
    case Step::RecordCount: {
        std::uint32_t count = 0;
        if (!read.Dword(count))
            return false;
        if (static_cast<std::int32_t>(count) < 1)
            m_state = State::Complete; // a list without updates
        else if (count > kMaxUpdates)
            Fail(Failure::TooLarge, strings::kReasonTooManyUpdates);
        m_recordCount = count;
        m_step = Step::RecordVersion;
        break;
    }
    case Step::RecordVersion: {
        std::uint8_t version = 0;
        if (!read.Byte(version))
            return false;
        BeginRecord(version);
        break;
    }
    case Step::UpdateName:
        if (!ReadStringField(data, at, Current().m_strUpdateName))
            return false;
        m_step = Step::TargetDir;
        break;
    case Step::TargetDir:
        if (!ReadStringField(data, at, Current().m_strTargetDir))
            return false;
        m_step = Step::BaseURL;
        break;
    case Step::BaseURL:
        if (!ReadStringField(data, at, Current().m_strBaseURL))
            return false;
        m_step = Step::FileCount;
        break;
    case Step::FileCount: {
        std::uint16_t count = 0;
        if (!read.Word(count))
            return false;
        m_filesLeft = count;
        if (count == 0xFFFF && !read.Dword(m_filesLeft))
            return false;
        m_fileCount += m_filesLeft;
        if (m_fileCount > kMaxFiles) {
            Fail(Failure::TooLarge, strings::kReasonTooManyFiles);
            return false;
        }
        m_step = m_filesLeft > 0 ? Step::FileName : Step::VersionMajor;
        break;
    }
    case Step::FileName: {
        std::string name;
        if (!ReadStringField(data, at, name))
            return false;
        Current().m_arrFiles.push_back(CUpdateFileInfo{std::move(name), {}, 0});
        m_step = Step::FileSubDir;
        break;
    }
    case Step::FileSubDir:
        if (!ReadStringField(data, at, Current().m_arrFiles.back().m_strSubDir))
            return false;
        m_step = Step::FileSize;
        break;
    case Step::FileSize:
        if (!read.Dword(Current().m_arrFiles.back().m_dwSize))
            return false;
        m_step = --m_filesLeft > 0 ? Step::FileName : Step::VersionMajor;
        break;
    case Step::VersionMajor:
        if (!read.Byte(Current().m_nVersionMajor))
            return false;
        m_step = Step::VersionMinor;
        break;
    case Step::VersionMinor:
        if (!read.Byte(Current().m_nVersionMinor))
            return false;
        EndRecord();
        break;
    }
    if (m_state == State::Failed && !m_outcome.is(Failure::NotAList))
        return false;
    offset = at;
    return true;
}

void UpdateListReader::BeginRecord(std::uint8_t version)
{
    m_updates.push_back(std::make_unique<CUpdateInfo>());
    if (version == kRecordVersion) {
        m_step = Step::UpdateName;
        return;
    }
    // A record of another version stays empty; the next byte starts the next record.
    EndRecord();
}

void UpdateListReader::EndRecord()
{
    if (m_updates.size() == m_recordCount)
        m_state = State::Complete;
    else
        m_step = Step::RecordVersion;
}

} // namespace korvane
