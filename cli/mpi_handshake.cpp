#include "cli/mpi_handshake.h"

#include "common/error.h"

#include <elf.h>
#include <link.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace nimbra {
namespace {

// Long enough for a rank on a busy machine to get from MPI_Init to its first receive; ranks
// of another build at the same path may never answer.
constexpr auto AnswerTimeout = std::chrono::seconds(30);
constexpr auto IdleWait = std::chrono::microseconds(100);
// Raised whenever a message changes its meaning without changing its size.
constexpr std::int32_t ProtocolVersion = 1;
constexpr std::int32_t HelloWords = 6;  // before the build ID's words

// The bytes of the executable's GNU build ID note; empty when it was linked without one.
std::vector<unsigned char> BuildId()
{
    std::vector<unsigned char> id;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            auto& bytes = *static_cast<std::vector<unsigned char>*>(found);
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type != PT_NOTE) continue;
                const auto* at = reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr);
                const unsigned char* end = at + header.p_memsz;
                while (at + sizeof(ElfW(Nhdr)) <= end) {
                    const auto* note = reinterpret_cast<const ElfW(Nhdr)*>(at);
                    const unsigned char* name = at + sizeof(ElfW(Nhdr));
                    const unsigned char* desc = name + ((note->n_namesz + 3) & ~3u);
                    if (note->n_type == NT_GNU_BUILD_ID && note->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
                        bytes.assign(desc, desc + note->n_descsz);
                        return 1;
                    }
                    at = desc + ((note->n_descsz + 3) & ~3u);
                }
            }
            return 1;  // the executable comes first; a library's ID is not wanted
        },
        &id);
    return id;
}

std::string Hex(const std::vector<std::int32_t>& hello)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = HelloWords; i < hello.size(); ++i) {
        const auto byte = static_cast<unsigned>(hello[i]);
        text += Digits[(byte >> 4) & 15];
        text += Digits[byte & 15];
    }
    return text.empty() ? "keine" : text;
}

}  // namespace

std::vector<std::int32_t> HelloMessage()
{
    std::vector<std::int32_t> hello = {ProtocolVersion,
                                       static_cast<std::int32_t>(sizeof(RunOrder)),
                                       static_cast<std::int32_t>(sizeof(long double)),
                                       static_cast<std::int32_t>(CountsHeader),
                                       static_cast<std::int32_t>(DoneTag),
                                       0};
    for (const unsigned char byte : BuildId()) hello.push_back(byte);
    hello[HelloWords - 1] = static_cast<std::int32_t>(hello.size()) - HelloWords;
    return hello;
}

void CheckRanksMatch(MpiLink& link)
{
    int ranks = 1;
    CheckMpi(MPI_Comm_size(MPI_COMM_WORLD, &ranks));
    const std::vector<std::int32_t> own = HelloMessage();
    for (int rank = 1; rank < ranks; ++rank) link.Send(own, rank, HelloTag);
    std::vector<bool> answered(static_cast<std::size_t>(ranks), false);
    int missing = ranks - 1;
    const auto deadline = std::chrono::steady_clock::now() + AnswerTimeout;
    Message message;
    while (missing > 0) {
        if (!link.TryReceive(MPI_ANY_SOURCE, message, [] { return false; })) {
            link.Progress();
            if (std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(IdleWait);
                continue;
            }
            int silent = 1;
            while (answered[static_cast<std::size_t>(silent)]) ++silent;
            link.Refuse(silent, "antwortet nicht auf die Anmeldung von Rang 0");
        }
        const auto source = static_cast<std::size_t>(message.Source);
        if (message.Tag != HelloTag || answered[source])
            link.Refuse(message.Source, "schickt vor der Anmeldung eine Nachricht, die dieser Stand nicht kennt");
        if (message.Data != own)
            link.Refuse(message.Source, "läuft mit einem anderen Stand von nimbra-mpi (Build-ID " + Hex(message.Data) +
                                            ", bei Rang 0 " + Hex(own) + ")");
        answered[source] = true;
        --missing;
    }
}

void AnswerRankZero(MpiLink& link)
{
    Message message;
    while (!link.TryReceive(0, message, [] { return false; })) std::this_thread::sleep_for(IdleWait);
    if (message.Tag != HelloTag) link.Refuse(0, "beginnt ohne Anmeldung");
    link.Send(HelloMessage(), 0, HelloTag);
}

}  // namespace nimbra
