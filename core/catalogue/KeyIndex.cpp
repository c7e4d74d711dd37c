#include "core/catalogue/KeyIndex.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <bit>

namespace korvane {

namespace {

constexpr size_t kMinimumSlots = 16;

} // namespace

void KeyIndex::Clear()
{
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_count = 0;
}

void KeyIndex::Reserve(size_t count)
{
    const size_t wanted = std::bit_ceil(std::max(kMinimumSlots, 2 * count));
    if (wanted > m_slots.size())
        Rehash(wanted);
}

uint64_t KeyIndex::HashNoCase(std::string_view key)
{
    // FNV-1a over the lower-case letters, then mixed so that the low bits depend on every byte.
    uint64_t hash = 14695981039346656037ull;
    for (const char c : key)
        hash = (hash ^ static_cast<unsigned char>(kpath::LowerAscii(c))) * 1099511628211ull;
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ull;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBull;
    return hash ^ (hash >> 31);
}

CPluginInfo* KeyIndex::Find(std::string_view key, Match* match) const
{
    if (match)
        *match = Match::None;
    if (m_count == 0)
        return nullptr;
    const uint64_t hash = HashNoCase(key);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask; m_slots[i].plugin; i = (i + 1) & mask) {
        if (m_slots[i].hash != hash)
            continue;
        if (kpath::EqualsNoCase(m_slots[i].plugin->m_strFileName, key)) {
            if (match)
                *match = Match::Found;
            return m_slots[i].plugin;
        }
        if (match)
            *match = Match::Changed;
    }
    return nullptr;
}

bool KeyIndex::Insert(CPluginInfo* plugin)
{
    if (2 * (m_count + 1) > m_slots.size())
        Rehash(std::max(kMinimumSlots, 2 * m_slots.size()));
    const uint64_t hash = HashNoCase(plugin->m_strFileName);
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    for (; m_slots[i].plugin; i = (i + 1) & mask) {
        if (m_slots[i].hash == hash &&
            kpath::EqualsNoCase(m_slots[i].plugin->m_strFileName, plugin->m_strFileName))
            return false;
    }
    m_slots[i] = {hash, plugin};
    ++m_count;
    return true;
}

void KeyIndex::Rehash(size_t slotCount)
{
    std::vector<Slot> old(slotCount);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.plugin)
            continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].plugin)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace korvane
