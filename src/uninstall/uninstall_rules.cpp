// Where the uninstall run looks for what the installation left, and the tests that keep every
// deletion inside the installation.
#include "uninstall/uninstall_rules.h"

#include "files/placement_rules.h"
#include "list/install_context.h"
#include "support/text_helpers.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t NameStart(const WorkPath& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.Length(); ++i)
        if (path.At(i) == '\\') start = i + 1;
    return start;
}

// Cuts the path at the first occurrence of part in its name and appends replacement; false
// when the name has no such part.
bool ReplaceInName(WorkPath& path, const char* part, const char* replacement) {
    size_t start = NameStart(path);
    const char* name = path.CStr() + start;
    const char* found = FindTextNoCase(name, part);
    if (found == nullptr) return false;
    path.Truncate(start + static_cast<size_t>(found - name));
    path.Append(replacement);
    return true;
}

void AddCompanion(CompanionFiles& companions, const WorkPath& path) {
    if (path.Fits() && companions.Count < 4) companions.Paths[companions.Count++] = path;
}

// The value with "/" as "\" and without trailing separators, for comparing folder names.
EntryText NormalizedFolder(const char* value) {
    EntryText folder;
    for (const char* p = value; p != nullptr && *p != 0; ++p) folder.AppendChar(IsSeparator(*p) ? '\\' : *p);
    size_t length = folder.Length();
    while (length > 0 && folder.At(length - 1) == '\\') --length;
    folder.Truncate(length);
    return folder;
}

}  // namespace

CompanionFiles CompanionFilesOf(const char* installedPath) {
    // Braces: zeroed in place; without them the compiler copies a stored all-zero object of 1 KB.
    CompanionFiles companions{};
    WorkPath path(installedPath);
    if (!path.Fits()) return companions;
    if (ReplaceInName(path, ".HLP", ".GID")) {
        AddCompanion(companions, path);
        ReplaceInName(path, ".GID", ".FTS");
        AddCompanion(companions, path);
    }
    if (ReplaceInName(path, ".EXE", ".INI")) {
        AddCompanion(companions, path);
        ReplaceInName(path, ".INI", ".PIF");
        AddCompanion(companions, path);
    }
    return companions;
}

WorkPath WildPatternPath(const char* targetDir, const char* wildSubFolder, const char* wildCopy) {
    WorkPath pattern;
    WildGroupFolder(targetDir, wildSubFolder, &pattern);
    if (pattern.Last() != '\\') pattern.AppendChar('\\');
    LongText name = PathFilePart(wildCopy);
    pattern.Append(name);
    if (!name.Fits()) pattern.MarkCut();
    return pattern;
}

bool SubFolderHoldsKept(const char* sub, const char* kept) {
    EntryText folder = NormalizedFolder(sub);
    EntryText inner = NormalizedFolder(kept);
    if (inner.Length() < folder.Length()) return false;
    EntryText head;
    head.Assign(inner.CStr(), folder.Length());
    if (!EqualsNoCase(head.CStr(), folder.CStr())) return false;
    return inner.Length() == folder.Length() || inner.At(folder.Length()) == '\\';
}

bool IsPathBelow(const char* path, const char* folder) {
    if (path == nullptr || folder == nullptr || folder[0] == 0) return false;
    size_t n = 0;
    while (folder[n] != 0) ++n;
    if (folder[n - 1] == '\\') --n;
    for (size_t i = 0; i < n; ++i)
        if (path[i] == 0 || UpperAscii(path[i]) != UpperAscii(folder[i])) return false;
    if (path[n] != '\\') return false;
    // every part of the rest: not empty, not "." or ".."
    for (const char* part = path + n + 1;;) {
        const char* end = part;
        while (*end != 0 && !IsSeparator(*end)) ++end;
        size_t length = static_cast<size_t>(end - part);
        if (length == 0 || (part[0] == '.' && (length == 1 || (length == 2 && part[1] == '.')))) return false;
        if (*end == 0) return true;
        part = end + 1;
    }
}
