#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace korvane {

class CPluginInfo;

// The first record of each key, found by the key in any letter case. One flat table of hashes
// and records: a scan of a hundred thousand plug-ins fills it without an allocation per key, and
// a look-up touches one place in memory rather than a chain of nodes.
class KeyIndex
{
public:
    enum class Match
    {
        None,
        Found,
        Changed
    };

    void Clear();
    // Room for count keys without growing.
    void Reserve(size_t count);
    // The record indexed for key, or null; Changed (and null) when a record was indexed under
    // this key but holds another key now.
    CPluginInfo* Find(std::string_view key, Match* match = nullptr) const;
    // Indexes plugin under its key unless a record of that key is indexed; true when it was.
    bool Insert(CPluginInfo* plugin);
    size_t Size() const { return m_count; }

private:
    struct Slot
    {
        uint64_t hash = 0;
        CPluginInfo* plugin = nullptr; // null: free
    };

    static uint64_t HashNoCase(std::string_view key);
    void Rehash(size_t slotCount);

    std::vector<Slot> m_slots; // a power of two of them, at most half in use
    size_t m_count = 0;
};

} // namespace korvane
