// Runs one end-to-end case file (tests/e2e/cases/README.md): its packages and files, the real
// Setup.exe started and its boxes answered as the file says, the checks, and a snapshot of the
// folders an installation must leave alone.
//   case_runner --case=<file> --setup=<Setup.exe> --tools=<stand-ins> --demo=<examples/demo>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "sentinel.h"

using namespace e2e;

namespace {

struct Directive {
    int line;
    std::string key;
    std::string value;
    std::string left, right;  // of a value "left = right", both expanded and the right side unescaped
    std::string utf8;         // the value as written, for names code page 1252 cannot spell
};

struct Case {
    std::string name;  // the file's name without ".case"
    std::vector<Directive> directives;
    bool hasList = false;
    std::string list;  // the main package's Setup.lst, as it is to be read
};

struct Shown {
    Window window;
    std::string caption;
    std::string text;
};

struct State {
    const Case* c = nullptr;
    std::string casePath;  // the case file, in Windows' spelling
    std::map<std::string, std::string> packages;  // name ("" for the main one) -> folder
    std::vector<std::string> footprints;
    std::vector<std::string> mounts;  // Unix paths of the volumes mounted by the case
    std::vector<std::string> links;   // Unix paths of the links made by the case
    std::vector<std::string> foreign; // Unix paths of folders a name code page 1252 cannot spell
    std::string certificate;          // the Unix folder of the case's throw-away signing key
    std::map<std::string, HANDLE> held;
    std::unique_ptr<Run> run;
    std::unique_ptr<Run> background;  // a program started beside the runs (start:, also:)
    Shown shown;                      // the box await: found, until press:
    DWORD lastPid = 0;
    bool noWindow = false;
    bool snapshotTaken = false;
    Sentinels before;
    int failures = 0;
    bool stopped = false;  // a run went wrong: the rest of the case is not run
    bool notCovered = false;
};

void Fail(State& s, const Directive& d, const std::string& what) {
    ++s.failures;
    std::printf("FAILED line %d: %s: %s\n   %s\n", d.line, d.key.c_str(), d.value.c_str(), what.c_str());
}

void Check(State& s, const Directive& d, bool ok, const std::string& what) { if (!ok) Fail(s, d, what); }

// A failure after which the rest of the case is not run.
void Stop(State& s, const Directive& d, const std::string& what) {
    Fail(s, d, what);
    s.stopped = true;
}

std::string Printable(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = '|';
    return text.size() > 300 ? text.substr(0, 300) + "..." : text;
}

std::string Trim(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t\r");
    return start == std::string::npos ? "" : text.substr(start, end - start + 1);
}

// Header lines are UTF-8; the program's texts are code page 1252.
std::string ToCodePage1252(const std::string& utf8) {
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], wide);
    int bytes = WideCharToMultiByte(1252, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(1252, 0, text.data(), wide, &result[0], bytes, nullptr, nullptr);
    return result;
}

bool ReadCase(const std::string& path, Case* c) {
    std::string bytes = ReadFileBytes(path);
    if (bytes == "<missing>") return false;
    size_t slash = path.find_last_of("\\/");
    c->name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    c->name = c->name.substr(0, c->name.rfind('.'));
    size_t pos = 0;
    for (int number = 1; pos < bytes.size(); ++number) {
        size_t end = bytes.find('\n', pos);
        std::string line = bytes.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "---") {
            c->hasList = true;
            c->list = bytes.substr(pos);
            return true;
        }
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos) return false;
        std::string value = Trim(line.substr(colon + 1));
        c->directives.push_back({number, line.substr(0, colon), ToCodePage1252(value), {}, {}, value});
    }
    return true;
}

// ---- texts: folders in braces, escapes in data

std::string FolderOf(State& s, const std::string& name) {
    if (name == "pkg") return s.packages[""];
    if (name.rfind("pkg:", 0) == 0) return s.packages[name.substr(4)];
    if (name == "programfiles") return ProgramFilesDir();
    if (name == "windows") return WindowsDir();
    if (name == "system") return SystemDir();
    if (name == "fonts") return FontsDir();
    if (name == "programs") return ProgramsDir(true);
    if (name == "userprograms") return ProgramsDir(false);
    if (name == "desktop") return DesktopDir(true);
    if (name == "userdesktop") return DesktopDir(false);
    if (name == "tools") return ToolsFolder();
    if (name == "demo") return DemoFolder();
    if (name == "cabinets") return s.casePath.substr(0, s.casePath.rfind("\\cases\\")) + "\\cabinets";
    return "{" + name + "}";
}

std::string Expand(State& s, const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
        if (close == std::string::npos) {
            result += text[i];
            continue;
        }
        std::string name = text.substr(i + 1, close - i - 1);
        size_t star = name.rfind('*');
        int count = star == std::string::npos ? 0 : std::atoi(name.c_str() + star + 1);
        for (int n = 0; n < count; ++n) result += name.substr(0, star);  // {TEXT*N}: TEXT N times
        if (count <= 0) result += FolderOf(s, name);
        i = close;
    }
    return result;
}

int HexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), 0, 16) : -1; }

std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        char next = i + 1 < text.size() ? text[i + 1] : 0;
        if (text[i] != '\\' || next == 0) {
            result += text[i];
        } else if (next == 'r' || next == 'n' || next == 't' || next == '\\') {
            result += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
            ++i;
        } else if (next == 'x' && i + 3 < text.size() + 0 && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
            result += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            result += text[i];
        }
    }
    return result;
}

// "left = right", both sides expanded; the right side also unescaped.
bool SplitAssignment(State& s, const std::string& value, std::string* left, std::string* right) {
    size_t eq = value.find(" = ");
    if (eq == std::string::npos) {
        if (value.size() >= 2 && value.compare(value.size() - 2, 2, " =") == 0) eq = value.size() - 2;
        else return false;
    }
    *left = Expand(s, Trim(value.substr(0, eq)));
    *right = eq + 3 <= value.size() ? Expand(s, Unescape(value.substr(eq + 3))) : "";
    return true;
}

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        parts.push_back(Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

// ---- registry keys as "HKLM\..." texts

bool SplitKey(const std::string& text, HKEY* root, std::string* key) {
    struct Root {
        const char* name;
        HKEY root;
    };
    static const Root roots[] = {{"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCU\\", HKEY_CURRENT_USER},
                                 {"HKCR\\", HKEY_CLASSES_ROOT}};
    for (const Root& r : roots) {
        if (text.rfind(r.name, 0) != 0) continue;
        *root = r.root;
        *key = text.substr(std::strlen(r.name));
        return true;
    }
    return false;
}

// A file or folder, a key with everything below it, or "KEY | NAME": one value of a key that
// other programs share (the registered fonts).
void RemoveFootprint(const std::string& path) {
    HKEY root = nullptr;
    std::string key;
    if (SplitKey(path, &root, &key)) {
        size_t bar = key.find(" | ");
        HKEY opened = nullptr;
        if (bar == std::string::npos) RemoveRegistryTree(root, key);
        else if (RegOpenKeyExA(root, key.substr(0, bar).c_str(), 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS)
            RegDeleteValueA(opened, key.substr(bar + 3).c_str()), RegCloseKey(opened);
        return;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) RemoveTree(path);
}

void MakeFolders(const std::string& path) {
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    MakeFolders(path);
    WriteFileBytes(path, bytes);
}

bool CopyTree(const std::string& from, const std::string& to) {
    DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        MakeFolders(to);
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
    }
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string& name : FolderNames(from))
        if (!CopyTree(from + "\\" + name, to + "\\" + name)) return false;
    return true;
}

std::string MakePackage(State& s, const std::string& name) {
    std::string folder = FreshFolder(name.empty() ? s.c->name : s.c->name + "-" + name, "C:\\qve2e");
    if (!CopyFileA(ProgramUnderTest().c_str(), (folder + "\\Setup.exe").c_str(), FALSE))
        std::printf("the program was not copied into %s: Windows error %lu\n", folder.c_str(), GetLastError());
    s.packages[name] = folder;
    return folder;
}

// A throw-away certificate and key for the case, made with openssl once; their Unix folder.
std::string Certificate(State& s) {
    if (!s.certificate.empty()) return s.certificate;
    std::string folder = UnixPathOf(s.packages[""]) + "-sign";
    if (RunUnixShell("mkdir -p " + ShellQuoted(folder) + " && openssl req -x509 -newkey rsa:2048 -nodes "
                     "-subj /CN=Quorvane-Test -days 2 -keyout " + ShellQuoted(folder + "/k.pem") + " -out " +
                     ShellQuoted(folder + "/c.pem") + " >/dev/null 2>&1", 60000))
        s.certificate = folder;
    return s.certificate;
}

std::string SignCommand(State& s, const std::string& in, const std::string& out) {
    std::string folder = Certificate(s);
    return "osslsigncode sign -certs " + ShellQuoted(folder + "/c.pem") + " -key " + ShellQuoted(folder + "/k.pem") +
           " -in " + ShellQuoted(in) + " -out " + ShellQuoted(out) + " >/dev/null";
}

// A packed Setup.exe as tools/pack makes one: the program under test followed by a cabinet of
// the folder's files but its own Setup.exe, made with gcab on the Unix side. Not tools/pack
// itself: it refuses the lists some cases pack on purpose (the unpacked program must refuse
// them), and tests/pack_tool.sh tests it on its own. The words behind the program's name: mszip
// (the default), stored (no compression), xz (a stored cabinet in an .xz stream), signed (the
// program part signed before packing, its copy kept as EXE.part, and the packed file signed as a
// whole), outersigned (only the packed file signed).
bool Pack(State& s, const std::string& folder, const std::string& target) {
    std::string exe = target.substr(0, target.find(".exe ") == std::string::npos ? target.size()
                                                                                  : target.find(".exe ") + 4);
    std::string how = " " + target.substr(exe.size()) + " ";
    auto has = [&](const char* word) { return how.find(std::string(" ") + word + " ") != std::string::npos; };
    std::string out = UnixPathOf(exe);
    std::string cabinet = out + ".cab";
    std::string program = UnixPathOf(ProgramUnderTest());
    std::string command = "cd " + ShellQuoted(UnixPathOf(folder)) +
                          " && find . -type f ! -ipath ./setup.exe | sed 's|^[.]/||' | LC_ALL=C sort | tr '\\n' '\\0' | "
                          "xargs -0 gcab -c" + std::string(has("stored") || has("xz") ? " " : " -z ") + ShellQuoted(cabinet);
    if (has("xz")) command += " && xz --x86 -6 -T1 --stdout " + ShellQuoted(cabinet) + " > " + ShellQuoted(cabinet + ".xz") +
                              " && mv " + ShellQuoted(cabinet + ".xz") + " " + ShellQuoted(cabinet);
    if (has("signed")) {
        command += " && " + SignCommand(s, program, out + ".part");
        program = out + ".part";
    }
    command += " && cat " + ShellQuoted(program) + " " + ShellQuoted(cabinet) + " > " + ShellQuoted(out) + " && rm " +
               ShellQuoted(cabinet);
    if (has("signed") || has("outersigned")) {
        // The program part's table is no longer the file's: the entry is cleared for the signer.
        command += " && entry=$(( $(od -An -tu4 -j60 -N4 " + ShellQuoted(out) + ") + 168 ))"
                   " && printf '\\0\\0\\0\\0\\0\\0\\0\\0' | dd of=" + ShellQuoted(out) +
                   " bs=1 seek=$entry conv=notrunc 2>/dev/null && " + SignCommand(s, out, out + ".signed") +
                   " && mv " + ShellQuoted(out + ".signed") + " " + ShellQuoted(out);
    }
    return RunUnixShell(command, 120000);
}

// A file changed as a download or an attacker would change it: "cut N" drops its last N bytes,
// "flip N" inverts the byte N bytes before its end, "name OLD NEW" writes NEW over the last OLD
// (of the same length), "append TEXT" adds the bytes.
bool Change(const std::string& path, const std::string& how) {
    std::string bytes = ReadFileBytes(path);
    std::vector<std::string> words;
    for (size_t start = 0, blank = 0; blank != std::string::npos; start = blank + 1)
        words.push_back(how.substr(start, (blank = how.find(' ', start)) - start));
    size_t n = words.size() > 1 ? std::strtoul(words[1].c_str(), nullptr, 10) : 0;
    if (bytes == "<missing>" || words.size() < 2) return false;
    if (words[0] == "cut" && n <= bytes.size()) bytes.resize(bytes.size() - n);
    else if (words[0] == "flip" && n >= 1 && n <= bytes.size()) bytes[bytes.size() - n] ^= static_cast<char>(0xFF);
    else if (words[0] == "append") bytes += how.substr(7);
    else if (words[0] == "name" && words.size() == 3 && words[1].size() == words[2].size() &&
             bytes.rfind(words[1]) != std::string::npos)
        bytes.replace(bytes.rfind(words[1]), words[1].size(), words[2]);
    else return false;
    WriteFileBytes(path, bytes);
    return true;
}

// ---- the program's windows

// The next box or dialog with buttons, or the end of the run, within ms.
bool WaitForBox(State& s, Shown* shown, DWORD ms, bool* sawWindow) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD pid = s.run->Pid();
        if (s.noWindow && HasVisibleWindow(pid)) *sawWindow = true;
        Window dialog = AnswerableDialog(pid);
        if (dialog) {
            shown->window = dialog;
            shown->caption = dialog.Caption();
            // a box's text is its static 0xFFFF; the program's dialogs show theirs in control 101
            shown->text = dialog.HasControl(101) ? dialog.Text(101) : dialog.MessageText();
            return true;
        }
        if (s.run->HasEnded() || GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

// Presses a button by its name, or uses the keyboard or the close box as a user would.
bool Answer(const Window& window, const std::string& how) {
    static const std::map<std::string, int> buttons = {{"OK", IDOK},   {"Cancel", IDCANCEL}, {"Yes", IDYES},
                                                       {"No", IDNO},   {"Retry", IDRETRY},   {"Abort", IDABORT},
                                                       {"Ignore", IDIGNORE}};
    auto found = buttons.find(how);
    if (found != buttons.end()) window.Press(found->second);
    else if (!how.empty() && std::isdigit(static_cast<unsigned char>(how[0]))) window.Press(std::stoi(how));
    else if (how == "Enter") window.PressEnter();
    else if (how == "Escape") window.PressEscape();
    else if (how == "close") window.CloseBox();
    else return false;
    return true;
}

void EndRun(State& s) { s.run.reset(); }  // a run that is still going is ended

// ---- directives

// The first run takes the snapshot of what an installation must leave alone.
void TakeSnapshotOnce(State& s) {
    if (s.snapshotTaken) return;
    PlantSentinels();
    s.before = Sentinels::Take();
    s.snapshotTaken = true;
}

// "HKxx\KEY | NAME": the root, the key and the value's name (empty for the default value).
bool SplitValuePath(State& s, const std::string& text, HKEY* root, std::string* key, std::string* name) {
    std::vector<std::string> parts = SplitBars(text);
    if (parts.size() != 2 || !SplitKey(Expand(s, parts[0]), root, key)) return false;
    *name = parts[1];
    return true;
}

// "HKxx\KEY | NAME": the command line the value holds, started as a deployment tool starts the
// uninstall entry's QuietUninstallString: exactly as written, from the program's folder.
void DoRunValue(State& s, const Directive& d) {
    HKEY root = nullptr;
    std::string key, name;
    if (!SplitValuePath(s, d.value, &root, &key, &name)) return Stop(s, d, "needs HKxx\\KEY | NAME");
    bool exists = false;
    std::string line = RegistryText(root, key, name.c_str(), &exists);
    size_t quote = line.find('"', 1);
    if (!exists || line.empty() || line[0] != '"' || quote == std::string::npos)
        return Stop(s, d, "the value holds no command line with a quoted program: \"" + Printable(line) + "\"");
    std::string program = line.substr(1, quote - 1);
    TakeSnapshotOnce(s);
    s.run = std::make_unique<Run>();
    if (!s.run->Start(line, program.substr(0, program.find_last_of('\\')), ""))
        return Stop(s, d, "the program could not be started: Windows error " + std::to_string(GetLastError()));
    s.lastPid = s.run->Pid();
}

void DoRun(State& s, const Directive& d) {
    std::string line = Expand(s, d.value);
    // The program's path ends with ".exe", blanks in it or not.
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t exe = lower.find(".exe");
    std::string program = exe == std::string::npos ? line : line.substr(0, exe + 4);
    TakeSnapshotOnce(s);
    std::string folder = program.substr(0, program.find_last_of('\\'));
    std::unique_ptr<Run>& run = d.key == "start" ? s.background : s.run;
    run = std::make_unique<Run>();
    // bare: only the program's file name on the command line, as typed in its folder
    bool bare = d.key == "bare";
    std::string named = bare ? program.substr(folder.size() + 1) : "\"" + program + "\"";
    if (!run->Start(named + line.substr(program.size()), folder, bare ? program : ""))
        return Stop(s, d, "the program could not be started: Windows error " + std::to_string(GetLastError()));
    if (d.key != "start") s.lastPid = run->Pid();
}

// Waits for the next box of the run and checks its caption and text; it stays up.
void DoAwait(State& s, const Directive& d) {
    std::vector<std::string> parts = SplitBars(d.value);  // CAPTION | TEXT, and for box: also | HOW
    std::string caption = parts[0], text = parts.size() > 1 ? parts[1] : "";
    bool sawWindow = false;
    if (!s.run || !WaitForBox(s, &s.shown, 60000, &sawWindow))
        return Stop(s, d, !s.run                ? "needs a run before it"
                          : s.run->HasEnded() ? "the run ended without this box"
                                              : "no box within 60 s");
    if (s.shown.caption != Expand(s, Unescape(caption)) ||
        s.shown.text.find(Expand(s, Unescape(text))) == std::string::npos)
        Stop(s, d, "the box shown was [" + s.shown.caption + ": " + Printable(s.shown.text) + "]");
}

void DoPress(State& s, const Directive& d, const std::string& how) {
    if (s.shown.window && !s.shown.window.IsVisible())
        return Stop(s, d, "the box closed before it was answered");
    if (!s.shown.window || !Answer(s.shown.window, how))
        return Stop(s, d, "needs a box before it and one of OK, Cancel, Yes, No, Retry, a control ID, Enter, "
                          "Escape, close");
    if (!s.shown.window.WaitGone(10000))
        Stop(s, d, "the box did not close");
    s.shown = Shown();
}

// A notification of a control of the awaited box, as a click or a scroll sends it; the box stays.
void DoNotify(State& s, const Directive& d, const std::string& id, const std::string& code) {
    if (!s.shown.window)
        return Stop(s, d, "needs a box before it");
    s.shown.window.Notify(std::stoi(id), std::stoi(code));
    Sleep(700);
    if (!s.shown.window.IsVisible() || s.run->HasEnded())
        Stop(s, d, "the box closed");
}

void DoBox(State& s, const Directive& d) {
    std::vector<std::string> parts = SplitBars(d.value);
    if (parts.size() != 3)
        return Stop(s, d, "needs CAPTION | TEXT | BUTTON");
    DoAwait(s, d);
    if (!s.stopped) DoPress(s, d, parts[2]);
}

// A second program run to its end while the first waits; it must show no box.
void DoAlso(State& s, const Directive& d) {
    std::string line, code;
    SplitAssignment(s, d.value, &line, &code);
    DoRun(s, Directive{d.line, "start", line, {}, {}, {}});
    if (s.stopped) return;
    bool ended = WaitFor([&] { return s.background->HasEnded() || AnswerableDialog(s.background->Pid()); }, 30000);
    Window box = AnswerableDialog(s.background->Pid());
    if (box) Fail(s, d, "the second program showed [" + box.Caption() + "]");
    else if (!ended) Fail(s, d, "the second program did not end");
    else if (std::to_string(s.background->Exit(0)) != code) Fail(s, d, "it ended with another exit code");
    s.background.reset();
}

// Kills the run while it writes a file into the folder (or one matching the pattern): as soon as
// such a file was written after this directive began. kill-child-copying: only the programs the
// run started are killed (the unpacked Setup.exe of a packed one), and the run goes on.
void DoKillWhileCopying(State& s, const Directive& d) {
    std::string pattern = Expand(s, d.value);
    if (pattern.find('*') == std::string::npos) pattern += "\\*";
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    bool writing = false;
    for (DWORD began = GetTickCount(); !writing && s.run && !s.run->HasEnded() && GetTickCount() - began < 60000;) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && CompareFileTime(&found.ftLastWriteTime, &start) > 0)
                writing = true;
        } while (!writing && FindNextFileA(search, &found));
        FindClose(search);
    }
    if (!writing) Fail(s, d, "the run wrote nothing there");
    if (d.key == "kill-child-copying") EndDescendantsOf(s.run->Pid());
    else if (d.key == "kill-copying") EndRun(s);
}

// Nobody can write to the file, rename it or delete it, as an attacker would while it is in use.
void DoLocked(State& s, const Directive& d) {
    std::string path = Expand(s, d.value);
    HANDLE write = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    bool writable = write != INVALID_HANDLE_VALUE;
    if (writable) CloseHandle(write);
    bool moved = MoveFileA(path.c_str(), (path + ".weg").c_str()) != FALSE;
    if (moved) MoveFileA((path + ".weg").c_str(), path.c_str());
    Check(s, d, !writable && !moved, writable ? "it could be opened for writing" : "it could be renamed");
}

// "C:\NAME = FOLDER": the folder copied to C:\NAME, a name as written (UTF-8), which code page
// 1252 may not spell: made on the Unix side, and removed from there when the case ends.
void DoForeign(State& s, const Directive& d) {
    std::string name = d.utf8.substr(0, d.utf8.find(" = "));
    std::string target = UnixPathOf("C:\\") + "/" + name.substr(3);
    s.foreign.push_back(target);
    Check(s, d, RunUnixShell("rm -rf " + ShellQuoted(target) + " && cp -r " + ShellQuoted(UnixPathOf(d.right)) + " " +
                             ShellQuoted(target)),
          "could not copy it there");
}

// "PROGRAM ARGS = N": the program started from the Unix side by its path as written (UTF-8, so
// that a folder code page 1252 cannot spell can be named), as plain `wine` starts it: Wine's
// default settings, its menu builder on (the runner's own programs run without it), its folder
// the current folder; in a UTF-8 locale, in which Wine spells Unix names as they are written. It
// must end with N; its windows are not watched.
void DoShellRun(State& s, const Directive& d) {
    std::string line = Expand(s, d.utf8.substr(0, d.utf8.find(" = ")));
    size_t exe = line.find(".exe");
    std::string program = line.substr(0, exe + 4);
    std::string folder = program.substr(0, program.rfind('\\'));
    std::string exitFile = UnixPathOf(s.packages[""]) + "/shellrun.exit";
    std::string relative = folder.substr(3);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    std::string command = "cd " + ShellQuoted(UnixPathOf("C:\\") + "/" + relative) +
                          " && LC_ALL=C.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d' wine " + ShellQuoted(program) +
                          line.substr(exe + 4) + " >/dev/null 2>&1; echo $? > " + ShellQuoted(exitFile);
    RunUnixShell(command, 120000);
    std::string code = ReadFileBytes(s.packages[""] + "\\shellrun.exit");
    while (!code.empty() && std::isspace(static_cast<unsigned char>(code.back()))) code.pop_back();
    Check(s, d, code == d.right, "it ended with " + code);
}

// Waits until the run's progress window shows the text in its phase or item line (at once for
// an empty text); then the run is killed, or its background window is closed.
void DoInterrupt(State& s, const Directive& d) {
    std::string text = Expand(s, Unescape(d.value));
    // The lines are read through a message the program answers only while it pumps: asked again
    // at once after each answer, they show the file in the pump right before its copy begins.
    bool seen = text.empty();
    Window progress;
    for (DWORD start = GetTickCount(); !seen && s.run && !s.run->HasEnded() && GetTickCount() - start < 60000;) {
        if (!progress) progress = ProgressWindowOf(s.run->Pid());
        seen = progress && (progress.Text(101).find(text) != std::string::npos ||
                            progress.Text(102).find(text) != std::string::npos);
    }
    if (!seen)
        return Stop(s, d, "the progress window never showed it");
    if (d.key == "kill") {
        EndRun(s);
    } else {
        PostMessageA(MainWindowOf(s.run->Pid()).Handle(), WM_CLOSE, 0, 0);
    }
}

void DoExit(State& s, const Directive& d) {
    if (!s.run) {
        Fail(s, d, "needs a run before it");
        return;
    }
    Shown shown;
    bool sawWindow = false;
    while (WaitForBox(s, &shown, 120000, &sawWindow)) {
        Fail(s, d, "a box the case does not name: [" + shown.caption + ": " + Printable(shown.text) + "]");
        shown.window.Press(IDCANCEL);
        if (!shown.window.WaitGone(10000)) break;
    }
    if (sawWindow) Fail(s, d, "the run showed a window");
    DWORD code = s.run->HasEnded() ? s.run->Exit(0) : STILL_ACTIVE;
    if (code == STILL_ACTIVE) {
        Fail(s, d, "the run did not end");
        s.stopped = true;
    } else if (std::to_string(code) != d.value) {
        Fail(s, d, "exit code " + std::to_string(code));
    }
    EndRun(s);
    s.noWindow = false;
}

// The self-removal scripts in the Windows folder, as a search pattern.
std::string ScriptPattern() { return WindowsDir() + "\\VarnekUninstall*.bat"; }

// The interpreters the last uninstaller started, and any self-removal script, are gone.
void DoScriptDone(State& s, const Directive& d) {
    if (!WaitFor([] { return Matching(ScriptPattern()).empty(); }, 30000)) {
        EndDescendantsOf(s.lastPid);  // ends what is left of it
        Fail(s, d, "a self-removal script is still there after 30 s");
    }
}


// files: the files (not folders) of a folder, folders: its sub-folders; sorted, names as stored
void DoListing(State& s, const Directive& d) {
    std::vector<std::string> names;
    bool folders = d.key == "folders";
    for (const std::string& name : FolderNames(d.left))
        if (((GetFileAttributesA((d.left + "\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders)
            names.push_back(name);
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
    Check(s, d, text == d.right, (folders ? "the folder holds the folders " : "the folder holds ") + text);
}

void DoRegistry(State& s, const Directive& d, bool write) {
    std::string left, right, key, valueName;
    HKEY root = nullptr;
    bool ok = SplitAssignment(s, d.value, &left, &right) &&
              SplitValuePath(s, d.value.substr(0, d.value.find(" =")), &root, &key, &valueName);
    if (!ok) return Fail(s, d, "needs HKxx\\KEY | NAME = TEXT");
    const char* name = valueName.empty() ? nullptr : valueName.c_str();
    if (write) {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(right.c_str()),
                           static_cast<DWORD>(right.size() + 1));
            RegCloseKey(handle);
        }
        return;
    }
    DWORD number = 0;
    bool exists = RegistryDword(root, key, name, &number);
    std::string value = exists ? std::to_string(number) : RegistryText(root, key, name, &exists);
    Check(s, d, exists && value == right, exists ? "the value is \"" + Printable(value) + "\"" : "no such value");
}

// "HKxx\KEY | NAME": the key has no value of that name (NAME empty: no default value).
void DoNoValue(State& s, const Directive& d) {
    HKEY root = nullptr;
    std::string key, name;
    if (!SplitValuePath(s, d.value, &root, &key, &name)) return Fail(s, d, "needs HKxx\\KEY | NAME");
    bool exists = false;
    std::string value = RegistryText(root, key, name.empty() ? nullptr : name.c_str(), &exists);
    Check(s, d, !exists, "the value is there: \"" + Printable(value) + "\"");
}

bool SetAttributes(const std::string& path, const std::string& letters) {
    DWORD attributes = 0;
    for (char c : letters) {
        if (c == 'R') attributes |= FILE_ATTRIBUTE_READONLY;
        if (c == 'H') attributes |= FILE_ATTRIBUTE_HIDDEN;
        if (c == 'S') attributes |= FILE_ATTRIBUTE_SYSTEM;
    }
    return SetFileAttributesA(path.c_str(), attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::string AttributeLetters(DWORD attributes) {
    std::string letters;
    if (attributes & FILE_ATTRIBUTE_READONLY) letters += 'R';
    if (attributes & FILE_ATTRIBUTE_HIDDEN) letters += 'H';
    if (attributes & FILE_ATTRIBUTE_SYSTEM) letters += 'S';
    if (attributes & FILE_ATTRIBUTE_ARCHIVE) letters += 'A';
    return letters;
}

void DoMount(State& s, const Directive& d) {
    CreateDirectoryA(d.left.c_str(), nullptr);
    std::string unixPath = UnixPathOf(d.left);
    if (unixPath.empty() || !RunUnixShell("mount -t tmpfs -o size=" + d.right + " qvcase " + ShellQuoted(unixPath))) {
        std::printf("NOT COVERED: a tmpfs volume could not be mounted here (mount -t tmpfs needs root)\n");
        s.notCovered = true;
        s.stopped = true;
        return;
    }
    s.mounts.push_back(unixPath);
}

void DoFootprint(State& s, const Directive& d) {
    s.footprints.push_back(Expand(s, d.value));
    RemoveFootprint(s.footprints.back());
}

void DoBigFile(State&, const Directive& d) {
    size_t blank = d.right.find(' ');
    unsigned seed = blank == std::string::npos ? 7 : static_cast<unsigned>(std::stoul(d.right.substr(blank)));
    WriteFile(d.left, PseudoRandomBytes(std::stoul(d.right), seed));
}

// hold: no sharing at all; open: read, and shared with readers, as the file of a running program is held
void DoHold(State& s, const Directive& d) {
    std::string path = Expand(s, d.value);
    bool hold = d.key == "hold";
    HANDLE file = CreateFileA(path.c_str(), hold ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                              hold ? 0 : FILE_SHARE_READ, nullptr, hold ? OPEN_ALWAYS : OPEN_EXISTING, 0, nullptr);
    Check(s, d, file != INVALID_HANDLE_VALUE, "could not open the file");
    if (file != INVALID_HANDLE_VALUE) s.held[path] = file;
}

void DoRelease(State& s, const Directive& d) {
    std::string path = Expand(s, d.value);
    if (s.held.count(path)) CloseHandle(s.held[path]);
    s.held.erase(path);
}

void DoLocale(State& s, const Directive& d) {
    char language[16] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, sizeof language);
    Check(s, d, d.value.compare(0, 2, language) == 0,
          std::string("the programs run in the language ") + language + ": run the case under LC_ALL=" + d.value +
              ", as ctest does");
}

void DoLastLine(State& s, const Directive& d) {
    std::string bytes = ReadFileBytes(d.left);
    if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) bytes.resize(bytes.size() - 2);
    size_t start = bytes.rfind("\r\n");
    std::string last = start == std::string::npos ? bytes : bytes.substr(start + 2);
    Check(s, d, last.rfind(d.right, 0) == 0, "its last line is \"" + Printable(last) + "\"");
}

void DoSame(State& s, const Directive& d) {
    std::string bytes = ReadFileBytes(d.left);
    bool same = false;
    for (const std::string& other : SplitBars(d.value.substr(d.value.find(" = ") + 3)))
        same = same || (bytes != "<missing>" && bytes == ReadFileBytes(Expand(s, other)));
    Check(s, d, same, "it differs");
}

void DoRegistryKey(State& s, const Directive& d) {
    HKEY root = nullptr;
    std::string key;
    bool wanted = d.key == "regkey";
    Check(s, d, SplitKey(Expand(s, d.value), &root, &key) && RegistryKeyExists(root, key) == wanted,
          wanted ? "there is no such key" : "the key is there");
}

void DoDelete(State& s, const Directive& d) {
    std::string path = Expand(s, d.value);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    Check(s, d, DeleteFileA(path.c_str()) != FALSE, "could not delete it");
}

void DoSymlink(State& s, const Directive& d) {
    std::string target = Expand(s, Trim(d.value.substr(d.value.find(" = ") + 3)));
    std::string link = UnixPathOf(d.left);
    Check(s, d, RunUnixShell("ln -sfn " + ShellQuoted(UnixPathOf(target)) + " " + ShellQuoted(link)),
          "could not make the link");
    s.links.push_back(link);
}

void DoLink(State& s, const Directive& d) {
    Shortcut link = ReadShortcut(d.left);
    bool folder = d.key == "linkfolder";
    std::string found =
        folder ? link.workingDirectory : link.target + (link.arguments.empty() ? "" : " " + link.arguments);
    Check(s, d, link.exists && found == d.right,
          !link.exists ? "there is no shortcut" : (folder ? "its working folder is " : "it points at ") + found);
}

// content: exactly these bytes; contains: these bytes somewhere
void DoContent(State& s, const Directive& d) {
    std::string bytes = ReadFileBytes(d.left);
    bool ok = d.key == "content" ? bytes == d.right : bytes != "<missing>" && bytes.find(d.right) != std::string::npos;
    Check(s, d, ok, "it holds \"" + Printable(bytes) + "\"");
}

const struct Handler {
    const char* key;
    bool assignment;  // the value is "left = right": d.left and d.right are set, or the line fails
    void (*run)(State& s, const Directive& d);
} kHandlers[] = {
    {"proves", false, [](State&, const Directive& d) { std::printf("proves: %s\n", d.value.c_str()); }},
    {"label", false, [](State&, const Directive&) {}}, {"footprint", false, DoFootprint},
    {"package", false, [](State& s, const Directive& d) { MakePackage(s, d.value); }},
    {"file", true, [](State&, const Directive& d) { WriteFile(d.left, d.right); }}, {"bigfile", true, DoBigFile},
    {"copy", true, [](State& s, const Directive& d) {
         Check(s, d, CopyTree(d.left, Expand(s, Trim(d.value.substr(d.value.find(" = ") + 3)))), "could not copy");
     }},
    {"pack", true, [](State& s, const Directive& d) {
         Check(s, d, Pack(s, d.left, d.right), "could not pack it (gcab, xz, osslsigncode, from tools/deps)");
     }},
    {"append", true, [](State& s, const Directive& d) {
         std::string bytes = ReadFileBytes(d.right);
         Check(s, d, bytes != "<missing>", "there is no such file to append");
         if (bytes != "<missing>") WriteFileBytes(d.left, ReadFileBytes(d.left) + bytes);
     }},
    {"signed", false, [](State& s, const Directive& d) {
         std::string folder = Certificate(s);
         Check(s, d, RunUnixShell("osslsigncode verify -CAfile " + ShellQuoted(folder + "/c.pem") + " -in " +
                                  ShellQuoted(UnixPathOf(Expand(s, d.value))) + " >/dev/null 2>&1"),
               "its signature does not verify");
     }},
    {"locked", false, DoLocked}, {"while-copying", false, DoKillWhileCopying},
    {"foreign", true, DoForeign}, {"shellrun", true, DoShellRun},
    {"change", true, [](State& s, const Directive& d) {
         Check(s, d, Change(d.left, d.right), "could not change the file so");
     }},
    {"mkdir", false, [](State& s, const Directive& d) { MakeFolders(Expand(s, d.value) + "\\"); }},
    {"attrib", true, [](State& s, const Directive& d) {
         Check(s, d, SetAttributes(d.left, d.right), "could not set the attributes");
     }},
    {"time", true, [](State&, const Directive& d) {
         SetFileDay(d.left, std::stoi(d.right.substr(0, 4)), std::stoi(d.right.substr(5, 2)),
                    std::stoi(d.right.substr(8, 2)));
     }},
    {"hold", false, DoHold}, {"open", false, DoHold}, {"release", false, DoRelease},
    {"reg", false, [](State& s, const Directive& d) { DoRegistry(s, d, true); }}, {"locale", false, DoLocale},
    {"env", true, [](State&, const Directive& d) {
         SetEnvironmentVariableA(d.left.c_str(), d.right.empty() ? nullptr : d.right.c_str());
     }},
    {"run", false, DoRun}, {"bare", false, DoRun}, {"start", false, DoRun}, {"regrun", false, DoRunValue},
    {"stop", false, [](State& s, const Directive&) { s.background.reset(); }},
    {"end-children", false, [](State& s, const Directive&) {
         if (s.lastPid != 0) EndDescendantsOf(s.lastPid);
     }},
    {"box", false, DoBox}, {"await", false, DoAwait},
    {"boxtext", false, [](State& s, const Directive& d) {
         Check(s, d, s.shown.window && s.shown.text.find(Expand(s, Unescape(d.value))) != std::string::npos,
               "the box shown was [" + s.shown.caption + ": " + Printable(s.shown.text) + "]");
     }},
    {"press", false, [](State& s, const Directive& d) { DoPress(s, d, d.value); }},
    {"notify", true, [](State& s, const Directive& d) { DoNotify(s, d, d.left, d.right); }}, {"also", false, DoAlso},
    {"foreground", false, [](State& s, const Directive& d) {
         HWND front = GetForegroundWindow();
         Check(s, d, front != nullptr && Window(front).Caption() == Expand(s, Unescape(d.value)),
               "the window in front is [" + Window(front).Caption() + "]");
     }},
    {"kill-copying", false, DoKillWhileCopying}, {"kill-child-copying", false, DoKillWhileCopying},
    {"kill", false, DoInterrupt}, {"close", false, DoInterrupt},
    {"wait", false, [](State& s, const Directive& d) {
         std::string path = Expand(s, d.value);
         Check(s, d, WaitFor([&] { return PathExists(path); }, 30000), "it did not come within 30 s");
     }},
    {"sleep", false, [](State&, const Directive& d) { Sleep(static_cast<DWORD>(std::stoul(d.value))); }},
    {"nowindow", false, [](State& s, const Directive&) { s.noWindow = true; }},
    {"exit", false, DoExit}, {"script-done", false, DoScriptDone},
    {"exists", false, [](State& s, const Directive& d) {
         Check(s, d, PathExists(Expand(s, d.value)), "it is not there");
     }},
    {"gone", false, [](State& s, const Directive& d) { Check(s, d, !PathExists(Expand(s, d.value)), "it is there"); }},
    {"content", true, DoContent}, {"contains", true, DoContent}, {"lastline", true, DoLastLine}, {"same", true, DoSame},
    {"files", true, DoListing}, {"folders", true, DoListing},
    {"regvalue", false, [](State& s, const Directive& d) { DoRegistry(s, d, false); }},
    {"novalue", false, DoNoValue},
    {"noreg", false, DoRegistryKey}, {"regkey", false, DoRegistryKey}, {"mount", true, DoMount},
    {"readonly", false, [](State& s, const Directive& d) {
         Check(s, d, RunUnixShell("mount -o remount,ro " + ShellQuoted(UnixPathOf(Expand(s, d.value)))),
               "the volume could not be made read-only");
     }},
    {"delete", false, DoDelete}, {"symlink", true, DoSymlink}, {"link", true, DoLink}, {"linkfolder", true, DoLink},
    {"attributes", true, [](State& s, const Directive& d) {
         DWORD attributes = GetFileAttributesA(d.left.c_str());
         Check(s, d, attributes != INVALID_FILE_ATTRIBUTES && AttributeLetters(attributes) == d.right,
               "its attributes are " + AttributeLetters(attributes));
     }},
    {"enabled", true, [](State& s, const Directive& d) {
         Check(s, d, s.shown.window && s.shown.window.IsEnabled(std::stoi(d.left)) == (d.right == "1"),
               "the control is not as expected");
     }},
};

void Perform(State& s, const Directive& line) {
    for (const Handler& handler : kHandlers) {
        if (line.key != handler.key) continue;
        Directive d = line;
        if (handler.assignment && !SplitAssignment(s, d.value, &d.left, &d.right)) break;
        handler.run(s, d);
        return;
    }
    Fail(s, line, "unknown directive, or its value is not written as the format asks");
}

void CleanUp(State& s) {
    EndRun(s);
    s.background.reset();
    for (auto& held : s.held) CloseHandle(held.second);
    // a self-removal script that a failed case left waiting at its PAUSE would keep its file,
    // and the next uninstaller could not write its own
    std::vector<std::string> scripts = Matching(ScriptPattern());
    if (!scripts.empty() && s.lastPid != 0) EndDescendantsOf(s.lastPid);
    for (const std::string& script : scripts) DeleteFileA((WindowsDir() + "\\" + script).c_str());
    // links first, from the Unix side: Windows' removal of a folder would follow them
    for (const std::string& link : s.links) RunUnixShell("rm -f " + ShellQuoted(link));
    for (const std::string& folder : s.foreign) RunUnixShell("rm -rf " + ShellQuoted(folder));
    if (!s.certificate.empty()) RunUnixShell("rm -rf " + ShellQuoted(s.certificate));
    for (const std::string& path : s.footprints) RemoveFootprint(path);
    for (const std::string& mount : s.mounts)
        RunUnixShell("umount " + ShellQuoted(mount) + " || umount -l " + ShellQuoted(mount));
    for (const std::string& path : s.footprints) RemoveFootprint(path);
    // a stand-in that a run started from its package may still be ending there: it ends by itself
    for (const auto& package : s.packages)
        WaitFor([&] { RemoveTree(package.second); return !PathExists(package.second); }, 10000);
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);  // a runner that is killed still leaves what it printed
    std::string casePath;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--case=", 7) == 0) casePath = argv[i] + 7;
        if (std::strncmp(argv[i], "--setup=", 8) == 0) SetProgramUnderTest(WindowsPath(argv[i] + 8));
        if (std::strncmp(argv[i], "--tools=", 8) == 0) SetToolsFolder(WindowsPath(argv[i] + 8));
        if (std::strncmp(argv[i], "--demo=", 7) == 0) SetDemoFolder(WindowsPath(argv[i] + 7));
    }
    Case c;
    if (!ReadCase(WindowsPath(casePath), &c)) {
        std::printf("FAILED: %s cannot be read, or a header line has no colon\n", casePath.c_str());
        return 1;
    }
    State s;
    s.c = &c;
    s.casePath = WindowsPath(casePath);
    MakePackage(s, "");
    if (c.hasList) WriteFileBytes(s.packages[""] + "\\Setup.lst", c.list);
    for (const Directive& d : c.directives) {
        if (s.stopped) break;
        Perform(s, d);
    }
    if (s.run && !s.stopped) Fail(s, Directive{0, "end", "", {}, {}, {}}, "a run was not followed by its exit: line");
    if (s.snapshotTaken && !s.stopped) {
        EndRun(s);
        std::vector<std::string> allowed = s.footprints;
        allowed.push_back("C:\\qve2e");
        std::string changes = Sentinels::Take().ChangesText(s.before, allowed);
        if (!changes.empty() || !SentinelsIntact()) {
            ++s.failures;
            std::printf("FAILED: outside the case's footprints:\n%s\n", changes.c_str());
        }
    }
    CleanUp(s);
    if (s.notCovered) return 0;
    std::printf(s.failures == 0 ? "passed\n" : "%d failures\n", s.failures);
    return s.failures == 0 ? 0 : 1;
}
