#include "mainwindow/start_folder.h"

#include <filesystem>

namespace nimbra {

std::string CurrentStartFolder()
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    // A current directory that was removed has no path: the files then go to "./".
    if (error || folder.empty()) return "./";
    if (folder.back() != '/') folder += '/';
    return folder;
}

void CreateWorkFolders(const std::string& startFolder)
{
    for (const char* name : {"cfg", "pix", "param", "pal"}) {
        std::error_code ignored;
        std::filesystem::create_directory(startFolder + name, ignored);
    }
}

}  // namespace nimbra
