// Robustness against faults of the machine: sources that vanish or are held open, a program
// folder on a nearly full or a read-only volume, a file in place of the program folder, the
// background window closed and the process killed half-way, an installed program still
// running during the uninstall, and a second uninstall. Each row says what it checks; every
// case also checks that no file outside the installation changed (a snapshot of the Windows,
// Fonts, program-files, start-menu and desktop folders and planted sentinels).
//
// The volumes are tmpfs mounts made on the program folder itself (the program folder lies below
// the program-files folder, so that is where a full or read-only volume has to be): that needs
// the right to mount (root); without it the case says NOT COVERED and counts as not covered.
#include <doctest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "footprint.h"
#include "robustness.h"
#include "sentinel.h"

using namespace e2e;
using namespace robustness;

namespace {

const char kCopyFailedCaption[] = "Fehler - Kann Datei nicht kopieren:";
const char kAbortCaption[] = "Installation abgebrochen";
const char kListedNotDeletedCaption[] = "Datei konnte nicht gel\xF6scht werden.";

struct Fault {
    const char* name;
    const char* checks;
    void (*run)();
};

// One application of a case: its list values, folders and clean-up.
struct App {
    std::string name;
    std::string folder;
    std::string target;
    std::string group;
    std::vector<std::string> desktopLinks;

    App(const std::string& appName, const std::string& folderName, std::vector<std::string> links = {})
        : name(appName),
          folder(folderName),
          target(ProgramFilesDir() + "\\" + folderName),
          group(ProgramsDir(true) + "\\" + appName),
          desktopLinks(std::move(links)) {}
    std::string List(const std::string& sections, const std::string& general = "") const {
        return "[General]\r\nAppName=" + name + "\r\nFolder=" + folder + "\r\n" + general + sections;
    }
    void Clean() const { RemoveInstallation(name, folder, desktopLinks); }
    std::vector<std::string> Footprint() const {
        std::vector<std::string> paths{target, group, ProgramsDir(false) + "\\" + name};
        for (const std::string& link : desktopLinks) paths.push_back(DesktopDir(true) + "\\" + link + ".lnk");
        return paths;
    }
};

void CheckNothingElseChanged(const Sentinels& before, std::vector<std::string> allowed) {
    CHECK(Sentinels::Take().ChangesText(before, allowed) == "");
    CHECK(SentinelsIntact());
}

std::string Bytes(size_t count, unsigned seed) { return PseudoRandomBytes(count, seed); }

// FNV-1a of a file's bytes, read in pieces; 0 for a file that cannot be read.
unsigned long long Digest(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned long long hash = 1469598103934665603ull;
    static char buffer[1 << 16];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    CloseHandle(file);
    return hash;
}

// The files of a folder as one text, "A.txt|B.txt", so that a failed check shows them.
std::string Listing(const std::string& folder) {
    std::string text;
    for (const std::string& name : FilesIn(folder)) text += (text.empty() ? "" : "|") + name;
    return text;
}

Ending InstallSilently(const Package& package) {
    Run run = package.Start("/S");
    return RunToEnd(run, 120000);
}

// A tmpfs volume mounted on a folder for the length of a case.
class SmallVolume {
public:
    SmallVolume(const std::string& folder, const std::string& size) {
        CreateDirectoryA(folder.c_str(), nullptr);
        unixPath_ = UnixPathOf(folder);
        if (unixPath_.empty()) return;
        mounted_ = RunUnixShell("mount -t tmpfs -o size=" + size + " qvrobust " + ShellQuoted(unixPath_));
    }
    ~SmallVolume() {
        if (mounted_) RunUnixShell("umount " + ShellQuoted(unixPath_) + " || umount -l " + ShellQuoted(unixPath_));
    }
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly() { return RunUnixShell("mount -o remount,ro " + ShellQuoted(unixPath_)); }

private:
    std::string unixPath_;
    bool mounted_ = false;
};

bool ReportUnmountable(const SmallVolume& volume) {
    if (volume.Mounted()) return false;
    NotCovered("a tmpfs volume could not be mounted here (mount -t tmpfs needs root)");
    return true;
}

// ---- sources that vanish or are held open

void SourceVanishes() {
    App app("Qv Vanish", "QvVanish");
    app.Clean();
    Package package("robust-fault-vanish");
    package.List(app.List("[Files]\r\n1=a.txt\r\n2=b.txt\r\n")).File("a.txt", "a").File("b.txt", "b alt");
    // held open without sharing until the copy has failed once, then deleted on closing
    HANDLE hold = CreateFileA(package.Path("b.txt").c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    REQUIRE(hold != INVALID_HANDLE_VALUE);
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = package.Start("/S");
    Window copyBox = run.WaitWindow(kCopyFailedCaption, "#32770", 30000);
    CloseHandle(hold);
    REQUIRE(copyBox);
    CHECK(copyBox.MessageText() == app.target + "\\B.txt");
    CHECK_FALSE(PathExists(package.Path("b.txt")));
    copyBox.Press(IDRETRY);
    // the file is gone now: the run must ask for it again, not report it as copied
    Window missing = run.WaitWindow("Fehler", "#32770", 30000);
    REQUIRE(missing);
    CHECK(missing.MessageText() == package.Path("b.txt") + " nicht gefunden.");
    CHECK(missing.ButtonIds() == std::vector<int>{IDRETRY, IDCANCEL});
    package.File("b.txt", "b neu");
    missing.Press(IDRETRY);
    Ending rest = RunToEnd(run);
    INFO("boxes: " << Describe(rest.boxes));
    CHECK(rest.boxes.empty());
    CHECK(rest.exitCode == 0);
    CHECK(ReadFileBytes(app.target + "\\B.txt") == "b neu");
    CHECK(Listing(app.target) == "A.txt|B.txt|Setup.lst|Uninst.exe");
    std::vector<std::string> allowed = app.Footprint();
    allowed.push_back(package.Path("b.txt"));  // deleted and written again by this case
    CheckNothingElseChanged(before, allowed);
    app.Clean();
}

void LockedSourceKeepsInstalledFile() {
    App app("Qv Held Source", "QvHeldSource");
    app.Clean();
    Package package("robust-fault-held");
    package.List(app.List("[Files]\r\n1=a.txt\r\n2=b.txt\r\n")).File("a.txt", "a alt").File("b.txt", "b alt");
    SetFileDay(package.Path("a.txt"), 2020, 1, 1);
    SetFileDay(package.Path("b.txt"), 2020, 1, 1);
    REQUIRE(InstallSilently(package).exitCode == 0);
    package.File("a.txt", "a neu").File("b.txt", "b neu");
    HANDLE hold = CreateFileA(package.Path("b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(hold != INVALID_HANDLE_VALUE);
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = package.Start("/S");
    Ending ending = RunToEnd(run, 60000);
    CloseHandle(hold);
    INFO("boxes: " << Describe(ending.boxes));
    REQUIRE(ending.boxes.size() == 1);
    CHECK(ending.boxes[0].caption == kCopyFailedCaption);
    CHECK(ending.boxes[0].text == app.target + "\\B.txt");
    CHECK(ending.exitCode == 0);
    CHECK(ReadFileBytes(app.target + "\\A.txt") == "a neu");
    // the new version could not be read: the installed one must still be there
    CHECK(ReadFileBytes(app.target + "\\B.txt") == "b alt");
    CHECK(Listing(app.target) == "A.txt|B.txt|Setup.lst|Uninst.exe");
    CheckNothingElseChanged(before, app.Footprint());
    app.Clean();
}

// ---- the program folder on a nearly full or read-only volume, or a file in its place

const size_t kSpareBytes = 1 << 20;

// Program folder on a 2.5 MB volume that a user's file of 1 MB already fills in part: the
// uninstaller and a.bin fit, b.bin (1.5 MB) fails part way.
struct FullVolumeCase {
    App app{"Qv Full", "QvFull"};
    Package package{"robust-fault-full"};
    std::string a = Bytes(700 * 1024, 11);
    std::string b = Bytes(1536 * 1024, 12);

    FullVolumeCase() {
        app.Clean();
        package.List(app.List("[Files]\r\n1=a.bin\r\n2=b.bin\r\n")).File("a.bin", a).File("b.bin", b);
    }
    ~FullVolumeCase() { app.Clean(); }
    void FillSpare() const { WriteFileBytes(app.target + "\\Platz.bin", Bytes(kSpareBytes, 13)); }
    void FreeSpare() const { DeleteFileA((app.target + "\\Platz.bin").c_str()); }
};

void FullVolumeRetry() {
    FullVolumeCase c;
    SmallVolume volume(c.app.target, "2560k");
    if (ReportUnmountable(volume)) return;
    c.FillSpare();
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = c.package.Start("/S");
    Window box = run.WaitWindow(kCopyFailedCaption, "#32770", 30000);
    REQUIRE(box);
    CHECK(box.MessageText() == c.app.target + "\\B.bin");
    // nothing half-written lies in the program folder while the question is up
    CHECK(Listing(c.app.target) == "A.bin|Platz.bin|Setup.lst|Uninst.exe");
    box.Press(IDRETRY);
    Window again = run.WaitWindow(kCopyFailedCaption, "#32770", 30000);
    REQUIRE(again);
    c.FreeSpare();
    again.Press(IDRETRY);
    Ending rest = RunToEnd(run);
    INFO("boxes: " << Describe(rest.boxes));
    CHECK(rest.boxes.empty());
    CHECK(rest.exitCode == 0);
    CHECK(Digest(c.app.target + "\\A.bin") == Digest(c.package.Path("a.bin")));
    CHECK(Digest(c.app.target + "\\B.bin") == Digest(c.package.Path("b.bin")));
    CHECK(Listing(c.app.target) == "A.bin|B.bin|Setup.lst|Uninst.exe");
    CheckNothingElseChanged(before, c.app.Footprint());
}

void FullVolumeCancel() {
    FullVolumeCase c;
    SmallVolume volume(c.app.target, "2560k");
    if (ReportUnmountable(volume)) return;
    c.FillSpare();
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = c.package.Start("/S");
    Ending ending = RunToEnd(run, 60000);
    INFO("boxes: " << Describe(ending.boxes));
    REQUIRE(ending.boxes.size() == 1);
    CHECK(ending.boxes[0].caption == kCopyFailedCaption);
    CHECK(ending.exitCode == 0);
    // no part of b.bin is left to pass for an installed file
    CHECK(Listing(c.app.target) == "A.bin|Platz.bin|Setup.lst|Uninst.exe");
    // with room again, the next installation completes it
    c.FreeSpare();
    Ending next = InstallSilently(c.package);
    CHECK(next.boxes.empty());
    CHECK(next.exitCode == 0);
    CHECK(Digest(c.app.target + "\\B.bin") == Digest(c.package.Path("b.bin")));
    CheckNothingElseChanged(before, c.app.Footprint());
}

void ReadOnlyProgramFolder() {
    App app("Qv Read Only", "QvReadOnly");
    app.Clean();
    SmallVolume volume(app.target, "1m");
    if (ReportUnmountable(volume)) return;
    // an earlier installation, older than the package
    WriteFileBytes(app.target + "\\A.txt", "alt");
    WriteFileBytes(app.target + "\\Uninst.exe", "altes Deinstallationsprogramm");
    WriteFileBytes(app.target + "\\Setup.lst", "[General]\r\nAppName=Qv Read Only\r\n");
    for (const char* name : {"A.txt", "Uninst.exe", "Setup.lst"}) SetFileDay(app.target + "\\" + name, 2001, 1, 1);
    REQUIRE(volume.MakeReadOnly());
    std::vector<unsigned long long> digests;
    for (const char* name : {"A.txt", "Uninst.exe", "Setup.lst"}) digests.push_back(Digest(app.target + "\\" + name));

    Package package("robust-fault-readonly");
    package.List(app.List("[Files]\r\n1=a.txt\r\n")).File("a.txt", "neu");
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = package.Start("/S");
    Ending ending = RunToEnd(run, 60000);
    INFO("boxes: " << Describe(ending.boxes));
    CHECK_FALSE(ending.hung);
    REQUIRE(ending.boxes.size() == 4);
    const char* copies[] = {"\\Setup.lst", "\\Setup.exe", "\\A.txt"};
    for (int i = 0; i < 3; ++i) {
        CHECK(ending.boxes[i].caption == kCopyFailedCaption);
        CHECK(ending.boxes[i].text == app.target + copies[i]);
    }
    CHECK(ending.boxes[3].caption == kAbortCaption);
    CHECK(ending.boxes[3].text == "Installationsdateien nicht gefunden.");
    CHECK(ending.exitCode == 1);
    CHECK(Listing(app.target) == "A.txt|Setup.lst|Uninst.exe");
    std::vector<unsigned long long> after;
    for (const char* name : {"A.txt", "Uninst.exe", "Setup.lst"}) after.push_back(Digest(app.target + "\\" + name));
    CHECK(after == digests);
    CheckNothingElseChanged(before, app.Footprint());
    app.Clean();
}

void FileInPlaceOfFolder() {
    App app("Qv Blocked", "QvBlocked");
    app.Clean();
    WriteFileBytes(app.target, "eine Datei, kein Ordner");
    SetFileDay(app.target, 2002, 2, 2);
    Package package("robust-fault-blocked");
    package.List(app.List("[Files]\r\n1=a.txt\r\n")).File("a.txt", "a");
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = package.Start("/S");
    Ending ending = RunToEnd(run, 60000);
    INFO("boxes: " << Describe(ending.boxes));
    REQUIRE(ending.boxes.size() == 1);
    CHECK(ending.boxes[0].caption == kAbortCaption);
    CHECK(ending.boxes[0].text == "Zielverzeichnis konnte nicht erstellt werden.");
    CHECK(ending.exitCode == 1);
    CHECK(ReadFileBytes(app.target) == "eine Datei, kein Ordner");
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + app.name));
    // the start-menu group is made before the program folder and may stay (empty)
    CheckNothingElseChanged(before, {app.group});
    if (PathExists(app.group)) CHECK(FilesIn(app.group).empty());
    DeleteFileA(app.target.c_str());
    app.Clean();
}

// ---- interrupted installations

// An earlier installation (v1) of 20 listed files and 3,000 files of a wildcard group, and a
// package with newer versions (v2) of all of them.
struct LongInstallCase {
    App app{"Qv Long", "QvLong"};
    Package package;
    static constexpr int kListed = 20;
    static constexpr int kWild = 3000;

    explicit LongInstallCase(const std::string& name) : package(name) { app.Clean(); }
    ~LongInstallCase() { app.Clean(); }

    static std::string ListedName(int i) { return "L" + std::to_string(100 + i).substr(1) + ".txt"; }
    static std::string WildName(int i) { return "W" + std::to_string(10000 + i).substr(1) + ".dat"; }

    void WriteVersion(const std::string& version) {
        std::string sections = "[Files]\r\n";
        for (int i = 1; i <= kListed; ++i) sections += std::to_string(i) + "=" + ListedName(i) + "\r\n";
        sections += "[WildCopy]\r\n1=*.dat\r\n[WildSubFolder]\r\n1=Daten\r\n";
        package.List(app.List(sections));
        for (int i = 1; i <= kListed; ++i) package.File(ListedName(i), version + " " + ListedName(i));
        for (int i = 0; i < kWild; ++i) package.File(WildName(i), version + " " + WildName(i) + std::string(2000, '.'));
        if (version == "v1")
            for (int i = 1; i <= kListed; ++i) SetFileDay(package.Path(ListedName(i)), 2020, 1, 1);
    }

    // Every file is complete in one version or the other, none is missing, nothing else is there.
    void CheckEveryFileWhole(bool allNew) const {
        std::vector<std::string> listed{"Setup.lst", "Uninst.exe"};
        for (int i = 1; i <= kListed; ++i) {
            std::string name = ListedName(i);
            std::string bytes = ReadFileBytes(app.target + "\\" + name);
            bool whole = bytes == "v2 " + name || (!allNew && bytes == "v1 " + name);
            CAPTURE(name);
            CHECK(whole);
            listed.push_back(name);
        }
        std::sort(listed.begin(), listed.end());
        std::string expected;
        for (const std::string& name : listed) expected += (expected.empty() ? "" : "|") + name;
        CHECK(Listing(app.target) == expected);
        std::vector<std::string> wild = FilesIn(app.target + "\\Daten");
        CHECK(wild.size() == static_cast<size_t>(kWild));
        int broken = 0;
        for (int i = 0; i < kWild; ++i) {
            std::string name = WildName(i);
            std::string bytes = ReadFileBytes(app.target + "\\Daten\\" + name);
            std::string tail = " " + name + std::string(2000, '.');
            if (!(bytes == "v2" + tail || (!allNew && bytes == "v1" + tail))) ++broken;
        }
        CHECK(broken == 0);
    }
};

void BackgroundClosedDuringInstall() {
    LongInstallCase c("robust-fault-closed");
    c.WriteVersion("v1");
    REQUIRE(InstallSilently(c.package).exitCode == 0);
    c.WriteVersion("v2");
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = c.package.Start("/S");
    // closed while the wildcard group is being copied
    bool inGroup = WaitFor(
        [&] {
            Window progress = ProgressWindowOf(run.Pid());
            return progress && progress.Text(101) == "Anwenderdateien kopieren:" &&
                   progress.Text(102).find(".dat") != std::string::npos;
        },
        60000);
    REQUIRE(inGroup);
    Window main = run.MainWindow();
    REQUIRE(main);
    PostMessageA(main.Handle(), WM_CLOSE, 0, 0);
    Ending ending = RunToEnd(run, 30000);
    INFO("boxes: " << Describe(ending.boxes));
    CHECK(ending.boxes.empty());
    CHECK(ending.exitCode == 1);
    c.CheckEveryFileWhole(false);
    CheckNothingElseChanged(before, c.app.Footprint());

    Ending again = InstallSilently(c.package);
    CHECK(again.boxes.empty());
    CHECK(again.exitCode == 0);
    c.CheckEveryFileWhole(true);
}

// Kills the installer while it copies a 128 MB file over its older version and starts it again.
void KilledDuringCopy() {
    App app("Qv Killed", "QvKilled");
    app.Clean();
    Package package("robust-fault-killed");
    const size_t size = 128u << 20;
    package.List(app.List("[Files]\r\n1=Klein.txt\r\n2=Gross.bin\r\n3=Ende.txt\r\n"))
        .File("Klein.txt", "v1")
        .File("Gross.bin", Bytes(size, 21))
        .File("Ende.txt", "v1");
    for (const char* name : {"Klein.txt", "Gross.bin", "Ende.txt"}) SetFileDay(package.Path(name), 2020, 1, 1);
    REQUIRE(InstallSilently(package).exitCode == 0);
    package.File("Klein.txt", "v2").File("Gross.bin", Bytes(size, 22)).File("Ende.txt", "v2");
    const unsigned long long v1 = Digest(app.target + "\\Gross.bin");
    const unsigned long long v2 = Digest(package.Path("Gross.bin"));
    REQUIRE(v1 != v2);

    PlantSentinels();
    Sentinels before = Sentinels::Take();
    bool landedInCopy = false;
    const DWORD delays[] = {40, 15, 90, 5, 150};
    for (DWORD delay : delays) {
        Run run = package.Start("/S");
        // The item line is read through a message the program answers only while it pumps:
        // asked again at once after each answer, it says "Gross.bin" in the pump right before
        // that file's copy begins.
        Window progress = WaitFor([&] { return static_cast<bool>(ProgressWindowOf(run.Pid())); }, 30000)
                              ? ProgressWindowOf(run.Pid())
                              : Window();
        REQUIRE(progress);
        DWORD start = GetTickCount();
        bool copying = false;
        while (!copying && GetTickCount() - start < 60000 && !run.HasEnded())
            copying = progress.Text(102) == "Gross.bin";
        REQUIRE(copying);
        Sleep(delay);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run.Pid());
        REQUIRE(process != nullptr);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        // half a file: a size of neither version, or a piece beside the target
        unsigned long long now = Digest(app.target + "\\Gross.bin");
        std::vector<std::string> files = FilesIn(app.target);
        bool stray = files.size() > 5 || (now != v1 && now != v2 && now != 0);
        if (stray) landedInCopy = true;
        MESSAGE("killed " << delay << " ms after the copy began: " << std::string(stray ? "half a file was left" : "no half file"));
        if (landedInCopy) break;
        // put the older version back for the next try
        REQUIRE(InstallSilently(package).exitCode == 0);
        WriteFileBytes(app.target + "\\Gross.bin", Bytes(size, 21));
        SetFileDay(app.target + "\\Gross.bin", 2020, 1, 1);
    }
    if (!landedInCopy) NotCovered("the process never ended inside the copy of the large file");

    Ending again = InstallSilently(package);
    INFO("boxes: " << Describe(again.boxes));
    CHECK(again.boxes.empty());
    CHECK(again.exitCode == 0);
    CHECK(Digest(app.target + "\\Gross.bin") == v2);
    CHECK(ReadFileBytes(app.target + "\\Klein.txt") == "v2");
    CHECK(ReadFileBytes(app.target + "\\Ende.txt") == "v2");
    CHECK(Listing(app.target) == "Ende.txt|Gross.bin|Klein.txt|Setup.lst|Uninst.exe");
    CheckNothingElseChanged(before, app.Footprint());
    app.Clean();
}

// ---- uninstalls

std::string HolderProgram() { return ToolsFolder() + "\\holder.exe"; }

// Starts a program of the program folder with the folder as its current folder.
bool StartInFolder(const std::string& folder, const std::string& program, const std::string& arguments,
                   PROCESS_INFORMATION* process) {
    std::string line = "\"" + folder + "\\" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, process) != 0;
}

void EndProcess(PROCESS_INFORMATION& process) {
    if (process.hProcess == nullptr) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
}

void UninstallWhileProgramRuns() {
    App app("Qv Running", "QvRunning", {"Qv Running Halter"});
    app.Clean();
    ClearRecorderLogs();
    CreateDirectoryA("C:\\qvrec", nullptr);
    Package package("robust-fault-running");
    package.List(app.List("[Files]\r\n1=Halter.exe\r\n2=Daten.dat\r\n3=Liesmich.txt\r\n[Links]\r\n1=Halter\r\n"
                          "[DesktopLinks]\r\n1=Qv Running Halter\r\n"))
        .CopyIn(HolderProgram(), "Halter.exe")
        .File("Daten.dat", "Daten")
        .File("Liesmich.txt", "lies mich");
    REQUIRE(InstallSilently(package).exitCode == 0);
    PROCESS_INFORMATION holder = {};
    REQUIRE(StartInFolder(app.target, "Halter.exe", "Daten.dat", &holder));
    REQUIRE(WaitFor([] { return PathExists("C:\\qvrec\\Halter.exe.ready"); }));

    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = StartInstalled(app.target + "\\Uninst.exe", "/UQ");
    DWORD pid = run.Pid();
    Ending ending = RunToEnd(run, 60000);
    INFO("boxes: " << Describe(ending.boxes));
    REQUIRE(ending.boxes.size() == 2);
    CHECK(ending.boxes[0].caption == kListedNotDeletedCaption);
    CHECK(ending.boxes[0].text.find(app.target + "\\Halter.exe\r\r") == 0);
    CHECK(ending.boxes[1].caption == kListedNotDeletedCaption);
    CHECK(ending.boxes[1].text.find(app.target + "\\Daten.dat\r\r") == 0);
    CHECK(ending.exitCode == 0);
    CHECK(WaitForSelfRemoval(pid));
    // the running program's files stay, everything else is gone
    CHECK(Listing(app.target) == "Daten.dat|Halter.exe");
    CHECK_FALSE(PathExists(app.group));
    CHECK_FALSE(PathExists(DesktopDir(true) + "\\Qv Running Halter.lnk"));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + app.name));
    CheckNothingElseChanged(before, app.Footprint());
    EndProcess(holder);
    app.Clean();
    ClearRecorderLogs();
}

// Answers the uninstall's questions with Yes, its messages with OK.
int AnswerYes(const Box& box) {
    (void)box;
    return IDYES;
}

std::string WildPackageList(const App& app) {
    return app.List("[Files]\r\n1=Prog.txt\r\n2=Hilfe.txt\r\n[Links]\r\n1=Prog\r\n[WildCopy]\r\n1=*.dat\r\n"
                    "[WildSubFolder]\r\n1=Daten\r\n");
}

void InstallWildPackage(const App& app, Package& package) {
    package.List(WildPackageList(app)).File("Prog.txt", "p").File("Hilfe.txt", "h").File("a.dat", "a").File("b.dat", "b");
    REQUIRE(InstallSilently(package).exitCode == 0);
    REQUIRE(Listing(app.target + "\\Daten") == "a.dat|b.dat");
}

void CheckRemoved(const App& app) {
    CHECK_FALSE(PathExists(app.target));
    CHECK_FALSE(PathExists(app.group));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + app.name));
}

void SecondUninstallWhileFirstAsks() {
    App app("Qv Twice", "QvTwice");
    app.Clean();
    Package package("robust-fault-twice");
    InstallWildPackage(app, package);
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run first = StartInstalled(app.target + "\\Uninst.exe", "/U");
    Window question = first.WaitWindow("Deinstallation");
    REQUIRE(question);
    Run second = StartInstalled(app.target + "\\Uninst.exe", "/U");
    CHECK(second.Exit(15000) == 0);
    // the second changed nothing: the first still asks, and everything is in place
    CHECK(question.IsVisible());
    CHECK(Listing(app.target) == "Hilfe.txt|Prog.txt|Setup.lst|Uninst.exe");
    DWORD pid = first.Pid();
    Ending ending = RunToEnd(first, 60000, AnswerYes);
    INFO("boxes: " << Describe(ending.boxes));
    REQUIRE(ending.boxes.size() == 4);
    CHECK(ending.boxes[0].caption == "Deinstallation");
    CHECK(ending.boxes[1].caption == "Anwenderdateien l\xF6schen");
    CHECK(ending.boxes[2].caption == "L\xF6schvorgang best\xE4tigen");
    CHECK(ending.boxes[3].caption == "Deinstallation erfolgreich");
    CHECK(ending.exitCode == 0);
    CHECK(WaitForSelfRemoval(pid));
    CheckRemoved(app);
    CheckNothingElseChanged(before, app.Footprint());
    app.Clean();
}

void SecondUninstallAfterKill() {
    App app("Qv Again Uninstall", "QvAgainUninstall");
    app.Clean();
    Package package("robust-fault-again");
    InstallWildPackage(app, package);
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run first = StartInstalled(app.target + "\\Uninst.exe", "/U");
    Window question = first.WaitWindow("Deinstallation");
    REQUIRE(question);
    question.Press(IDYES);
    // the listed files are gone when the question about the user's files comes; ended there
    Window userFiles = first.WaitWindow("Anwenderdateien l\xF6schen");
    REQUIRE(userFiles);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, first.Pid());
    REQUIRE(process != nullptr);
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    CHECK(Listing(app.target) == "Setup.lst|Uninst.exe");

    Run second = StartInstalled(app.target + "\\Uninst.exe", "/UQ");
    DWORD pid = second.Pid();
    Ending ending = RunToEnd(second, 60000);
    INFO("boxes: " << Describe(ending.boxes));
    CHECK(ending.boxes.empty());
    CHECK(ending.exitCode == 0);
    CHECK(WaitForSelfRemoval(pid));
    CheckRemoved(app);
    CheckNothingElseChanged(before, app.Footprint());
    app.Clean();
}

const Fault kFaults[] = {
    {"a source file that vanishes after its existence test",
     "held open at the copy (the copy's retry box), deleted, Retry: asked for again, not passed off as copied; "
     "completes once it is back",
     SourceVanishes},
    {"a source file held open at a reinstall, Cancel",
     "the copy's retry box; after Cancel the run completes and the installed older version is still there",
     LockedSourceKeepsInstalledFile},
    {"the program folder on a nearly full volume, Retry after freeing space",
     "the copy fails part way: its retry box, no half file; Retry after room was made completes the file",
     FullVolumeRetry},
    {"the program folder on a nearly full volume, Cancel",
     "the copy fails part way: no half file stays to pass for installed; the next installation completes it",
     FullVolumeCancel},
    {"a read-only program folder",
     "a read-only volume: every copy asks, Cancel leads to the abort message and exit code 1, the earlier "
     "installation is untouched",
     ReadOnlyProgramFolder},
    {"a file in place of the program folder",
     "the program folder cannot be made: its message, exit code 1, the file untouched, no uninstall entry",
     FileInPlaceOfFolder},
    {"the background window closed during a long install",
     "exit code 1 at once; every file complete in its old or new version, none missing; a new install completes",
     BackgroundClosedDuringInstall},
    {"the installer killed during a copy and started again",
     "killed inside the copy of a 128 MB file over its older version: started again, it completes every file",
     KilledDuringCopy},
    {"uninstall while an installed program is running",
     "the running program and its open file are reported, the rest is removed (files, group, desktop shortcut, "
     "entry)",
     UninstallWhileProgramRuns},
    {"a second uninstall while the first asks",
     "the second copy ends at once with 0 and changes nothing; the first completes the removal",
     SecondUninstallWhileFirstAsks},
    {"a second uninstall after the first was killed half-way",
     "the first is ended at its second question; a second, quiet uninstall removes everything that is left",
     SecondUninstallAfterKill},
};

void RunCase(const Fault& fault) {
    INFO("checks: " << std::string(fault.checks));
    fault.run();
}

}  // namespace

static_assert(sizeof(kFaults) / sizeof(kFaults[0]) == kFaultCases, "the summary states the number of cases");
static const int kFaultsRegistered = RegisterTable<kFaults>(kFaultPrefix, __FILE__);
