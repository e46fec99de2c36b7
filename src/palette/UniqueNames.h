#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tintaro {

// Hands out names once each: a repeat becomes "name-2", "name-3", ... An
// export may name a million colours, so the names lie end to end in one
// string, found through one flat table: no allocation and no scattered node
// per name. A repeat counts on from where the last repeat of that name
// stopped, so that many repeats of one name cost no more than different names.
class UniqueNames
{
public:
    explicit UniqueNames(std::size_t expected = 0);

    // `name` or its first free numbered form, valid until the next call.
    // `name` must not be a view into this object.
    std::string_view take(std::string_view name);

    bool isEmpty() const { return m_next.empty(); }

private:
    static constexpr std::uint32_t kNoName = 0xFFFFFFFF;

    struct Slot
    {
        std::size_t hash = 0;
        std::uint32_t name = kNoName;
    };

    std::string_view nameAt(std::uint32_t index) const;
    std::uint32_t find(std::string_view name, std::size_t hash) const;
    std::string_view add(std::string_view name, std::size_t hash);
    void grow();

    std::string m_text;                // every name handed out, end to end
    std::vector<std::size_t> m_starts; // name i is m_text from m_starts[i] to m_starts[i + 1]
    std::vector<int> m_next;           // the number to try for the next repeat of name i
    std::vector<Slot> m_slots;         // open addressing, a power of two, at most half full
};

} // namespace tintaro
