#include "engine/resumable_image.h"

#include "common/error.h"
#include "common/output_file.h"
#include "engine/resume_record.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace nimbra {
namespace {

// How often the rows on disk are synced and recorded: what a power cut may cost.
constexpr auto CheckpointInterval = std::chrono::seconds(3);
// A render that ends this soon is quicker to do again than to continue: until then its rows
// are held, not written a second time, unless it is stopped. They are read back from the final
// file when it can give them, and copied in memory when not.
constexpr auto HoldRowsFor = std::chrono::milliseconds(250);
constexpr std::size_t HeldRowsLimit = std::size_t{16} << 20;
// Rows read back at once into the rows' file.
constexpr std::size_t ReadBackBytes = std::size_t{1} << 20;

// The first bytes of the rows' file, which only this program writes: a file of that name
// without them is someone else's and is never written over.
constexpr char RowsMark[] = "\x7Fnimbra rows to resume\n";
constexpr std::size_t RowsMarkSize = sizeof RowsMark - 1;

const char* const StartsAfreshHint = "Eine Berechnung ohne --resume beginnt von vorn und verwirft das Gesicherte.";

// The rows' file as it was left, or a new one; never through a symbolic link, never a FIFO.
struct RowsFile {
    FileDescriptor File;
    bool Existed = false;
    bool Foreign = false;  // not empty, and without the mark
    IoError Error;
};

bool StartsWithMark(const FileDescriptor& file)
{
    char head[RowsMarkSize];
    return ::pread(file.Get(), head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
           std::string(head, sizeof head) == RowsMark;
}

RowsFile OpenRowsFile(const std::string& path)
{
    RowsFile rows;
    for (int attempt = 0; attempt < 2 && !rows.File.IsOpen(); ++attempt) {
        rows.File = FileDescriptor(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        rows.Existed = rows.File.IsOpen();
        if (rows.Existed || errno != ENOENT) break;
        // 0666: the user's umask decides, as for the image itself.
        rows.File = FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!rows.File.IsOpen() && errno != EEXIST) {  // EEXIST: another render made it meanwhile
            // No such file yet: a refusal is the folder's.
            rows.Error = errno == EACCES || errno == EPERM ? IoError::InFolder(errno) : IoError::Last();
            break;
        }
    }
    struct stat info {};
    if (!rows.File.IsOpen()) {
        if (!rows.Error) rows.Error = IoError::Last();
    } else if (::fstat(rows.File.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        rows.Error = IoError(NotAPlainFile);
    }
    if (rows.Error) rows.File.Close();
    rows.Foreign = rows.File.IsOpen() && info.st_size > 0 && !StartsWithMark(rows.File);
    return rows;
}

std::uint64_t SizeOf(const FileDescriptor& file)
{
    struct stat info {};
    return ::fstat(file.Get(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace

UnfinishedFiles UnfinishedFilesOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    // Appended piece by piece: g++ 12 warns wrongly about a chain of + here.
    std::string hidden = path.substr(0, nameAt);
    hidden += '.';
    hidden.append(path, nameAt);
    UnfinishedFiles files{hidden, hidden};
    files.Rows += ".nimbra-part";
    files.Record += ".nimbra-resume";
    return files;
}

std::unique_ptr<ImageOutput> ResumableImage::Open(const std::string& path, std::string parameters, Start start,
                                                  std::int32_t width, std::int32_t height,
                                                  std::unique_ptr<ImageOutput> finalFile, UserDialogs& dialogs)
{
    const UnfinishedFiles files = UnfinishedFilesOf(path);
    RowsFile rows = OpenRowsFile(files.Rows);
    if (rows.Error) {
        dialogs.ShowMessage(WithReason("Hinweis: " + files.Rows + " kann nicht angelegt werden; " + path +
                                           " wird ohne ihn geschrieben und kann nach einer Unterbrechung nicht "
                                           "fortgesetzt werden.",
                                       rows.Error));
        return finalFile;
    }
    if (rows.Foreign) {
        dialogs.ShowMessage("Die Datei " + files.Rows + " stammt nicht von Nimbra und bleibt, wie sie ist; " + path +
                            " wird nicht berechnet.");
        return nullptr;
    }
    if (::flock(rows.File.Get(), LOCK_EX | LOCK_NB) != 0) {
        dialogs.ShowMessage("Die Bilddatei " + path + " wird gerade von einem anderen Lauf berechnet.");
        return nullptr;
    }
    const auto refuse = [&](const std::string& message) -> std::unique_ptr<ImageOutput> {
        if (!rows.Existed) ::unlink(files.Rows.c_str());  // made just now: nothing of the user's
        dialogs.ShowMessage(message);
        return nullptr;
    };

    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * 3;
    std::int32_t rowsDone = 0;
    if (start == Start::Continue) {
        const FileContent content = ReadWholeFile(files.Record);
        if (content.Error.Number() == ENOENT) {
            dialogs.ShowMessage("Für " + path + " gibt es keine unterbrochene Berechnung; sie beginnt von vorn.");
        } else {
            const std::optional<ResumeRecord> record =
                content.Error ? std::nullopt : DecodeResumeRecord(content.Bytes);
            if (record && record->Parameters != parameters)
                return refuse("Die unterbrochene Berechnung von " + path +
                              " wurde mit anderen Parametern begonnen; --resume setzt sie nur mit denselben fort. " +
                              StartsAfreshHint);
            // The file at fault is named: the record, or the rows when fewer lie there than it counts.
            const bool recordDamaged = !record || record->RowsDone > height;
            if (recordDamaged || SizeOf(rows.File) < RowsMarkSize + record->RowsDone * rowBytes)
                return refuse("Der Stand der unterbrochenen Berechnung von " + path + " ist beschädigt (" +
                              (recordDamaged ? files.Record : files.Rows) + "); --resume kann sie nicht fortsetzen. " +
                              StartsAfreshHint);
            rowsDone = record->RowsDone;
            dialogs.ShowMessage(path + ": " + std::to_string(rowsDone) + " von " + std::to_string(height) +
                                " Zeilen sind schon berechnet, die Berechnung geht danach weiter.");
        }
    }

    std::unique_ptr<ResumableImage> image(
        new ResumableImage(path, std::move(parameters), width, std::move(finalFile), std::move(rows.File)));
    image->rowsWritten_ = rowsDone;
    // The new record first: killed before the rows are cut back, the old rows still match it.
    image->Checkpoint();
    const int file = image->rows_.Get();
    const auto keptBytes = static_cast<off_t>(RowsMarkSize + rowsDone * rowBytes);
    if (::ftruncate(file, keptBytes) != 0 || ::pwrite(file, RowsMark, RowsMarkSize, 0) != static_cast<ssize_t>(RowsMarkSize) ||
        ::lseek(file, RowsMarkSize, SEEK_SET) < 0)
        throw Error::Io(IoError::Last(), image->files_.Rows);
    image->CopyRowsOnDisk();
    return image;
}

ResumableImage::ResumableImage(const std::string& path, std::string parameters, std::int32_t width,
                               std::unique_ptr<ImageOutput> finalFile, FileDescriptor rows)
    : files_(UnfinishedFilesOf(path)),
      parameters_(std::move(parameters)),
      rowBytes_(static_cast<std::size_t>(width) * 3),
      final_(std::move(finalFile)),
      rows_(std::move(rows)),
      readsBack_(final_->ReadsRowsBack()),
      heldRows_(readsBack_ ? 0 : HeldRowsLimit),
      holdUntil_(std::chrono::steady_clock::now() + HoldRowsFor)
{
}

ResumableImage::~ResumableImage()
{
    if (!finished_) Stop();
}

void ResumableImage::CopyRowsOnDisk()
{
    std::vector<std::uint8_t> row(rowBytes_);
    for (std::int32_t done = 0; done < rowsWritten_; ++done) {
        const ReadResult read = rows_.Read(row.data(), row.size());
        if (read.Error || read.Bytes != row.size()) throw Error::Io(read.Error ? read.Error : IoError(EIO), files_.Rows);
        final_->WriteRow(row.data());
    }
}

void ResumableImage::WriteRow(const std::uint8_t* bgr)
{
    final_->WriteRow(bgr);
    const auto now = std::chrono::steady_clock::now();
    if (!Hold(bgr, now)) {
        WriteHeldRows();
        if (const IoError error = rows_.Write(bgr, rowBytes_)) throw Error::Io(error, files_.Rows);
    }
    ++rowsWritten_;
    if (now - lastCheckpoint_ >= CheckpointInterval) Checkpoint();
}

bool ResumableImage::Hold(const std::uint8_t* bgr, std::chrono::steady_clock::time_point now)
{
    if (now >= holdUntil_) return false;
    if (readsBack_ ? (static_cast<std::size_t>(rowsHeld_) + 1) * rowBytes_ > HeldRowsLimit
                   : !heldRows_.Append(bgr, rowBytes_))
        return false;
    ++rowsHeld_;
    return true;
}

void ResumableImage::WriteHeldRows()
{
    if (rowsHeld_ == 0) return;
    if (!readsBack_) {
        if (const IoError error = rows_.Write(heldRows_.Data(), heldRows_.Size())) throw Error::Io(error, files_.Rows);
        heldRows_.Clear();
        rowsHeld_ = 0;
        return;
    }
    const auto rowsAtOnce = static_cast<std::int32_t>(std::max<std::size_t>(ReadBackBytes / rowBytes_, 1));
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(std::min(rowsHeld_, rowsAtOnce)) * rowBytes_);
    while (rowsHeld_ > 0) {
        const std::int32_t count = std::min(rowsHeld_, rowsAtOnce);
        final_->ReadRows(rowsWritten_ - rowsHeld_, count, rows.data());
        if (const IoError error = rows_.Write(rows.data(), static_cast<std::size_t>(count) * rowBytes_))
            throw Error::Io(error, files_.Rows);
        rowsHeld_ -= count;
    }
}

void ResumableImage::Checkpoint()
{
    if (rowsWritten_ == rowsRecorded_) return;
    WriteHeldRows();
    if (::fdatasync(rows_.Get()) != 0) throw Error::Io(IoError::Last(), files_.Rows);
    if (const IoError error = WriteWholeFile(files_.Record, EncodeResumeRecord({parameters_, rowsWritten_})))
        throw Error::Io(error, files_.Record);
    rowsRecorded_ = rowsWritten_;
    lastCheckpoint_ = std::chrono::steady_clock::now();
}

std::string ResumableImage::Finish()
{
    // Should putting the image in place fail (a full disk), the destructor records every row in
    // the rows' file or held in memory, and the next try only writes those; rows held in the
    // final file are gone with it, and the next try computes them again.
    const std::string name = final_->Finish();
    finished_ = true;
    // The record first: rows without a record are taken for a render that never began.
    ::unlink(files_.Record.c_str());
    ::unlink(files_.Rows.c_str());
    return name;
}

void ResumableImage::Stop() noexcept
{
    try {
        Checkpoint();
    } catch (const Error&) {
        // The last record stays, and the rows it counts are on disk.
    }
    final_->Stop();
}

}  // namespace nimbra
