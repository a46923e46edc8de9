#include "parallel_blocks.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace vessane::python {
namespace {

// Below this many rows a thread costs more than it saves.
constexpr std::size_t kMinRowsPerThread = 4096;

}  // namespace

std::size_t BlockCount(std::size_t count, int jobs) {
    return std::clamp<std::size_t>(count / kMinRowsPerThread, 1,
                                   static_cast<std::size_t>(std::max(jobs, 1)));
}

void RunBlocks(std::size_t count, std::size_t blocks,
               const std::function<void(std::size_t, std::size_t, std::size_t)>& work) {
    std::vector<std::exception_ptr> failures(blocks);
    const auto run = [&](std::size_t b) {
        try {
            work(b, count * b / blocks, count * (b + 1) / blocks);
        } catch (...) {
            failures[b] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(blocks - 1);
        for (std::size_t b = 1; b < blocks; ++b) threads.emplace_back(run, b);
        run(0);
    }  // joined here, also when starting a thread failed
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace vessane::python
