#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/row_source.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace nimbra {

// Worker threads that compute whole rows handed to them in any order and hand each back when
// done; for a machine that computes the rows another one asks of it.
class RowWorkers {
public:
    RowWorkers(const FractalParams& params, int threads, EngineShortcuts shortcuts);
    ~RowWorkers();  // stops the rows being computed and waits for the threads
    RowWorkers(const RowWorkers&) = delete;
    RowWorkers& operator=(const RowWorkers&) = delete;

    void Add(std::int32_t row);
    // A row done since the last call, with its number, waiting up to wait for one; false when
    // none was done by then.
    bool TakeDone(std::int32_t& row, RowCounts& counts, std::chrono::microseconds wait);

private:
    void Work();

    const FractalParams& params_;
    const EngineShortcuts shortcuts_;
    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable rowDone_;
    std::deque<std::int32_t> todo_;
    std::deque<std::pair<std::int32_t, RowCounts>> done_;
    std::vector<std::thread> threads_;
};

}  // namespace nimbra
