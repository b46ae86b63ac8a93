#pragma once
#include "common/file_descriptor.h"
#include "common/user_dialogs.h"
#include "engine/held_bytes.h"
#include "engine/image_output.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nimbra {

// What an unfinished render of a named image keeps beside the name, in the same folder: its
// rows as they are coloured (".NAME.nimbra-part") and the record (".NAME.nimbra-resume").
struct UnfinishedFiles {
    std::string Rows;
    std::string Record;
};
UnfinishedFiles UnfinishedFilesOf(const std::string& path);

// An image whose rows go into the final file and also, once it has run for a moment, to a file
// of their own beside its name, with a record of the parameters and of the rows safely on disk,
// synced every few seconds. A render that does not complete, whatever ends it, leaves both
// behind, and a later one with the same parameters copies those rows into its final file and
// continues after them. Finish puts the final file in place and removes both.
class ResumableImage final : public ImageOutput {
public:
    enum class Start { Afresh, Continue };

    // The rows of an image for finalFile (made and checked already, header written), whose
    // parameter bytes are parameters. Afresh throws away what an earlier render left; Continue
    // goes on from it, and refuses a record of other parameters or a damaged one. Messages go
    // to dialogs; nothing when refused. When the rows' file cannot be made (its folder is not
    // writable, the name too long), the image is written straight into finalFile instead and
    // cannot be continued.
    static std::unique_ptr<ImageOutput> Open(const std::string& path, std::string parameters, Start start,
                                             std::int32_t width, std::int32_t height,
                                             std::unique_ptr<ImageOutput> finalFile, UserDialogs& dialogs);
    ~ResumableImage() override;  // unfinished: the rows written so far are synced and recorded
    ResumableImage(const ResumableImage&) = delete;
    ResumableImage& operator=(const ResumableImage&) = delete;

    std::int32_t RowsDone() const override { return rowsWritten_; }
    void WriteRow(const std::uint8_t* bgr) override;
    std::string Finish() override;
    void Stop() noexcept override;

private:
    ResumableImage(const std::string& path, std::string parameters, std::int32_t width,
                   std::unique_ptr<ImageOutput> finalFile, FileDescriptor rows);
    void Checkpoint();      // throws Error::Io
    bool Hold(const std::uint8_t* bgr, std::chrono::steady_clock::time_point now);  // the row, when it may wait
    void WriteHeldRows();   // throws Error
    void CopyRowsOnDisk();  // from the rows' file, at its first row, into the final file; throws Error::Io

    UnfinishedFiles files_;
    std::string parameters_;
    std::size_t rowBytes_;
    std::unique_ptr<ImageOutput> final_;
    FileDescriptor rows_;
    bool readsBack_;       // the final file gives back the rows held, and none are copied
    HeldBytes heldRows_;   // copies of the rows held, where it does not
    std::int32_t rowsHeld_ = 0;  // the last rows written, not yet in the rows' file
    std::chrono::steady_clock::time_point holdUntil_;
    std::int32_t rowsWritten_ = 0;
    std::int32_t rowsRecorded_ = -1;
    std::chrono::steady_clock::time_point lastCheckpoint_;
    bool finished_ = false;
};

}  // namespace nimbra
