#include "cli/mpi_link.h"

#include "common/error.h"

#include <cstring>
#include <iterator>
#include <string>

namespace nimbra {

void CheckMpi(int code)
{
    if (code == MPI_SUCCESS) return;
    char text[MPI_MAX_ERROR_STRING];
    int length = 0;
    MPI_Error_string(code, text, &length);
    throw Error::Mpi(std::string(text, static_cast<std::size_t>(length)));
}

void MpiLink::Send(const void* data, std::size_t bytes, int rank, int tag)
{
    Outgoing& message = sends_.emplace_back();
    message.Bytes.resize(bytes);
    if (bytes > 0) std::memcpy(message.Bytes.data(), data, bytes);
    CheckMpi(MPI_Isend(message.Bytes.data(), static_cast<int>(bytes), MPI_BYTE, rank, tag, MPI_COMM_WORLD,
                       &message.Request));
}

bool MpiLink::TryReceive(int source, Message& message, const std::function<bool()>& giveUp)
{
    if (receive_ == MPI_REQUEST_NULL) {
        int found = 0;
        MPI_Message handle = MPI_MESSAGE_NULL;
        MPI_Status status{};
        CheckMpi(MPI_Improbe(source, MPI_ANY_TAG, MPI_COMM_WORLD, &found, &handle, &status));
        if (found == 0) return false;
        int bytes = 0;
        CheckMpi(MPI_Get_count(&status, MPI_BYTE, &bytes));
        receiving_.Source = status.MPI_SOURCE;
        receiving_.Tag = status.MPI_TAG;
        receiving_.Data.resize(static_cast<std::size_t>(bytes) / sizeof(std::int32_t));
        CheckMpi(MPI_Imrecv(receiving_.Data.data(), bytes, MPI_BYTE, &handle, &receive_));
    }
    for (;;) {
        int done = 0;
        CheckMpi(MPI_Test(&receive_, &done, MPI_STATUS_IGNORE));
        if (done != 0) {
            std::swap(message, receiving_);
            return true;
        }
        if (giveUp()) return false;
    }
}

void MpiLink::Refuse(int rank, const std::string& what)
{
    rankRefused_ = true;
    throw Error::UntrustedRank(rank, what);
}

void MpiLink::Progress()
{
    for (auto message = sends_.begin(); message != sends_.end();) {
        int done = 0;
        CheckMpi(MPI_Test(&message->Request, &done, MPI_STATUS_IGNORE));
        message = done != 0 ? sends_.erase(message) : std::next(message);
    }
}

}  // namespace nimbra
