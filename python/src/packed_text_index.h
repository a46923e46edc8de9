// Numbers the distinct packed result texts met, 0, 1, 2... in order of arrival.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vessane::python {

class PackedTextIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // The number of text, given a new one if it is not known yet.
    std::size_t Insert(std::uint64_t text);
    // The number of text, or kNone. Safe from several threads while nothing is inserted.
    std::size_t Find(std::uint64_t text) const;
    // The known texts, by number.
    const std::vector<std::uint64_t>& texts() const { return texts_; }

private:
    std::size_t SlotOf(std::uint64_t text) const;
    void Grow();

    std::vector<std::uint64_t> texts_;
    std::vector<std::size_t> slots_ = std::vector<std::size_t>(1024, kNone);  // open addressing
};

}  // namespace vessane::python
