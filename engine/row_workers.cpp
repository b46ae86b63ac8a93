#include "engine/row_workers.h"

#include "engine/extended_precision.h"
#include "engine/row_pipeline.h"

namespace nimbra {

RowWorkers::RowWorkers(const FractalParams& params, int threads, EngineShortcuts shortcuts)
    : params_(params), shortcuts_(shortcuts)
{
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

RowWorkers::~RowWorkers()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void RowWorkers::Add(std::int32_t row)
{
    {
        std::lock_guard lock(mutex_);
        todo_.push_back(row);
    }
    workAvailable_.notify_one();
}

bool RowWorkers::TakeDone(std::int32_t& row, RowCounts& counts, std::chrono::microseconds wait)
{
    std::unique_lock lock(mutex_);
    if (!rowDone_.wait_for(lock, wait, [&] { return !done_.empty(); })) return false;
    row = done_.front().first;
    counts = std::move(done_.front().second);
    done_.pop_front();
    return true;
}

void RowWorkers::Work()
{
    KeepExtendedPrecision();
    RegionMemory regions;
    std::unique_lock lock(mutex_);
    for (;;) {
        workAvailable_.wait(lock, [&] { return stop_ || !todo_.empty(); });
        if (stop_) return;
        const std::int32_t row = todo_.front();
        todo_.pop_front();
        lock.unlock();
        RowCounts counts;
        ComputeRowCounts(params_, row, stop_, shortcuts_, regions, counts);
        lock.lock();
        if (stop_) return;
        done_.emplace_back(row, std::move(counts));
        rowDone_.notify_one();
    }
}

}  // namespace nimbra
