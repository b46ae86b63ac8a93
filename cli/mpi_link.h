#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"

#include <mpi.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <type_traits>
#include <vector>

namespace nimbra {

// What rank 0 sends the other ranks for a run: the params after the corrections. Sent as its
// bytes: every rank runs the same binary, so the layout and the long doubles are the same.
struct RunOrder {
    FractalParams Params;
    EngineShortcuts Shortcuts;
    std::int32_t Threads = 0;  // 0: all cores of the machine
};
static_assert(std::is_trivially_copyable_v<RunOrder> && sizeof(RunOrder) % sizeof(std::int32_t) == 0);

enum MessageTag : int {
    OrderTag = 1,  // to a worker: a RunOrder
    RowTag,        // to a worker: the number of a row to compute
    EndTag,        // to a worker: no more rows; it answers DoneTag, after which it sends nothing
    WantTag,       // to rank 0: how many rows the worker takes at a time
    CountsTag,     // to rank 0: row, out-of-range column, uniform formula, the counts; asks for one more row
    DoneTag,       // to rank 0: the answer to EndTag
    HelloTag,      // first of all, both ways: the build and the message layout (cli/mpi_handshake.h)
};

// The header of CountsTag before the counts.
constexpr std::size_t CountsHeader = 3;

// Throws Error with MPI's own text when a call failed.
void CheckMpi(int code);

struct Message {
    int Source = 0;
    int Tag = 0;
    std::vector<std::int32_t> Data;
};

// One rank's side of the job's messages: sends that never wait for the receiver and receives
// that are polled, so that the rank never blocks in MPI and keeps seeing its stop flag.
class MpiLink {
public:
    MpiLink() = default;
    MpiLink(const MpiLink&) = delete;
    MpiLink& operator=(const MpiLink&) = delete;

    // The bytes are kept until MPI has taken them.
    void Send(const void* data, std::size_t bytes, int rank, int tag);
    void Send(const std::vector<std::int32_t>& data, int rank, int tag)
    {
        Send(data.data(), data.size() * sizeof(std::int32_t), rank, tag);
    }
    // Takes a message from source (or MPI_ANY_SOURCE) when one has come. When giveUp says so
    // while its bytes are still on their way, false is returned and a later call finishes it.
    bool TryReceive(int source, Message& message, const std::function<bool()>& giveUp);
    // Lets go of the sent messages MPI has taken.
    void Progress();
    bool SendsPending() const { return !sends_.empty(); }

    // A rank sent what no rank of this build sends: throws Error naming it, and remembers that
    // the job cannot be ended in order, since that rank may never answer again.
    [[noreturn]] void Refuse(int rank, const std::string& what);
    bool RankRefused() const { return rankRefused_; }

private:
    struct Outgoing {
        std::vector<char> Bytes;
        MPI_Request Request = MPI_REQUEST_NULL;
    };
    std::list<Outgoing> sends_;  // stable addresses while MPI holds them
    Message receiving_;
    MPI_Request receive_ = MPI_REQUEST_NULL;
    bool rankRefused_ = false;
};

}  // namespace nimbra
