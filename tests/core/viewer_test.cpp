#include "dialogs/viewer.h"

#include "common/posix_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace nimbra;
using namespace nimbra::testing;

TEST(SearchViewer, DialogKeepsWhatUebernehmenApplies)
{
    ScriptedDialogs dialogs;
    ViewerOpenDialog dialog;
    EXPECT_EQ(dialog.FileName, "");  // never searched: applying clears the viewer

    dialogs.FileAnswers.push_back("/usr/bin/viewer");
    EXPECT_EQ(SearchViewer(dialog, "/old/viewer", dialogs), std::optional<std::string>("/usr/bin/viewer"));
    EXPECT_EQ(dialog.FileName, "/usr/bin/viewer");

    dialogs.FileAnswers.push_back(std::nullopt);
    EXPECT_EQ(SearchViewer(dialog, "/usr/bin/viewer2", dialogs), std::nullopt);
    EXPECT_EQ(dialog.FileName, "/usr/bin/viewer2");  // the viewer as it was when searching started

    ASSERT_EQ(dialogs.FileRequests.size(), 2u);
    const FileRequest& request = dialogs.FileRequests[0];
    EXPECT_EQ(request.DialogKind, FileRequest::Kind::Open);
    EXPECT_EQ(request.Filter, "alle Dateien|*");
    EXPECT_EQ(request.Title, "");
    EXPECT_EQ(request.InitialFolder, "");
    EXPECT_EQ(request.FileName, "/old/viewer");
}

TEST(StartViewer, WithoutViewerAMessageAsksForOne)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    StartViewer("", "/x/pix/nimbra000.tga", platform, dialogs);
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Es wurde noch kein Betrachtungsprogramm konfiguriert. "
                                                         "Bitte konfigurieren Sie zuerst mit F5 !"});
    EXPECT_TRUE(platform.StartedPrograms.empty());
}

TEST(StartViewer, ImagePathWithBlanksIsOneArgument)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    StartViewer("/usr/bin/viewer", "/home/a b/pix/nimbra000.tga", platform, dialogs);
    EXPECT_EQ(platform.StartedPrograms, (std::vector<std::pair<std::string, std::string>>{
                                            {"/usr/bin/viewer", "/home/a b/pix/nimbra000.tga"}}));
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(StartViewer, AViewerThatCannotStartIsReportedWithTheReason)
{
    TempFolder folder;
    WriteBytes(folder / "notes.txt", {'x'});
    WriteBytes(folder / "garbage", {0, 1, 2, 3});
    ASSERT_EQ(::chmod((folder / "garbage").c_str(), 0755), 0);
    const struct {
        std::string viewer;
        std::string reason;
    } cases[] = {
        {folder / "gone", "das Programm ist nicht vorhanden"},
        {folder / "notes.txt", "die Datei darf nicht als Programm ausgeführt werden"},
        {folder / "garbage", "die Datei ist kein ausführbares Programm"},
    };
    for (const auto& c : cases) {
        PosixPlatform platform;
        ScriptedDialogs dialogs;
        StartViewer(c.viewer, "/x/pix/nimbra000.tga", platform, dialogs);
        EXPECT_EQ(dialogs.Warnings, std::vector<std::string>{"Das Betrachtungsprogramm " + c.viewer +
                                                             " kann nicht gestartet werden !\n" + c.reason});
        EXPECT_EQ(dialogs.Messages, dialogs.Warnings);
    }
}
