#include "cli/mpi_row_source.h"

#include "cli/mpi_worker.h"
#include "common/error.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace nimbra {
namespace {

// Rows handed out ahead of the row taken next, per row the ranks take at a time: room for a
// slow row while the others go on.
constexpr std::int32_t WindowPerHeldRow = 4;
// How long rank 0 sleeps when nothing came; it never blocks in MPI, so an interrupt is seen.
constexpr auto IdleWait = std::chrono::microseconds(100);
// More rows than a rank of any machine asks to hold at a time (threads and rows in flight).
constexpr std::int32_t MaxRowsHeld = 1 << 16;

int Ranks()
{
    int size = 1;
    CheckMpi(MPI_Comm_size(MPI_COMM_WORLD, &size));
    return size;
}

}  // namespace

MpiRowSource::MpiRowSource(const FractalParams& params, const std::atomic<bool>& stop, const RunOrder& order,
                           MpiLink& link, std::int32_t firstRow)
    : params_(params),
      stop_(stop),
      reuseMirrored_(order.Shortcuts.ReuseMirroredRows),
      link_(link),
      wanted_(static_cast<std::size_t>(Ranks()), 0),
      nextRow_(firstRow),
      firstHeld_(firstRow),
      mirrored_(params),
      local_(params, WorkerThreads(order.Threads), order.Shortcuts)
{
    for (int rank = 1; rank < static_cast<int>(wanted_.size()); ++rank)
        link_.Send(&order, sizeof order, rank, OrderTag);
    wanted_[0] = RowsHeld(WorkerThreads(order.Threads));
    held_ = wanted_[0];
}

const RowCounts& MpiRowSource::Row(std::int32_t row, PumpHook& pump)
{
    ready_.erase(ready_.begin(), ready_.lower_bound(row));
    firstHeld_ = row;
    for (;;) {
        const bool came = Exchange(pump);
        const auto ready = ready_.find(row);
        if (ready != ready_.end()) return ready->second;
        pump.Poll();
        if (stop_.load()) {
            stopped_.Columns = 0;
            return stopped_;
        }
        if (!came) std::this_thread::sleep_for(IdleWait);
    }
}

bool MpiRowSource::Exchange(PumpHook& pump)
{
    bool came = false;
    Message message;
    const auto giveUp = [&] {
        pump.Poll();
        return stop_.load();
    };
    while (link_.TryReceive(MPI_ANY_SOURCE, message, giveUp)) {
        Take(message);
        came = true;
    }
    std::int32_t row = 0;
    RowCounts counts;
    while (local_.TakeDone(row, counts, {})) {
        ++wanted_[0];
        Keep(row, std::move(counts));
        came = true;
    }
    HandOut();
    link_.Progress();
    return came;
}

void MpiRowSource::Take(const Message& message)
{
    const int source = message.Source;
    std::int32_t& wanted = wanted_[static_cast<std::size_t>(source)];
    if (message.Tag == WantTag) {
        if (message.Data.size() != 1 || message.Data[0] < 1 || message.Data[0] > MaxRowsHeld)
            link_.Refuse(source, "verlangt eine unmögliche Zahl von Zeilen");
        wanted += message.Data[0];
        held_ += message.Data[0];
        return;
    }
    if (message.Tag != CountsTag)
        link_.Refuse(source, "schickt eine Nachricht, die dieser Stand nicht kennt (Art " + std::to_string(message.Tag) + ")");
    const std::size_t expected = CountsHeader + static_cast<std::size_t>(params_.Width);
    if (message.Data.size() != expected) {
        const std::string row = message.Data.empty() ? std::string("eine Zeile") : "Zeile " + std::to_string(message.Data[0]);
        link_.Refuse(source, "schickt " + row + " mit " +
                                 std::to_string(message.Data.size() - std::min(message.Data.size(), CountsHeader)) +
                                 " statt " + std::to_string(params_.Width) + " Werten");
    }
    const std::int32_t row = message.Data[0];
    const auto handed = handedOut_.find(row);
    if (handed == handedOut_.end() || handed->second != source)
        link_.Refuse(source, "schickt Zeile " + std::to_string(row) + ", die ihm nicht aufgetragen war");
    if (message.Data[1] < -1 || message.Data[1] >= params_.Width || message.Data[2] < -1 || message.Data[2] > 255)
        link_.Refuse(source, "schickt Zeile " + std::to_string(row) + " mit ungültigem Kopf");
    handedOut_.erase(handed);
    ++wanted;
    RowCounts counts;
    counts.Counts.assign(message.Data.begin() + CountsHeader, message.Data.end());
    counts.Columns = static_cast<std::int32_t>(counts.Counts.size());
    counts.OutOfRangeColumn = message.Data[1];
    counts.UniformFormula = message.Data[2];
    Keep(row, std::move(counts));
}

void MpiRowSource::Keep(std::int32_t row, RowCounts&& counts)
{
    RowCounts& kept = ready_[row] = std::move(counts);
    if (reuseMirrored_) mirrored_.Keep(row, kept, nextRow_);
}

void MpiRowSource::HandOut()
{
    while (nextRow_ < params_.Height && nextRow_ < firstHeld_ + WindowRows()) {
        if (reuseMirrored_) {
            RowCounts kept;
            if (mirrored_.Take(nextRow_, kept)) {
                ready_[nextRow_++] = std::move(kept);
                continue;
            }
        }
        // The rank with the most room gets the row.
        std::size_t rank = 0;
        for (std::size_t other = 1; other < wanted_.size(); ++other)
            if (wanted_[other] > wanted_[rank]) rank = other;
        if (wanted_[rank] <= 0) return;
        --wanted_[rank];
        if (rank == 0) {
            local_.Add(nextRow_);
        } else {
            handedOut_[nextRow_] = static_cast<int>(rank);
            link_.Send(&nextRow_, sizeof nextRow_, static_cast<int>(rank), RowTag);
        }
        ++nextRow_;
    }
}

std::int32_t MpiRowSource::WindowRows() const { return WindowPerHeldRow * held_; }

void EndWorkers(MpiLink& link)
{
    const int ranks = Ranks();
    for (int rank = 1; rank < ranks; ++rank) link.Send(nullptr, 0, rank, EndTag);
    int done = 1;
    Message message;
    while (done < ranks || link.SendsPending()) {
        bool came = false;
        while (link.TryReceive(MPI_ANY_SOURCE, message, [] { return false; })) {
            came = true;
            if (message.Tag == DoneTag) ++done;
        }
        link.Progress();
        if (!came) std::this_thread::sleep_for(IdleWait);
    }
}

}  // namespace nimbra
