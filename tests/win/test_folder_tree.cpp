// Folder deletion never empties a drive: an empty text, a bare drive or its root names no folder of
// an installation's own. The drive is a scratch folder mapped to Q: for the test, so that a fault
// empties only that.
#include <doctest.h>

#include "files/file_ops.h"
#include "machine.h"

using namespace e2e;

TEST_CASE("DeleteFolderTree leaves a drive and its root alone, however they are written") {
    std::string scratch = FreshFolder("drive-q", "C:\\qvtest");
    char prefix[MAX_PATH] = "";
    REQUIRE(GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) > 0);
    std::string driveLink = std::string(prefix) + "/dosdevices/q:";
    REQUIRE(RunUnixShell("ln -sfn " + ShellQuoted(UnixPathOf(scratch)) + " " + ShellQuoted(driveLink)));
    WriteFileBytes("Q:\\marker.txt", "root");
    REQUIRE(ReadFileBytes(scratch + "\\marker.txt") == "root");
    SetCurrentDirectoryA("Q:\\");
    for (const char* folder : {"", "Q:", "Q:\\", "\\", "Q:\\\\"}) {
        CAPTURE(std::string(folder));
        DeleteFolderTree(nullptr, folder);
        CHECK(ReadFileBytes("Q:\\marker.txt") == "root");
    }
    DeleteFolderTree(nullptr, nullptr);
    CHECK(ReadFileBytes("Q:\\marker.txt") == "root");
    SetCurrentDirectoryA("C:\\");
    RunUnixShell("rm -f " + ShellQuoted(driveLink));
    RemoveTree(scratch);
}
