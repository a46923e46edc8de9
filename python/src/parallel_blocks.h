// Work over rows cut into contiguous blocks, one thread per block.
#pragma once

#include <cstddef>
#include <functional>

namespace vessane::python {

// How many blocks rows [0, count) are cut into: at most jobs, none of fewer rows than
// a thread costs to start, at least one.
std::size_t BlockCount(std::size_t count, int jobs);

// Calls work(block, begin, end) for each of blocks contiguous blocks of [0, count), each
// on a thread of its own (the first on the caller's), and returns when all are done. An
// exception thrown by work is thrown again here once every thread has ended.
void RunBlocks(std::size_t count, std::size_t blocks,
               const std::function<void(std::size_t, std::size_t, std::size_t)>& work);

}  // namespace vessane::python
