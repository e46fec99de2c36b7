#include "UniqueNames.h"

#include <functional>

namespace tintaro {

namespace {

std::size_t hashOf(std::string_view name)
{
    return std::hash<std::string_view>()(name);
}

} // namespace

UniqueNames::UniqueNames(std::size_t expected)
{
    m_starts.reserve(expected + 1);
    m_starts.push_back(0);
    m_next.reserve(expected);
    std::size_t slots = 16;
    while (slots < 2 * expected)
        slots *= 2;
    m_slots.resize(slots);
}

std::string_view UniqueNames::take(std::string_view name)
{
    const std::size_t hash = hashOf(name);
    const std::uint32_t taken = find(name, hash);
    if (taken == kNoName)
        return add(name, hash);
    std::string candidate;
    std::size_t candidateHash;
    do {
        candidate.assign(name).append(1, '-').append(std::to_string(m_next[taken]++));
        candidateHash = hashOf(candidate);
    } while (find(candidate, candidateHash) != kNoName);
    return add(candidate, candidateHash);
}

std::string_view UniqueNames::nameAt(std::uint32_t index) const
{
    return std::string_view(m_text).substr(m_starts[index], m_starts[index + 1] - m_starts[index]);
}

std::uint32_t UniqueNames::find(std::string_view name, std::size_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.name == kNoName)
            return kNoName;
        if (slot.hash == hash && nameAt(slot.name) == name)
            return slot.name;
    }
}

std::string_view UniqueNames::add(std::string_view name, std::size_t hash)
{
    if (2 * (m_next.size() + 1) > m_slots.size())
        grow();
    const auto index = std::uint32_t(m_next.size());
    m_text.append(name);
    m_starts.push_back(m_text.size());
    m_next.push_back(2);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].name != kNoName)
        i = (i + 1) & mask;
    m_slots[i] = {hash, index};
    return nameAt(index);
}

void UniqueNames::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.name == kNoName)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].name != kNoName)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace tintaro
