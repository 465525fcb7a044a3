// Path rules of the file operations: the Windows path limit, the paths of found files and the
// names of partial copies.
#include "files/file_path_rules.h"

#include "support/text_helpers.h"

namespace {

constexpr char kPartialCopySuffix[] = ".qvteil";
constexpr char kShortPartialPrefix[] = "~qvteil";

template <size_t Width>
PathBuffer<Width> ReplaceFilePart(const char* pattern, const char* name) {
    PathBuffer<Width> result;
    size_t folderLength = 0;
    for (size_t i = 0; pattern != nullptr && pattern[i] != 0; ++i)
        if (pattern[i] == '\\') folderLength = i + 1;
    result.Assign(pattern, folderLength);
    result.Append(name);
    return result;
}

}  // namespace

bool FitsWindowsPath(const char* path) {
    if (path == nullptr) return false;
    size_t length = 0;
    while (path[length] != 0) {
        if (++length > kMaxWindowsPath) return false;
    }
    return true;
}

bool IsDriveOrRoot(const char* folder) {
    if (folder == nullptr) return true;
    size_t length = 0;
    while (folder[length] != 0) ++length;
    while (length > 0 && folder[length - 1] == '\\') --length;
    if (length == 0) return true;
    return length == 2 && folder[1] == ':';
}

WorkPath FoundFilePath(const char* pattern, const char* name) {
    return ReplaceFilePart<kPathWidth>(pattern, name);
}

LongText FoundFileText(const char* pattern, const char* name) {
    return ReplaceFilePart<kLongTextWidth>(pattern, name);
}

LongText JoinPathText(const char* folder, const char* name) {
    return JoinPathAs<kLongTextWidth>(folder, name);
}

WorkPath PartialCopyPath(const char* target) {
    WorkPath partial;
    partial.Assign(target);
    partial.Append(kPartialCopySuffix);
    return partial;
}

bool ShortPartialCopyPath(const char* target, int candidate, WorkPath* partial) {
    partial->Clear();
    if (target == nullptr || candidate < 0) return false;
    size_t folderLength = 0;
    for (size_t i = 0; target[i] != 0; ++i)
        if (target[i] == '\\') folderLength = i + 1;
    if (folderLength > kMaxWindowsPath) return false;
    PathBuffer<24> digits = DecimalText(static_cast<unsigned>(candidate), false);
    size_t room = kMaxWindowsPath - folderLength;
    if (digits.Length() > room) return false;
    size_t prefixLength = room - digits.Length();
    if (prefixLength > sizeof kShortPartialPrefix - 1) prefixLength = sizeof kShortPartialPrefix - 1;
    partial->Assign(target, folderLength);
    partial->Append(kShortPartialPrefix, prefixLength);
    partial->Append(digits);
    return partial->Fits();
}
