#include "mainwindow/start_folder.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// Runs in folder as the current directory and returns to the old one afterwards.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder) : old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CurrentDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

}  // namespace

TEST(StartFolder, IsTheCurrentDirectoryEndingInSlash)
{
    TempFolder folder;
    CurrentDirectory inside(folder.Path());
    EXPECT_EQ(CurrentStartFolder(), std::filesystem::canonical(folder.Path()).string() + "/");
}

TEST(StartFolder, TheFourWorkFoldersAreCreatedWhereMissing)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "pix");
    std::ofstream(folder / "pix/nimbra000.tga") << "kept";
    CreateWorkFolders(folder.Path());
    for (const char* name : {"cfg", "pix", "param", "pal"})
        EXPECT_TRUE(std::filesystem::is_directory(folder / name)) << name;
    EXPECT_TRUE(FileExists(folder / "pix/nimbra000.tga"));
}

TEST(StartFolder, AFolderThatCannotBeCreatedIsIgnored)
{
    TempFolder folder;
    std::ofstream(folder / "cfg") << "a file where the folder should be";
    CreateWorkFolders(folder.Path());
    EXPECT_FALSE(std::filesystem::is_directory(folder / "cfg"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "param"));
}
