#include "common/byte_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

TEST(ByteReader, TellsTheEndFromAFailure)
{
    TempFolder folder;
    WriteBytes(folder / "drei", {1, 2, 3});
    ByteReader file(folder / "drei");
    std::uint8_t bytes[4] = {};
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(file.Read(bytes, 4), 3u);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_FALSE(file.Failed());
    EXPECT_TRUE(file.Close());

    ByteReader folderAsFile(folder.Path());
    EXPECT_EQ(folderAsFile.Read(bytes, 4), 0u);
    EXPECT_TRUE(folderAsFile.Failed());
    EXPECT_FALSE(folderAsFile.AtEnd());
}

TEST(ByteReader, MissingFileFailsEveryStepIncludingClose)
{
    TempFolder folder;
    ByteReader file(folder / "fehlt");
    std::uint8_t byte = 0;
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_FALSE(file.AtEnd());
    EXPECT_FALSE(file.Close());
}

TEST(ByteWriter, EachFailingWriteIsReportedByItsOwnCall)
{
    ByteWriter full("/dev/full");
    EXPECT_TRUE(full.IsOpen());
    EXPECT_FALSE(full.Write("x", 1));
    EXPECT_TRUE(full.Close());

    TempFolder folder;
    ByteWriter missing(folder / "fehlt/datei");
    EXPECT_FALSE(missing.Write("x", 1));
    EXPECT_FALSE(missing.Close());
}

}  // namespace
}  // namespace nimbra
