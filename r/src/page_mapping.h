// Large new vectors are written once from start to end; mapping their pages in one
// request costs far less than a page fault for each 4 kB page (most of all under a
// hypervisor), which otherwise takes a large share of a call's time.
#pragma once

#include <cstddef>

namespace vessane::r {

// Asks the system to back [data, data + bytes) with memory now. Only a hint: does
// nothing where the system has no such request, or on failure.
void MapForWriting(void* data, std::size_t bytes);

}  // namespace vessane::r
