#include "engine/resumable_image.h"

#include "common/unfinished_file.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// The final file, its rows kept in memory, read back when asked to; a stopped one is thrown away.
class RecordedImage final : public ImageOutput {
public:
    RecordedImage(std::vector<std::uint8_t>& bytes, bool readsBack) : bytes_(bytes), readsBack_(readsBack) {}
    void WriteRow(const std::uint8_t* bgr) override { bytes_.insert(bytes_.end(), bgr, bgr + 6); }
    bool ReadsRowsBack() const override { return readsBack_; }
    void ReadRows(std::int32_t first, std::int32_t count, std::uint8_t* bgr) override
    {
        std::copy_n(bytes_.begin() + first * 6, count * 6, bgr);
    }
    std::string Finish() override { return "done"; }
    void Stop() noexcept override { bytes_.clear(); }

private:
    std::vector<std::uint8_t>& bytes_;
    bool readsBack_;
};

struct ResumableFixture : ::testing::Test {
    TempFolder folder;
    ScriptedDialogs dialogs;
    std::vector<std::uint8_t> finalBytes;
    bool finalReadsBack = false;
    const std::string path = folder / "poster.png";
    const UnfinishedFiles files = UnfinishedFilesOf(path);

    // A poster of 2 x 3 pixels.
    std::unique_ptr<ImageOutput> Open(const std::string& parameters, ResumableImage::Start start)
    {
        return ResumableImage::Open(path, parameters, start, 2, 3,
                                    std::make_unique<RecordedImage>(finalBytes, finalReadsBack), dialogs);
    }

    // A render of parameters "A" that ended after two rows.
    void Interrupted()
    {
        auto image = Open("A", ResumableImage::Start::Afresh);
        const std::uint8_t row[6] = {1, 2, 3, 4, 5, 6};
        image->WriteRow(row);
        image->WriteRow(row);
        image->Stop();
    }
};

}  // namespace

TEST_F(ResumableFixture, TheRowsAndTheRecordLieBesideTheNameWithTheNameInThem)
{
    EXPECT_EQ(files.Rows, folder / ".poster.png.nimbra-part");
    EXPECT_EQ(files.Record, folder / ".poster.png.nimbra-resume");
    EXPECT_EQ(UnfinishedFilesOf("a.tga").Rows, ".a.tga.nimbra-part");
}

TEST_F(ResumableFixture, AContinuedImageGoesOnAfterTheRowsOnDiskAndEndsWhole)
{
    // The rows held at the stop are copies, or read back from the final file.
    for (const bool readsBack : {false, true}) {
        finalReadsBack = readsBack;
        finalBytes.clear();
        Interrupted();
        auto image = Open("A", ResumableImage::Start::Continue);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->RowsDone(), 2);
        const std::uint8_t last[6] = {7, 8, 9, 10, 11, 12};
        image->WriteRow(last);
        EXPECT_EQ(image->Finish(), "done");
        EXPECT_EQ(finalBytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        EXPECT_FALSE(FileExists(files.Rows));
        EXPECT_FALSE(FileExists(files.Record));
    }
}

TEST_F(ResumableFixture, ARecordOfOtherParametersOrADamagedOneIsRefusedAndNothingIsLost)
{
    const std::string afresh = " Eine Berechnung ohne --resume beginnt von vorn und verwirft das Gesicherte.";
    const auto damaged = [&](const std::string& file) {
        return "Der Stand der unterbrochenen Berechnung von " + path + " ist beschädigt (" + file +
               "); --resume kann sie nicht fortsetzen." + afresh;
    };
    const struct { const char* name; std::string parameters; std::function<void()> harm; std::string message; } cases[] = {
        {"other parameters", "B", [] {},
         "Die unterbrochene Berechnung von " + path +
             " wurde mit anderen Parametern begonnen; --resume setzt sie nur mit denselben fort." + afresh},
        {"a changed byte", "A", [&] {
             std::vector<std::uint8_t> record = ReadBytes(files.Record);
             record[record.size() / 2] ^= 1;
             WriteBytes(files.Record, record);
         }, damaged(files.Record)},
        {"a cut record", "A", [&] {
             std::vector<std::uint8_t> record = ReadBytes(files.Record);
             record.pop_back();
             WriteBytes(files.Record, record);
         }, damaged(files.Record)},
        {"rows missing", "A", [&] { std::filesystem::resize_file(files.Rows, ReadBytes(files.Rows).size() - 1); },
         damaged(files.Rows)},
        {"a file of someone else's", "A", [&] { WriteBytes(files.Rows, {'m', 'i', 'n', 'e'}); },
         "Die Datei " + files.Rows + " stammt nicht von Nimbra und bleibt, wie sie ist; " + path +
             " wird nicht berechnet."},
    };
    for (const auto& c : cases) {
        Interrupted();
        c.harm();
        const std::vector<std::uint8_t> rows = ReadBytes(files.Rows), record = ReadBytes(files.Record);
        dialogs.Messages.clear();
        EXPECT_EQ(Open(c.parameters, ResumableImage::Start::Continue), nullptr) << c.name;
        EXPECT_EQ(dialogs.Messages, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(ReadBytes(files.Rows), rows) << c.name;
        EXPECT_EQ(ReadBytes(files.Record), record) << c.name;
    }
}

TEST_F(ResumableFixture, WithoutResumeARenderStartsOver)
{
    Interrupted();
    const std::vector<std::uint8_t> interruptedRows = ReadBytes(files.Rows);
    ASSERT_NE(Open("B", ResumableImage::Start::Afresh), nullptr);
    EXPECT_LT(ReadBytes(files.Rows).size(), interruptedRows.size());
    auto continued = Open("B", ResumableImage::Start::Continue);
    ASSERT_NE(continued, nullptr);
    EXPECT_EQ(continued->RowsDone(), 0);
}

TEST_F(ResumableFixture, ASecondRenderOfTheSameNameIsRefusedWhileTheFirstRuns)
{
    auto first = Open("A", ResumableImage::Start::Afresh);
    ASSERT_NE(first, nullptr);
    for (const auto start : {ResumableImage::Start::Afresh, ResumableImage::Start::Continue})
        EXPECT_EQ(Open("A", start), nullptr);
    EXPECT_EQ(dialogs.Messages,
              std::vector<std::string>(2, "Die Bilddatei " + path + " wird gerade von einem anderen Lauf berechnet."));
}

TEST_F(ResumableFixture, TheCleanUpOfLeftBehindFilesKeepsThem)
{
    Interrupted();
    for (const std::string& file : {files.Rows, files.Record})
        std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - std::chrono::hours(1));
    const std::vector<std::uint8_t> rows = ReadBytes(files.Rows), record = ReadBytes(files.Record);
    ASSERT_TRUE(CreateUnfinishedFile(folder.Path()).File.IsOpen());  // cleans the folder up first
    EXPECT_EQ(ReadBytes(files.Rows), rows);
    EXPECT_EQ(ReadBytes(files.Record), record);
}
