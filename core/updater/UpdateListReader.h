#pragma once

#include "core/platform/Status.h"
#include "core/updater/CUpdateInfo.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Reads an update list while its bytes arrive, in pieces of any size. Every count and length in
// the list is a claim of the sender: nothing is reserved for it, and a claim beyond the limits
// below ends the reading at once, so what the reader holds stays within a few times the bytes
// that actually came.
class UpdateListReader
{
public:
    // Why a list cannot be used.
    enum class Failure
    {
        NotAList,   // no "UPDATE" at the start or another list version: a page, a script, ...
        EndsEarly,  // the bytes ended inside a record
        Unreadable, // a string in a form this program does not read (UTF-16 or 64-bit length)
        TooLarge,   // beyond a limit below, or a string longer than the rest of the body
    };

    static constexpr std::uint64_t kMaxListBytes = 64 << 20;
    static constexpr std::uint32_t kMaxUpdates = 100000;
    static constexpr std::uint32_t kMaxFiles = 100000; // in all the list's updates together

    // The body's whole length, when the server announced it.
    void ExpectLength(std::uint64_t bytes);

    // Takes the next bytes. False once no more are wanted, so that the transfer may stop.
    bool Feed(std::string_view bytes);
    // The bytes have ended.
    void Finish();

    // More bytes are wanted: the list is neither complete nor refused.
    bool IsReading() const { return m_state == State::Reading; }
    // Ok while reading and once every record was read, or the list claims none (anything after
    // them is not used); otherwise why the list cannot be used, with its Failure kind.
    const korvane::Status& Outcome() const { return m_outcome; }
    // Bytes read up to the end of the last record (or up to where reading stopped).
    std::uint64_t ConsumedBytes() const { return m_consumed; }
    // The records read so far, in list order.
    std::vector<std::unique_ptr<CUpdateInfo>> TakeUpdates() { return std::move(m_updates); }

private:
    enum class Step
    {
        Magic,
        ListVersion,
        RecordCount,
        RecordVersion,
        UpdateName,
        TargetDir,
        BaseURL,
        FileCount,
        FileName,
        FileSubDir,
        FileSize,
        VersionMajor,
        VersionMinor,
    };

    // Reads as many whole fields from data as it holds; returns how many bytes they took.
    std::size_t Parse(std::string_view data);
    // Reads the field of the current step at data[offset]; false when it is not all there yet.
    bool ParseStep(std::string_view data, std::size_t& offset);
    bool ReadStringField(std::string_view data, std::size_t& offset, std::string& field);
    void BeginRecord(std::uint8_t version);
    void EndRecord();

    void Fail(Failure kind, const char* reason);
    CUpdateInfo& Current() { return *m_updates.back(); }

    enum class State
    {
        Reading,
        Complete,
        Failed,
    };

    State m_state = State::Reading;
    korvane::Status m_outcome = korvane::Status::Success();
    Step m_step = Step::Magic;
    std::string m_pending; // bytes of a field that has not arrived whole
    std::uint64_t m_consumed = 0;
    std::uint64_t m_fed = 0;
    std::optional<std::uint64_t> m_expectedLength;
    std::uint64_t m_fileCount = 0;
    std::uint32_t m_recordCount = 0;
    std::uint32_t m_filesLeft = 0;
    std::vector<std::unique_ptr<CUpdateInfo>> m_updates;
};

} // namespace korvane
