// The switches of the command line.
#include "app/command_line_rules.h"

#include "list/install_context.h"
#include "support/text_helpers.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next token from p on, double quotes removed and grouping blanks; p moves past it.
// Returns false at the end of the line.
bool NextToken(const char*& p, PathBuffer<kScratchWidth>& token) {
    while (IsBlank(*p)) ++p;
    if (*p == 0) return false;
    token.Clear();
    bool quoted = false;
    for (; *p != 0 && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') quoted = !quoted;
        else token.AppendChar(*p);
    }
    return true;
}

// The switch's name (after its "/" or "-") begins with the word, without regard to ASCII case.
bool Begins(const char* name, const char* word) {
    for (; *word != 0; ++name, ++word)
        if (UpperAscii(*name) != *word) return false;
    return true;
}

// A folder path as Windows' own tools write it: "/" read as "\\", separators single, none at the
// end but the drive root's, so that it compares equal to the folder an entry names.
void TakeFolderPath(const char* value, WorkPath& path) {
    path.Clear();
    for (const char* p = value; *p != 0; ++p) {
        char c = *p == '/' ? '\\' : *p;
        if (c == '\\' && path.Last() == '\\' && path.Length() > 1) continue;
        path.AppendChar(c);
    }
    if (path.Length() > 3 && path.Last() == '\\') path.Truncate(path.Length() - 1);
}

void TakeSwitch(const char* token, Switches& switches) {
    const char* name = token + 1;
    size_t length = 0;
    while (name[length] != 0 && name[length] != '=') ++length;
    PathBuffer<64> word;
    word.Assign(name, length);
    const char* w = word.CStr();
    if (Begins(w, "CHECK")) {
        switches.Check = true;
    } else if (Begins(w, "LOG") && name[length] == '=') {
        switches.LogWanted = true;
        switches.LogPath.Assign(name + length + 1);
    } else if (Begins(w, "DIR") && name[length] == '=') {
        switches.DirWanted = true;
        TakeFolderPath(name + length + 1, switches.Dir);
    } else if (Begins(w, "UQ")) {
        switches.Uninstall = switches.QuietUninstall = true;
    } else if (Begins(w, "U")) {
        switches.Uninstall = true;
    } else if (Begins(w, "S")) {
        switches.SilentInstall = true;
    } else if (Begins(w, "Q")) {
        switches.Unattended = true;
    } else if (Begins(w, "?")) {
        switches.SyntaxHelp = true;
    } else if (switches.Unknown.IsEmpty()) {
        switches.Unknown.Assign(token);
    }
}

}  // namespace

Switches ParseCommandLine(const char* commandLine) {
    Switches switches;
    const char* p = commandLine != nullptr ? commandLine : "";
    PathBuffer<kScratchWidth> token;
    if (!NextToken(p, token)) return switches;
    // A copy named Uninst.exe started with its folder selects the uninstall by itself.
    PathBuffer<16> uninstaller("\\");
    uninstaller.Append(kUninstallerFileName);
    switches.StartedAsUninstaller = FindTextNoCase(token.CStr(), uninstaller.CStr()) != nullptr;
    switches.Uninstall = switches.StartedAsUninstaller;
    while (NextToken(p, token))
        if (token.First() == '/' || token.First() == '-') TakeSwitch(token.CStr(), switches);
    return switches;
}
