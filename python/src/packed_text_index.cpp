#include "packed_text_index.h"

namespace vessane::python {

std::size_t PackedTextIndex::SlotOf(std::uint64_t text) const {
    const std::size_t mask = slots_.size() - 1;  // a power of two
    std::size_t slot = static_cast<std::size_t>((text * 0x9E3779B97F4A7C15u) >> 32) & mask;
    while (slots_[slot] != kNone && texts_[slots_[slot]] != text) slot = (slot + 1) & mask;
    return slot;
}

std::size_t PackedTextIndex::Find(std::uint64_t text) const {
    return slots_[SlotOf(text)];
}

std::size_t PackedTextIndex::Insert(std::uint64_t text) {
    const std::size_t slot = SlotOf(text);
    if (slots_[slot] != kNone) return slots_[slot];
    const std::size_t number = texts_.size();
    texts_.push_back(text);
    slots_[slot] = number;
    if (2 * texts_.size() > slots_.size()) Grow();  // at most half full: short probes
    return number;
}

void PackedTextIndex::Grow() {
    slots_.assign(2 * slots_.size(), kNone);
    for (std::size_t number = 0; number < texts_.size(); ++number) {
        slots_[SlotOf(texts_[number])] = number;
    }
}

}  // namespace vessane::python
