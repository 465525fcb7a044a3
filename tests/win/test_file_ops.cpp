// Copying by the date rule, folder creation, wildcard copies, deleting folder trees and pattern
// files, replacing a font; message boxes answered from a second thread of the test.
#include <doctest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "list/install_context.h"
#include "files/file_ops.h"
#include "files/font_files.h"
#include "ui/progress_window.h"
#include "win_test_support.h"

namespace {

const char kCopyFailed[] = "Fehler - Kann Datei nicht kopieren:";
const char kFileNotDeleted[] = "Datei konnte nicht gel\xF6scht werden:";
const char kFolderNotDeleted[] = "Ordner konnte nicht gel\xF6scht werden:";

struct SeenBox {
    std::string caption;
    std::string text;
};

// The boxes as one text, so that a failed comparison shows them.
std::string Listed(const std::vector<SeenBox>& boxes) {
    std::string listed;
    for (const SeenBox& box : boxes) listed += "[" + box.caption + "] " + box.text + "\n";
    return listed;
}

// Answers the message boxes of this process from a second thread, as a user would: the boxes
// block the thread that shows them. `decide` gets each box (and its number) and returns the
// button to press; it may change files first.
class BoxAnswerer {
public:
    using Decide = std::function<int(const SeenBox&, size_t)>;

    explicit BoxAnswerer(Decide decide = nullptr) : decide_(std::move(decide)), thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<SeenBox> Seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    struct Search {
        std::set<HWND>* pressed;
        HWND found;
    };

    static BOOL CALLBACK Collect(HWND window, LPARAM param) {
        Search* search = reinterpret_cast<Search*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (process != GetCurrentProcessId() || std::string(className) != "#32770" || !IsWindowVisible(window) ||
            GetDlgItem(window, 0xFFFF) == nullptr || search->pressed->count(window) != 0)
            return TRUE;
        search->found = window;
        return FALSE;
    }

    void Run() {
        std::set<HWND> pressed;
        while (!stop_) {
            for (auto it = pressed.begin(); it != pressed.end();) it = IsWindow(*it) ? std::next(it) : pressed.erase(it);
            Search search = {&pressed, nullptr};
            EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) Answer(search.found, &pressed);
            Sleep(20);
        }
    }

    void Answer(HWND box, std::set<HWND>* pressed) {
        char caption[512] = "";
        char text[4096] = "";
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        SeenBox seen = {caption, text};
        size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            index = seen_.size();
            seen_.push_back(seen);
        }
        int button = decide_ ? decide_(seen, index) : IDCANCEL;
        if (GetDlgItem(box, button) == nullptr) button = GetDlgItem(box, IDCANCEL) ? IDCANCEL : IDOK;
        pressed->insert(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }

    Decide decide_;
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct CurrentFolderKeeper {
    char saved[MAX_PATH] = "";
    CurrentFolderKeeper() { GetCurrentDirectoryA(sizeof saved, saved); }
    ~CurrentFolderKeeper() { SetCurrentDirectoryA(saved); }
};

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

// The name as it is stored on disk (the lookup itself ignores letter case).
std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "<missing>";
    FindClose(search);
    return found.cFileName;
}

FILETIME Time(ULONGLONG value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

ULONGLONG Value(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Sets the creation and last-write times (a null pointer leaves that time alone).
void SetTimes(const std::string& path, const FILETIME* creation, const FILETIME* lastWrite) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CHECK(SetFileTime(file, creation, nullptr, lastWrite));
    CloseHandle(file);
}

WIN32_FILE_ATTRIBUTE_DATA Times(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data;
}

// Times in 100 ns steps: one day, and a fixed day in 2014.
constexpr ULONGLONG kDay = 864000000000ULL;
constexpr ULONGLONG kBase = 0x01D0000012345678ULL;

// A file held open without any sharing, as a program that uses it would.
struct HeldFile {
    HANDLE handle;
    explicit HeldFile(const std::string& path)
        : handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) {
        REQUIRE(handle != INVALID_HANDLE_VALUE);
    }
    ~HeldFile() { CloseHandle(handle); }
};

// Removes a tree whose paths may be longer than 259 characters (the "\\\\?\\" form has no
// limit): what a test of overlong paths may leave when it fails half-way.
void RemoveLongTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveLongTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::string FreshLongFolder(const std::string& name) {
    std::wstring wide = L"\\\\?\\C:\\qvtest\\";
    for (char c : name) wide += static_cast<wchar_t>(c);
    RemoveLongTree(wide);
    return FreshFolder(name);
}

}  // namespace

TEST_CASE("CreateFolderPath creates the levels above the last backslash, never a drive root") {
    CurrentFolderKeeper keeper;
    std::string base = FreshFolder("mkpath");

    CreateFolderPath((base + "\\A\\B\\").c_str());
    CHECK(IsFolder(base + "\\A"));
    CHECK(IsFolder(base + "\\A\\B"));

    base = FreshFolder("mkpath");
    CreateFolderPath((base + "\\A\\B").c_str());
    CHECK(IsFolder(base + "\\A"));
    CHECK_FALSE(PathExists(base + "\\A\\B"));

    // a file path or a pattern gets every folder above it
    base = FreshFolder("mkpath");
    CreateFolderPath((base + "\\C\\D\\*.dll").c_str());
    CHECK(IsFolder(base + "\\C\\D"));
    CHECK(FolderNames(base + "\\C\\D").empty());
    WriteFileBytes(base + "\\C\\f.txt", "f");
    CreateFolderPath((base + "\\C\\f.txt").c_str());
    CHECK_FALSE(IsFolder(base + "\\C\\f.txt"));

    // A backslash before position 4 never ends a level: that is what keeps "D:\" from being
    // created. Seen with relative paths: "ab" is never made, "abcd" is.
    base = FreshFolder("mkpath");
    SetCurrentDirectoryA(base.c_str());
    CreateFolderPath("ab\\cd\\");
    CreateFolderPath("abcd\\e\\");
    CHECK(FolderNames(base) == std::vector<std::string>{"abcd"});
    CHECK(IsFolder(base + "\\abcd\\e"));
    CreateFolderPath("Q:\\qvtest\\x\\");  // a drive that does not exist: nothing to see, no harm
    CreateFolderPath("C:\\");

    // a path longer than Windows takes creates nothing at all
    base = FreshFolder("mkpath");
    std::string level(120, 'l');
    std::string tooLong = base + "\\" + level + "\\" + level + "\\x\\";
    REQUIRE(tooLong.size() > 259);
    CreateFolderPath(tooLong.c_str());
    CHECK(FolderNames(base).empty());
}

TEST_CASE("CopyFileToFolder installs a file under its name with one upper-case first letter") {
    CurrentFolderKeeper keeper;
    std::string source = FreshFolder("case-source");
    CreateDirectoryA((source + "\\DATA").c_str(), nullptr);
    WriteFileBytes(source + "\\DATA\\README.TXT", "readme");
    WriteFileBytes(source + "\\write311.exe", "write");
    WriteFileBytes(source + "\\SETUP.LST", "list");
    SetCurrentDirectoryA(source.c_str());
    g_ctx.FontsDir.Clear();

    struct Row { const char* source; const char* installed; const char* bytes; };
    const Row rows[] = {
        {"DATA\\README.TXT", "Readme.txt", "readme"},
        {"write311.exe", "Write311.exe", "write"},
        {"SETUP.LST", "Setup.lst", "list"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.source));
        std::string target = FreshFolder("case-target");
        BoxAnswerer answerer;
        CHECK(CopyFileToFolder(nullptr, row.source, target.c_str()));
        CHECK(FolderNames(target) == std::vector<std::string>{row.installed});
        CHECK(ReadFileBytes(target + "\\" + row.installed) == row.bytes);
        CHECK(Listed(answerer.Seen()) == "");
    }
    // a folder given with its trailing backslash
    std::string target = FreshFolder("case-target");
    CHECK(CopyFileToFolder(nullptr, (source + "\\write311.exe").c_str(), (target + "\\").c_str()));
    CHECK(StoredName(target + "\\write311.exe") == "Write311.exe");
}

TEST_CASE("the date rule: a newer target stays, an older or equally old one is replaced") {
    std::string source = FreshFolder("date-source");
    std::string target = FreshFolder("date-target");
    g_ctx.FontsDir.Clear();
    const std::string from = source + "\\Prog.exe";
    const std::string to = target + "\\Prog.exe";
    WriteFileBytes(from, "new");
    const FILETIME sourceTime = Time(kBase);
    SetTimes(from, nullptr, &sourceTime);

    SUBCASE("a target written later is kept with its times, and nothing is asked") {
        WriteFileBytes(to, "kept");
        const FILETIME later = Time(kBase + kDay);
        SetTimes(to, nullptr, &later);
        CHECK_FALSE(IsSourceNotOlder(from.c_str(), to.c_str()));
        BoxAnswerer answerer;
        CHECK(CopyFileToFolder(nullptr, from.c_str(), target.c_str()));
        CHECK(ReadFileBytes(to) == "kept");
        CHECK(Value(Times(to).ftLastWriteTime) == kBase + kDay);
        CHECK(Listed(answerer.Seen()) == "");
    }
    SUBCASE("a target written earlier is replaced") {
        WriteFileBytes(to, "old");
        const FILETIME earlier = Time(kBase - kDay);
        SetTimes(to, nullptr, &earlier);
        CHECK(IsSourceNotOlder(from.c_str(), to.c_str()));
        CHECK(CopyFileToFolder(nullptr, from.c_str(), target.c_str()));
        CHECK(ReadFileBytes(to) == "new");
    }
    SUBCASE("equal times count as not older") {
        WriteFileBytes(to, "old");
        SetTimes(to, nullptr, &sourceTime);
        // creation times too, as far as they can be set
        const WIN32_FILE_ATTRIBUTE_DATA sourceNow = Times(from);
        SetTimes(to, &sourceNow.ftCreationTime, &sourceTime);
        CHECK(IsSourceNotOlder(from.c_str(), to.c_str()));
        CHECK(CopyFileToFolder(nullptr, from.c_str(), target.c_str()));
        CHECK(ReadFileBytes(to) == "new");
    }
    SUBCASE("a target created later is kept, where creation times can be set") {
        WriteFileBytes(to, "kept");
        const FILETIME created = Time(kBase + kDay);
        const FILETIME written = Time(kBase - kDay);
        SetTimes(to, &created, &written);
        if (Value(Times(to).ftCreationTime) == kBase + kDay) {
            CHECK_FALSE(IsSourceNotOlder(from.c_str(), to.c_str()));
            CHECK(CopyFileToFolder(nullptr, from.c_str(), target.c_str()));
            CHECK(ReadFileBytes(to) == "kept");
        } else {
            // Wine keeps no creation time of its own: it reads back as the last-write time.
            CHECK(Value(Times(to).ftCreationTime) == kBase - kDay);
            MESSAGE("creation times cannot be set here; the creation half of the rule is not tested");
        }
    }
    SUBCASE("times that cannot be read let the copy proceed") {
        WriteFileBytes(to, "old");
        CHECK(IsSourceNotOlder((source + "\\missing.exe").c_str(), to.c_str()));
        CHECK(IsSourceNotOlder(from.c_str(), (target + "\\missing.exe").c_str()));
    }
}

TEST_CASE("a copied file gets the source's last-write time as its times") {
    std::string source = FreshFolder("stamp-source");
    std::string target = FreshFolder("stamp-target");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(source + "\\Data.bin", "data");
    const FILETIME written = Time(kBase);
    SetTimes(source + "\\Data.bin", nullptr, &written);

    CHECK(CopyFileToFolder(nullptr, (source + "\\Data.bin").c_str(), target.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA times = Times(target + "\\Data.bin");
    CHECK(Value(times.ftLastWriteTime) == kBase);
    CHECK(Value(times.ftCreationTime) == kBase);
    CHECK(Value(times.ftLastAccessTime) == kBase);

    // the next installation of the same file finds equal times and copies again
    WriteFileBytes(source + "\\Data.bin", "data 2");
    SetTimes(source + "\\Data.bin", nullptr, &written);
    CHECK(IsSourceNotOlder((source + "\\Data.bin").c_str(), (target + "\\Data.bin").c_str()));
    CHECK(CopyFileToFolder(nullptr, (source + "\\Data.bin").c_str(), target.c_str()));
    CHECK(ReadFileBytes(target + "\\Data.bin") == "data 2");
}

TEST_CASE("a read-only hidden system target is replaced and the copy has the archive attribute only") {
    std::string source = FreshFolder("attr-source");
    std::string target = FreshFolder("attr-target");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(source + "\\Tool.dll", "new");
    WriteFileBytes(target + "\\Tool.dll", "old");
    const FILETIME earlier = Time(kBase - kDay);
    SetTimes(target + "\\Tool.dll", nullptr, &earlier);
    // hidden and system first, then read-only: the order that also works without root rights
    SetFileAttributesA((target + "\\Tool.dll").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((target + "\\Tool.dll").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    REQUIRE((Attributes(target + "\\Tool.dll") & FILE_ATTRIBUTE_READONLY) != 0);
    // the source's own attributes do not travel either
    SetFileAttributesA((source + "\\Tool.dll").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    BoxAnswerer answerer;
    CHECK(CopyFileToFolder(nullptr, (source + "\\Tool.dll").c_str(), target.c_str()));
    CHECK(ReadFileBytes(target + "\\Tool.dll") == "new");
    CHECK(Attributes(target + "\\Tool.dll") == FILE_ATTRIBUTE_ARCHIVE);
    CHECK(Listed(answerer.Seen()) == "");

    // CopyFileOverwrite alone does the same
    SetFileAttributesA((target + "\\Tool.dll").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(source + "\\Tool.dll", "newer");
    SetFileAttributesA((source + "\\Tool.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(CopyFileOverwrite((source + "\\Tool.dll").c_str(), (target + "\\Tool.dll").c_str()));
    CHECK(ReadFileBytes(target + "\\Tool.dll") == "newer");
    CHECK(Attributes(target + "\\Tool.dll") == FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA((source + "\\Tool.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("a missing source is not reported and copies nothing") {
    std::string target = FreshFolder("missing-target");
    g_ctx.FontsDir.Clear();
    BoxAnswerer answerer;
    CHECK(CopyFileToFolder(nullptr, "C:\\qvtest\\nowhere\\Gone.exe", target.c_str()));
    CHECK(FolderNames(target).empty());
    CHECK(Listed(answerer.Seen()) == "");
}

TEST_CASE("a file copied onto itself stays") {
    std::string folder = FreshFolder("self-copy");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(folder + "\\Readme.txt", "only copy");
    BoxAnswerer answerer;
    CHECK(CopyFileToFolder(nullptr, (folder + "\\README.TXT").c_str(), folder.c_str()));
    CHECK(ReadFileBytes(folder + "\\Readme.txt") == "only copy");
    CHECK(CopyFileOverwrite((folder + "\\Readme.txt").c_str(), (folder + "\\.\\readme.txt").c_str()));
    CHECK(ReadFileBytes(folder + "\\Readme.txt") == "only copy");
    CHECK(Listed(answerer.Seen()) == "");
}

TEST_CASE("a failed copy asks Retry or Cancel with the target path") {
    std::string source = FreshFolder("retry-source");
    std::string target = FreshFolder("retry-target");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(source + "\\Readme.txt", "text");
    const std::string to = target + "\\Readme.txt";

    SUBCASE("a folder in the way: Cancel gives false") {
        CreateDirectoryA(to.c_str(), nullptr);
        BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
        CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\Readme.txt").c_str(), target.c_str()));
        CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, to}}));
        CHECK(IsFolder(to));
    }
    SUBCASE("a folder in the way: Retry after it is gone copies the file") {
        CreateDirectoryA(to.c_str(), nullptr);
        BoxAnswerer answerer([&](const SeenBox&, size_t index) {
            if (index == 1) RemoveDirectoryA(to.c_str());
            return IDRETRY;
        });
        CHECK(CopyFileToFolder(nullptr, (source + "\\Readme.txt").c_str(), target.c_str()));
        // asked again after the first retry failed too
        CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, to}, {kCopyFailed, to}}));
        CHECK(ReadFileBytes(to) == "text");
    }
    SUBCASE("a target held open by another program") {
        WriteFileBytes(to, "in use");
        const FILETIME earlier = Time(kBase - kDay);
        SetTimes(to, nullptr, &earlier);
        HeldFile held(to);
        BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
        CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\Readme.txt").c_str(), target.c_str()));
        CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, to}}));
    }
}

TEST_CASE("a copy into the Fonts folder that fails is reported like any other and keeps the installed font") {
    std::string source = FreshFolder("font-source");
    std::string fonts = FreshFolder("font-folder");
    WriteFileBytes(source + "\\Qvfont.ttf", "font");
    g_ctx.FontsDir.Assign("c:\\QVTEST\\font-folder");  // the test ignores letter case

    SUBCASE("a folder in its place") {
        CreateDirectoryA((fonts + "\\Qvfont.ttf").c_str(), nullptr);  // cannot be replaced
        BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
        CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\Qvfont.ttf").c_str(), fonts.c_str()));
        CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, fonts + "\\Qvfont.ttf"}}));
        CHECK(IsFolder(fonts + "\\Qvfont.ttf"));
        CHECK(FolderNames(fonts) == std::vector<std::string>{"Qvfont.ttf"});
        RemoveDirectoryA((fonts + "\\Qvfont.ttf").c_str());
    }
    SUBCASE("the new font held open: the installed one stays whole") {
        WriteFileBytes(fonts + "\\Qvfont.ttf", "installed font");
        const FILETIME earlier = Time(kBase - kDay);
        SetTimes(fonts + "\\Qvfont.ttf", nullptr, &earlier);
        HeldFile held(source + "\\Qvfont.ttf");
        BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
        CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\Qvfont.ttf").c_str(), fonts.c_str()));
        CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, fonts + "\\Qvfont.ttf"}}));
        CHECK(ReadFileBytes(fonts + "\\Qvfont.ttf") == "installed font");
        CHECK(FolderNames(fonts) == std::vector<std::string>{"Qvfont.ttf"});
    }
    // a font that can be copied is copied and stamped like every file
    const FILETIME written = Time(kBase);
    SetTimes(source + "\\Qvfont.ttf", nullptr, &written);
    BoxAnswerer quiet;
    CHECK(CopyFileToFolder(nullptr, (source + "\\Qvfont.ttf").c_str(), fonts.c_str()));
    CHECK(ReadFileBytes(fonts + "\\Qvfont.ttf") == "font");
    CHECK(Value(Times(fonts + "\\Qvfont.ttf").ftLastWriteTime) == kBase);
    CHECK(FolderNames(fonts) == std::vector<std::string>{"Qvfont.ttf"});
    CHECK(Listed(quiet.Seen()) == "");
    g_ctx.FontsDir.Clear();
}

TEST_CASE("a target path longer than Windows takes is refused and named whole") {
    std::string base = FreshLongFolder("long-copy");
    std::string source = FreshFolder("long-source");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(source + "\\README.TXT", "text");
    // 9 + 1 + 240 = 250 characters: the folder itself fits, the file in it does not
    std::string folder = base + "\\" + std::string(250 - base.size() - 1, 'f');
    REQUIRE(folder.size() == 250);
    REQUIRE(CreateDirectoryA(folder.c_str(), nullptr));

    BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
    CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\README.TXT").c_str(), folder.c_str()));
    CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, folder + "\\Readme.txt"}}));
    CHECK(FolderNames(folder).empty());  // not under the name, nor under a shortened one
    CHECK(FolderNames(base).size() == 1);

    CHECK_FALSE(CopyFileOverwrite((source + "\\README.TXT").c_str(), (folder + "\\Readme.txt").c_str()));
    CHECK(FolderNames(folder).empty());
    CHECK_FALSE(CopyMatchingFiles((source + "\\*.TXT").c_str(), (folder + "\\sub").c_str()));
    CHECK(FolderNames(folder).empty());
}

TEST_CASE("a target too long for the partial copy's name is replaced only by a whole copy") {
    std::string base = FreshLongFolder("long-partial");
    std::string source = FreshFolder("long-partial-source");
    g_ctx.FontsDir.Clear();
    WriteFileBytes(source + "\\README.TXT", "new text");
    const FILETIME newer = Time(kBase);
    SetTimes(source + "\\README.TXT", nullptr, &newer);
    for (size_t length : {253, 256, 259}) {
        CAPTURE(length);
        std::string folder = base + "\\" + std::string(length - base.size() - 12, 'f');
        REQUIRE(CreateDirectoryA(folder.c_str(), nullptr));
        const std::string target = folder + "\\Readme.txt";
        REQUIRE(target.size() == length);
        const FILETIME older = Time(kBase - kDay);
        auto install = [&] {
            WriteFileBytes(target, "installed text");
            SetTimes(target, nullptr, &older);
        };

        install();
        {
            BoxAnswerer quiet;
            CHECK(CopyFileToFolder(nullptr, (source + "\\README.TXT").c_str(), folder.c_str()));
            CHECK(Listed(quiet.Seen()) == "");
        }
        CHECK(ReadFileBytes(target) == "new text");
        CHECK(FolderNames(folder) == std::vector<std::string>{"Readme.txt"});

        // a file of that short name that is not the copy's own is passed over, never written
        install();
        WriteFileBytes(folder + "\\~qvteil0", "someone else's");
        CHECK(CopyFileOverwrite((source + "\\README.TXT").c_str(), target.c_str()));
        CHECK(ReadFileBytes(target) == "new text");
        CHECK(ReadFileBytes(folder + "\\~qvteil0") == "someone else's");
        std::vector<std::string> names = FolderNames(folder);
        std::sort(names.begin(), names.end());
        CHECK(names == std::vector<std::string>{"Readme.txt", "~qvteil0"});
        DeleteFileA((folder + "\\~qvteil0").c_str());

        // a copy that fails: the installed version stays whole, and nothing else is left
        install();
        {
            HeldFile held(source + "\\README.TXT");
            BoxAnswerer answerer([](const SeenBox&, size_t) { return IDCANCEL; });
            CHECK_FALSE(CopyFileToFolder(nullptr, (source + "\\README.TXT").c_str(), folder.c_str()));
            CHECK(Listed(answerer.Seen()) == Listed({{kCopyFailed, target}}));
        }
        CHECK(ReadFileBytes(target) == "installed text");
        CHECK(FolderNames(folder) == std::vector<std::string>{"Readme.txt"});
        RemoveLongTree(std::wstring(L"\\\\?\\") + std::wstring(folder.begin(), folder.end()));
    }
}

TEST_CASE("CopyMatchingFiles copies every match, goes on after a failure and reports it") {
    CurrentFolderKeeper keeper;
    std::string source = FreshFolder("wild-source");
    std::string target = FreshFolder("wild-target");
    for (const char* name : {"a.dll", "b.dll", "c.dll"}) WriteFileBytes(source + "\\" + name, name);
    WriteFileBytes(source + "\\skip.txt", "skip");
    CreateDirectoryA((source + "\\folder.dll").c_str(), nullptr);  // folders are passed over
    SetCurrentDirectoryA(source.c_str());

    SUBCASE("all copied, with the archive attribute only") {
        WriteFileBytes(target + "\\b.dll", "old");
        SetFileAttributesA((target + "\\b.dll").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        CHECK(CopyMatchingFiles("*.dll", target.c_str()));
        for (const char* name : {"a.dll", "b.dll", "c.dll"}) {
            CAPTURE(std::string(name));
            CHECK(ReadFileBytes(target + "\\" + name) == name);
            CHECK(Attributes(target + "\\" + name) == FILE_ATTRIBUTE_ARCHIVE);
        }
        CHECK(FolderNames(target).size() == 3);
    }
    SUBCASE("a target name that is a folder") {
        CreateDirectoryA((target + "\\b.dll").c_str(), nullptr);
        CHECK_FALSE(CopyMatchingFiles("*.dll", target.c_str()));
        CHECK(ReadFileBytes(target + "\\a.dll") == "a.dll");
        CHECK(ReadFileBytes(target + "\\c.dll") == "c.dll");
        CHECK(IsFolder(target + "\\b.dll"));
    }
    SUBCASE("a target held open without sharing") {
        HeldFile held(target + "\\a.dll");
        CHECK_FALSE(CopyMatchingFiles("*.dll", target.c_str()));
        CHECK(ReadFileBytes(target + "\\b.dll") == "b.dll");
        CHECK(ReadFileBytes(target + "\\c.dll") == "c.dll");
    }
    SUBCASE("a pattern that matches nothing, or whose folder is missing") {
        CHECK(CopyMatchingFiles("*.ocx", target.c_str()));
        CHECK(CopyMatchingFiles("C:\\qvtest\\nowhere\\*.dll", target.c_str()));
        CHECK(FolderNames(target).empty());
    }
    SUBCASE("a pattern with a folder part copies the files of that folder") {
        std::string elsewhere = FreshFolder("wild-elsewhere");
        WriteFileBytes(elsewhere + "\\a.dll", "decoy");
        SetCurrentDirectoryA(elsewhere.c_str());
        CHECK(CopyMatchingFiles((source + "\\*.dll").c_str(), target.c_str()));
        CHECK(ReadFileBytes(target + "\\a.dll") == "a.dll");
        CHECK(FolderNames(target).size() == 3);
    }
    SUBCASE("the target folder's missing parents are created") {
        std::string deep = target + "\\x\\y";
        CHECK(CopyMatchingFiles("a.dll", (deep + "\\").c_str()));
        CHECK(ReadFileBytes(deep + "\\a.dll") == "a.dll");
    }
    SUBCASE("each file is named in the progress window's item line") {
        g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
        REQUIRE(OpenProgressWindow(nullptr, "Installation", "Kopieren von") != nullptr);
        CHECK(CopyMatchingFiles("c.dll", target.c_str()));
        char item[64] = "";
        GetDlgItemTextA(g_ctx.ProgressWindow, 102, item, sizeof item);
        CHECK(std::string(item) == "c.dll");
        CloseProgressWindow();
    }
}

TEST_CASE("DeleteMatchingFiles with *.* deletes only the folder's own files") {
    std::string folder = FreshFolder("tree-flat");
    WriteFileBytes(folder + "\\a.txt", "a");
    WriteFileBytes(folder + "\\b.lnk", "b");
    SetFileAttributesA((folder + "\\b.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    WriteFileBytes(folder + "\\sub\\c.txt", "c");

    BoxAnswerer answerer;
    DeleteMatchingFiles(nullptr, (folder + "\\*.*").c_str(), nullptr);
    CHECK(FolderNames(folder) == std::vector<std::string>{"sub"});
    CHECK(ReadFileBytes(folder + "\\sub\\c.txt") == "c");
    CHECK(Listed(answerer.Seen()) == "");
}

TEST_CASE("DeleteFolderTree with recursion empties and removes every sub-folder but not the folder") {
    std::string folder = FreshFolder("tree-deep");
    CreateDirectoryA((folder + "\\one").c_str(), nullptr);
    CreateDirectoryA((folder + "\\one\\two").c_str(), nullptr);
    CreateDirectoryA((folder + "\\three").c_str(), nullptr);
    WriteFileBytes(folder + "\\top.txt", "t");
    WriteFileBytes(folder + "\\one\\hidden.ini", "h");
    SetFileAttributesA((folder + "\\one\\hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((folder + "\\one\\hidden.ini").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(folder + "\\one\\two\\deep.txt", "d");
    SetFileAttributesA((folder + "\\three").c_str(), FILE_ATTRIBUTE_READONLY);

    BoxAnswerer answerer;
    DeleteFolderTree(nullptr, folder.c_str());
    CHECK(IsFolder(folder));
    CHECK(FolderNames(folder).empty());
    CHECK(Listed(answerer.Seen()) == "");
}

TEST_CASE("DeleteFolderTree on a missing folder does nothing and shows nothing") {
    BoxAnswerer answerer;
    DeleteFolderTree(nullptr, "C:\\qvtest\\no-such-folder");
    CHECK(Listed(answerer.Seen()) == "");
    CHECK_FALSE(PathExists("C:\\qvtest\\no-such-folder"));
}

TEST_CASE("DeleteFolderTree never empties a drive") {
    // A file in the root of the test prefix's drive (which holds no files of its own): an empty
    // folder or a bare drive would name that root.
    CurrentFolderKeeper keeper;
    SetCurrentDirectoryA("C:\\qvtest");
    const std::string marker = "C:\\qvtest-root-marker.txt";
    WriteFileBytes(marker, "root");
    for (const char* folder : {"", "C:", "C:\\", "\\"}) {
        CAPTURE(std::string(folder));
        DeleteFolderTree(nullptr, folder);
        CHECK(ReadFileBytes(marker) == "root");
    }
    DeleteFolderTree(nullptr, nullptr);
    CHECK(ReadFileBytes(marker) == "root");
    DeleteFileA(marker.c_str());
}

TEST_CASE("a folder whose name begins with a dot is not entered, so its parent stays and is reported") {
    std::string folder = FreshFolder("tree-dot");
    CreateDirectoryA((folder + "\\data").c_str(), nullptr);
    CreateDirectoryA((folder + "\\data\\.cache").c_str(), nullptr);
    WriteFileBytes(folder + "\\data\\.cache\\kept.bin", "k");
    WriteFileBytes(folder + "\\data\\gone.txt", "g");
    CreateDirectoryA((folder + "\\.top").c_str(), nullptr);  // skipped without a word
    WriteFileBytes(folder + "\\.top\\kept.txt", "k");

    BoxAnswerer answerer([](const SeenBox&, size_t) { return IDOK; });
    DeleteFolderTree(nullptr, folder.c_str());
    CHECK(Listed(answerer.Seen()) == Listed({{kFolderNotDeleted, folder + "\\data"}}));
    CHECK(ReadFileBytes(folder + "\\data\\.cache\\kept.bin") == "k");
    CHECK_FALSE(PathExists(folder + "\\data\\gone.txt"));
    CHECK(ReadFileBytes(folder + "\\.top\\kept.txt") == "k");
}

TEST_CASE("a file that cannot be deleted is reported, and so is its folder") {
    std::string folder = FreshFolder("tree-held");
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    WriteFileBytes(folder + "\\sub\\busy.dll", "busy");
    WriteFileBytes(folder + "\\sub\\free.txt", "free");
    {
        HeldFile held(folder + "\\sub\\busy.dll");
        BoxAnswerer answerer([](const SeenBox&, size_t) { return IDOK; });
        DeleteFolderTree(nullptr, folder.c_str());
        CHECK(Listed(answerer.Seen()) == Listed({{kFileNotDeleted, folder + "\\sub\\busy.dll"},
                                                       {kFolderNotDeleted, folder + "\\sub"}}));
    }
    CHECK(PathExists(folder + "\\sub\\busy.dll"));
    CHECK_FALSE(PathExists(folder + "\\sub\\free.txt"));
}

TEST_CASE("DeleteFolderTree refuses entries whose paths do not fit and names them whole") {
    const std::string base = FreshLongFolder("tree-long");
    const std::string folder = base + "\\" + std::string(245 - base.size() - 1, 'f');
    const std::string longName = std::string(20, 'n') + ".txt";
    REQUIRE(folder.size() == 245);
    REQUIRE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteFileBytes(base + "\\short.txt", "s");
    // Wine's CopyFileA takes a path beyond 259 characters; that is how the file gets there
    CopyFileA((base + "\\short.txt").c_str(), (folder + "\\" + longName).c_str(), FALSE);
    if (FolderNames(folder) != std::vector<std::string>{longName}) {
        MESSAGE("no file with a path beyond 259 characters could be made here; not tested");
        return;
    }
    WriteFileBytes(folder + "\\fits.txt", "f");
    BoxAnswerer answerer([](const SeenBox&, size_t) { return IDOK; });
    DeleteFolderTree(nullptr, folder.c_str());
    CHECK(Listed(answerer.Seen()) == Listed({{kFileNotDeleted, folder + "\\" + longName}}));
    CHECK(FolderNames(folder) == std::vector<std::string>{longName});
    // the folder's pattern itself does not fit: nothing is searched, nothing is shown
    std::string deeper = folder + "\\" + std::string(12, 'd');
    REQUIRE(CreateDirectoryA(deeper.c_str(), nullptr));
    BoxAnswerer quiet;
    DeleteFolderTree(nullptr, deeper.c_str());
    CHECK(Listed(quiet.Seen()) == "");
    FreshLongFolder("tree-long");
    CHECK(FolderNames(base).empty());
}

namespace {

// A Unix path of a Windows path, through Wine's own export (absent on Windows).
std::string UnixPathOf(const std::string& path) {
    using Convert = char*(CDECL*)(const WCHAR*);
    Convert convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unixPath = convert(wide);
    if (unixPath == nullptr) return "";
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Runs a Unix shell command. Wine starts an ELF program detached, without a process to wait
// for, so the end is seen through a marker file the command writes last.
bool RunUnixShell(const std::string& script) {
    const std::string marker = "C:\\qvtest\\unix-done";
    DeleteFileA(marker.c_str());
    std::string unixMarker = UnixPathOf(marker);
    if (unixMarker.empty()) return false;
    std::string command = "Z:\\bin\\sh -c \"" + script + "; touch " + unixMarker + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int wait = 0; wait < 200 && !PathExists(marker); ++wait) Sleep(50);
    bool done = PathExists(marker);
    DeleteFileA(marker.c_str());
    return done;
}

// A link to a folder: a Windows symbolic link where the platform makes one, otherwise (Wine 8,
// whose CreateSymbolicLinkA reports success and makes nothing) a Unix symbolic link.
enum class LinkKind { None, Windows, Unix };

void RemoveUnixLink(const std::string& link);

LinkKind MakeFolderLink(const std::string& link, const std::string& target) {
    RemoveUnixLink(link);  // one left by an earlier run that stopped half-way
    if (PathExists(link)) return LinkKind::None;
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && PathExists(link))
        return LinkKind::Windows;
    std::string unixLink = UnixPathOf(link);
    std::string unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty()) return LinkKind::None;
    RunUnixShell("ln -sfn " + unixTarget + " " + unixLink);
    return PathExists(link) ? LinkKind::Unix : LinkKind::None;
}

// Removes a Unix link without following it (RemoveDirectoryA under Wine would follow it), also
// one whose folder is gone (Wine then no longer lists it).
void RemoveUnixLink(const std::string& link) {
    std::string unixLink = UnixPathOf(link);
    if (!unixLink.empty()) RunUnixShell("rm -f " + unixLink);
}

}  // namespace

TEST_CASE("DeleteFolderTree removes links to folders and never what they point to") {
    const std::string tree = "C:\\qvtest\\link-tree";
    // a link left by an earlier run must not be followed by the clean-up
    RemoveUnixLink(tree + "\\sub\\full-link");
    RemoveUnixLink(tree + "\\empty-link");
    std::string outside = FreshFolder("link-outside");
    CreateDirectoryA((outside + "\\full").c_str(), nullptr);
    WriteFileBytes(outside + "\\full\\precious.txt", "precious");
    SetFileAttributesA((outside + "\\full\\precious.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA((outside + "\\empty").c_str(), nullptr);
    FreshFolder("link-tree");
    CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
    WriteFileBytes(tree + "\\sub\\own.txt", "own");

    LinkKind full = MakeFolderLink(tree + "\\sub\\full-link", outside + "\\full");
    LinkKind empty = MakeFolderLink(tree + "\\empty-link", outside + "\\empty");
    REQUIRE(full != LinkKind::None);
    REQUIRE(empty == full);
    // what the directory search reports for the link
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((tree + "\\empty-link").c_str(), &found);
    REQUIRE(search != INVALID_HANDLE_VALUE);
    FindClose(search);
    CHECK((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    CHECK((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);

    BoxAnswerer answerer([](const SeenBox&, size_t) { return IDOK; });
    DeleteFolderTree(nullptr, tree.c_str());
    std::vector<SeenBox> seen = answerer.Seen();

    CHECK(ReadFileBytes(outside + "\\full\\precious.txt") == "precious");
    CHECK((Attributes(outside + "\\full\\precious.txt") & FILE_ATTRIBUTE_READONLY) != 0);
    CHECK(IsFolder(outside + "\\empty"));
    CHECK_FALSE(PathExists(tree + "\\sub\\own.txt"));
    if (full == LinkKind::Windows) {
        CHECK(Listed(seen) == "");
        CHECK(FolderNames(tree).empty());
    } else {
        // Wine opens the folder a Unix link points to even when asked for the link itself, so
        // the link cannot be removed safely: it stays and is reported, like its parent.
        MESSAGE("Unix links under Wine: left in place and reported");
        std::sort(seen.begin(), seen.end(), [](const SeenBox& a, const SeenBox& b) { return a.text < b.text; });
        CHECK(Listed(seen) == Listed({{kFolderNotDeleted, tree + "\\empty-link"},
                                            {kFolderNotDeleted, tree + "\\sub"},
                                            {kFolderNotDeleted, tree + "\\sub\\full-link"}}));
        CHECK(PathExists(tree + "\\empty-link"));
    }
    // the tree's own top level is never entered when it is a link itself
    LinkKind top = MakeFolderLink("C:\\qvtest\\link-top", outside + "\\full");
    REQUIRE(top != LinkKind::None);
    DeleteFolderTree(nullptr, "C:\\qvtest\\link-top");
    CHECK(ReadFileBytes(outside + "\\full\\precious.txt") == "precious");
    CHECK_FALSE(RemoveFolderOrLink((outside + "\\full").c_str()));  // not empty
    if (top == LinkKind::Windows) {
        CHECK(RemoveFolderOrLink("C:\\qvtest\\link-top"));
    } else {
        CHECK_FALSE(RemoveFolderOrLink("C:\\qvtest\\link-top"));
    }
    CHECK(IsFolder(outside + "\\full"));

    RemoveUnixLink("C:\\qvtest\\link-top");
    RemoveUnixLink(tree + "\\sub\\full-link");
    RemoveUnixLink(tree + "\\empty-link");
    RemoveTree(tree);
    CHECK_FALSE(PathExists(tree));
    CHECK(ReadFileBytes(outside + "\\full\\precious.txt") == "precious");
    SetFileAttributesA((outside + "\\full\\precious.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("RemoveFolderOrLink removes an empty folder only") {
    std::string folder = FreshFolder("remove-folder");
    CreateDirectoryA((folder + "\\empty").c_str(), nullptr);
    CreateDirectoryA((folder + "\\full").c_str(), nullptr);
    WriteFileBytes(folder + "\\full\\x", "x");
    WriteFileBytes(folder + "\\file", "f");
    CHECK(RemoveFolderOrLink((folder + "\\empty").c_str()));
    CHECK_FALSE(PathExists(folder + "\\empty"));
    CHECK_FALSE(RemoveFolderOrLink((folder + "\\full").c_str()));
    CHECK_FALSE(RemoveFolderOrLink((folder + "\\file").c_str()));
    CHECK(PathExists(folder + "\\file"));
    CHECK_FALSE(RemoveFolderOrLink((folder + "\\missing").c_str()));
}

TEST_CASE("IsFolderEmpty: a folder without files and sub-folders, not a missing one or a file") {
    std::string folder = FreshFolder("empty-folder");
    CreateDirectoryA((folder + "\\empty").c_str(), nullptr);
    CreateDirectoryA((folder + "\\with-file").c_str(), nullptr);
    WriteFileBytes(folder + "\\with-file\\x.lnk", "x");
    CreateDirectoryA((folder + "\\with-folder").c_str(), nullptr);
    CreateDirectoryA((folder + "\\with-folder\\sub").c_str(), nullptr);
    CreateDirectoryA((folder + "\\with-hidden").c_str(), nullptr);
    WriteFileBytes(folder + "\\with-hidden\\desktop.ini", "h");
    SetFileAttributesA((folder + "\\with-hidden\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CHECK(IsFolderEmpty((folder + "\\empty").c_str()));
    CHECK(IsFolderEmpty((folder + "\\empty\\").c_str()));
    CHECK_FALSE(IsFolderEmpty((folder + "\\with-file").c_str()));
    CHECK_FALSE(IsFolderEmpty((folder + "\\with-folder").c_str()));
    CHECK_FALSE(IsFolderEmpty((folder + "\\with-hidden").c_str()));
    CHECK_FALSE(IsFolderEmpty((folder + "\\missing").c_str()));
    CHECK_FALSE(IsFolderEmpty((folder + "\\with-file\\x.lnk").c_str()));
    CHECK_FALSE(IsFolderEmpty(""));
}

TEST_CASE("DeleteMatchingFiles deletes the matching files of the pattern's folder like DeleteFolderTree") {
    std::string folder = FreshFolder("match-delete");
    WriteFileBytes(folder + "\\a.txt", "a");
    WriteFileBytes(folder + "\\b.txt", "b");
    SetFileAttributesA((folder + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(folder + "\\keep.dat", "k");
    CreateDirectoryA((folder + "\\dir.txt").c_str(), nullptr);
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    WriteFileBytes(folder + "\\sub\\deep.txt", "d");
    WriteFileBytes(folder + "\\busy.txt", "busy");

    HeldFile held(folder + "\\busy.txt");
    BoxAnswerer answerer([](const SeenBox&, size_t) { return IDOK; });
    DeleteMatchingFiles(nullptr, (folder + "\\*.txt").c_str(), nullptr);
    CHECK(Listed(answerer.Seen()) == Listed({{kFileNotDeleted, folder + "\\busy.txt"}}));
    std::vector<std::string> left = FolderNames(folder);
    std::sort(left.begin(), left.end());
    CHECK(left == std::vector<std::string>{"busy.txt", "dir.txt", "keep.dat", "sub"});
    CHECK(ReadFileBytes(folder + "\\sub\\deep.txt") == "d");

    BoxAnswerer quiet;
    DeleteMatchingFiles(nullptr, (folder + "\\*.none").c_str(), nullptr);
    DeleteMatchingFiles(nullptr, "C:\\qvtest\\nowhere\\*.txt", nullptr);
    CHECK(Listed(quiet.Seen()) == "");
}

TEST_CASE("an installed font is unloaded and replaced by the whole new copy") {
    std::string fonts = FreshFolder("font-replace");
    const std::string font = fonts + "\\QvSans.ttf";
    const std::string copy = fonts + "\\QvSans.ttf.qvteil";
    REQUIRE(CopyFileA("Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf", font.c_str(), FALSE));
    SetFileAttributesA(font.c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(AddFontResourceA(font.c_str()) == 1);
    WriteFileBytes(copy, "new font");

    CHECK(ReplaceInstalledFont(copy.c_str(), font.c_str()));
    CHECK(ReadFileBytes(font) == "new font");
    CHECK_FALSE(PathExists(copy));
    if (RemoveFontResourceA(font.c_str())) MESSAGE("the font was still loaded after its replacement");

    // no installed font yet: the copy simply takes its place
    WriteFileBytes(copy, "first font");
    CHECK(ReplaceInstalledFont(copy.c_str(), (fonts + "\\QvNew.ttf").c_str()));
    CHECK(ReadFileBytes(fonts + "\\QvNew.ttf") == "first font");
    // a copy that cannot take the place: the installed file stays, the copy is the caller's
    CreateDirectoryA((fonts + "\\QvDir.ttf").c_str(), nullptr);
    WriteFileBytes(copy, "blocked");
    CHECK_FALSE(ReplaceInstalledFont(copy.c_str(), (fonts + "\\QvDir.ttf").c_str()));
    CHECK(ReadFileBytes(copy) == "blocked");
    std::string tooLong = fonts + "\\" + std::string(260, 'x') + ".ttf";
    CHECK_FALSE(ReplaceInstalledFont(copy.c_str(), tooLong.c_str()));
}
