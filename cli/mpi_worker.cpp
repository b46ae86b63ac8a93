#include "cli/mpi_worker.h"

#include "cli/mpi_handshake.h"
#include "cli/mpi_link.h"
#include "engine/row_workers.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace nimbra {
namespace {

// Rows a rank holds beyond one per thread: a thread that finishes a row finds the next one
// here while its counts travel to rank 0 and the request for another comes back.
constexpr std::int32_t RowsInFlight = 2;
// How long a worker waits for a row to be done before it looks for messages again.
constexpr auto PollWait = std::chrono::microseconds(100);
constexpr auto SendingWait = std::chrono::microseconds(5);

// The counts as rank 0 expects them: row, out-of-range column, uniform formula, counts.
std::vector<std::int32_t> CountsMessage(std::int32_t row, const RowCounts& counts)
{
    std::vector<std::int32_t> data = {row, counts.OutOfRangeColumn, counts.UniformFormula};
    data.insert(data.end(), counts.Counts.begin(), counts.Counts.end());
    return data;
}

}  // namespace

int WorkerThreads(std::int32_t asked)
{
    return asked > 0 ? asked : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::int32_t RowsHeld(int threads) { return threads + RowsInFlight; }

int RunMpiWorker()
{
    MpiLink link;
    std::optional<RunOrder> order;
    std::unique_ptr<RowWorkers> workers;
    const auto never = [] { return false; };
    Message message;
    AnswerRankZero(link);
    for (;;) {
        while (link.TryReceive(0, message, never)) {
            if (message.Tag == OrderTag) {
                if (message.Data.size() * sizeof(std::int32_t) != sizeof(RunOrder))
                    link.Refuse(0, "schickt einen Auftrag anderer Länge");
                order.emplace();
                std::memcpy(static_cast<void*>(&*order), message.Data.data(), sizeof(RunOrder));
                const int threads = WorkerThreads(order->Threads);
                workers = std::make_unique<RowWorkers>(order->Params, threads, order->Shortcuts);
                link.Send({RowsHeld(threads)}, 0, WantTag);
            } else if (message.Tag == RowTag) {
                if (!workers || message.Data.size() != 1 || message.Data[0] < 0 ||
                    message.Data[0] >= order->Params.Height)
                    link.Refuse(0, "schickt eine ungültige Zeilennummer");
                workers->Add(message.Data[0]);
            } else if (message.Tag == EndTag) {
                workers.reset();
                link.Send(nullptr, 0, 0, DoneTag);
                while (link.SendsPending()) {
                    link.Progress();
                    std::this_thread::sleep_for(PollWait);
                }
                return 0;
            } else {
                link.Refuse(0, "schickt eine Nachricht, die dieser Stand nicht kennt (Art " +
                                   std::to_string(message.Tag) + ")");
            }
        }
        link.Progress();
        if (!workers) {
            std::this_thread::sleep_for(PollWait);
            continue;
        }
        std::int32_t row = 0;
        RowCounts counts;
        // Counts larger than MPI's eager limit travel only while this rank drives them.
        const auto firstWait = link.SendsPending() ? SendingWait : PollWait;
        for (auto wait = firstWait; workers->TakeDone(row, counts, wait); wait = {})
            link.Send(CountsMessage(row, counts), 0, CountsTag);
    }
}

}  // namespace nimbra
