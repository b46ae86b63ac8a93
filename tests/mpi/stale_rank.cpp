// A rank of another build, for the tests: started beside nimbra-mpi render (mpiexec -n 1
// nimbra-mpi render ... : -n 1 stale_rank MODE), it answers rank 0 as MODE says.
//   other-build  answers the hello with another build ID
//   short-rows   passes the hello, then sends rows of half the image's width
//   long-rows    the same with twice the width
//   foreign-row  the same with the image's width, numbered one past the row it was given
#include "cli/mpi_link.h"

#include <mpi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

nimbra::Message Receive()
{
    MPI_Status status{};
    MPI_Probe(0, MPI_ANY_TAG, MPI_COMM_WORLD, &status);
    int bytes = 0;
    MPI_Get_count(&status, MPI_BYTE, &bytes);
    nimbra::Message message{.Source = 0, .Tag = status.MPI_TAG,
                            .Data = std::vector<std::int32_t>(static_cast<std::size_t>(bytes) / 4)};
    MPI_Recv(message.Data.data(), bytes, MPI_BYTE, 0, status.MPI_TAG, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
    return message;
}

void Send(const std::vector<std::int32_t>& data, int tag)
{
    MPI_Send(data.data(), static_cast<int>(data.size() * 4), MPI_BYTE, 0, tag, MPI_COMM_WORLD);
}

}  // namespace

int main(int argc, char** argv)
{
    MPI_Init(&argc, &argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    std::vector<std::int32_t> hello = Receive().Data;
    if (mode == "other-build") hello.back() ^= 1;
    Send(hello, nimbra::HelloTag);
    std::int32_t width = 0;
    for (;;) {
        const nimbra::Message message = Receive();
        if (message.Tag == nimbra::OrderTag) {
            nimbra::RunOrder order;
            std::memcpy(static_cast<void*>(&order), message.Data.data(), sizeof order);
            width = order.Params.Width;
            Send({4}, nimbra::WantTag);
        } else if (message.Tag == nimbra::RowTag) {
            const std::int32_t row = message.Data[0];
            const std::int32_t length = mode == "short-rows" ? width / 2 : mode == "long-rows" ? width * 2 : width;
            std::vector<std::int32_t> counts = {mode == "foreign-row" ? row + 1 : row, -1, -1};
            counts.resize(nimbra::CountsHeader + static_cast<std::size_t>(length), 0);
            Send(counts, nimbra::CountsTag);
        } else if (message.Tag == nimbra::EndTag) {
            Send({}, nimbra::DoneTag);
            break;
        }
    }
    MPI_Finalize();
    return 0;
}
