// Runs every row of the tables in rules/ (a rule or helper of the program, its arguments and what
// it must give), then every rule again with random arguments, which must stay within the widths.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <vector>

#include "files/product_version_rules.h"
#include "host_support.h"
#include "install/altfolder_check_rules.h"
#include "install/nearest_name_rules.h"
#include "list/list_encoding_rules.h"

namespace {

using Args = std::vector<const char*>;
using Result = std::vector<std::string>;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + separator.size())
        parts.push_back(text.substr(start, std::min(end = text.find(separator, start), text.size()) - start));
    return parts;
}

// The bytes a field stands for; false when it holds a brace that is no notation of rules/README.md.
bool Decode(std::string rest, std::string& bytes) {
    static const std::regex token(R"(\{(CR|LF|TAB|blank|empty|\||x([0-9A-F]{2})|([^{}]+)\*([0-9]+))\})");
    static const std::map<std::string, std::string> named = {{"CR", "\r"}, {"LF", "\n"}, {"TAB", "\t"}, {"blank", " "},
                                                             {"empty", ""}, {"|", "|"}};
    bool plain = true;
    bytes.clear();
    for (std::smatch m; std::regex_search(rest, m, token); rest = m.suffix().str()) {
        plain = plain && m.prefix().str().find_first_of("{}") == std::string::npos;
        bytes += m.prefix().str();
        if (m[3].matched) for (int n = std::stoi(m[4]); n > 0; --n) bytes += m[3].str();
        else bytes += m[2].matched ? std::string(1, static_cast<char>(std::stoi(m[2], nullptr, 16))) : named.at(m[1]);
    }
    bytes += rest;
    return plain && rest.find_first_of("{}") == std::string::npos;
}

bool Flag(const char* text) { return std::string(text) == "true"; }
Result Out(bool value) { return {value ? "true" : "false"}; }
Result Out(char letter) { return {std::string(1, letter)}; }
Result Out(size_t number) { return {std::to_string(number)}; }
Result Out(ListProblemKind kind) {
    const char* const names[] = {"None",         "DotFolder",      "Drive",         "LeadingBackslash", "NoProgramFolder",
                                 "TooLong",      "BadCharacter",   "DeviceName",    "StartupGroup",     "NoAppName",
                                 "UnknownSection", "UnknownKey",   "ValueCut",      "MissingFile",      "NoMatch",
                                 "UnknownFolder", "TargetTooLong", "NotInstalled",  "MisleadingFolder", "MissingFolder",
                                 "NoFilesEntry", "Utf8List",       "BadVersion",    "NotLocalFolder"};
    size_t k = static_cast<size_t>(kind);
    return {k < std::size(names) ? names[k] : "kind " + std::to_string(k)};
}
// A text, followed by "cut" when it did not fit its width.
template <size_t Width>
Result Out(const PathBuffer<Width>& text, Result before = {}) {
    host::CheckWithin(text);
    before.push_back(text.CStr());
    if (!text.Fits()) before.push_back("cut");
    return before;
}
Result Command(bool ok, const ScratchBuffer& text) {
    return ok ? Out(text, {"true"}) : (host::CheckWithin(text), Result{"false"});
}
Result Position(const char* text, const char* found) { return {found ? std::to_string(found - text) : "none"}; }

// A list with a name, a folder and a start-menu group, after the changes key=value.
const InstallContext& ListWith(const Args& changes) {
    static InstallContext c;
    c = InstallContext();
    Args all = {"AppName=Meine Anwendung", "Folder=Meine Anwendung", "TargetDir=C:\\Program Files\\Meine Anwendung",
                "ProgramsDir=C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"};
    all.insert(all.end(), changes.begin(), changes.end());
    for (const char* change : all) {
        std::string key(change, std::strchr(change, '=')), name = key.substr(0, key.find('.'));
        ListEntry& e = c.InstallList[name == key ? 0 : std::atoi(key.c_str() + name.size() + 1)];
        int found = 0;
        auto set = [&](auto& field, const char* n) { if (name == n) field.Assign(change + key.size() + 1), ++found; };
        set(c.AppName, "AppName"), set(c.Folder, "Folder"), set(c.TargetDir, "TargetDir"), set(c.RegFile, "RegFile");
        set(c.ProgramsDir, "ProgramsDir"), set(c.RunOnce, "RunOnce"), set(e.Files, "Files"), set(e.Links, "Links");
        set(e.DesktopLinks, "DesktopLinks"), set(e.AltFolder, "AltFolder"), set(e.WildCopy, "WildCopy");
        set(e.WildSubFolder, "WildSubFolder");
        REQUIRE_MESSAGE(found == 1, "no list value " << key);
    }
    return c;
}

std::string Named(const ListProblem& p) {
    return Out(p.Kind)[0] + " [" + p.Section + "] " + p.Key.CStr() + "=" + p.Value;
}

// The first problem of the list and the value it names.
Result CheckedList(const Args& changes) {
    ListProblem p;
    bool accepted = CheckListValues(ListWith(changes), &p);
    CHECK(accepted == (p.Kind == ListProblemKind::None));
    return {accepted ? "None" : Named(p)};
}

// Every problem of the list, in the order reported, joined by " + ".
Result ListedProblems(const Args& changes) {
    static std::string found;
    found.clear();
    auto take = [](const ListProblem& p, void*) {
        found += (found.empty() ? "" : " + ") + Named(p);
        return true;
    };
    bool clean = ReportListProblems(ListWith(changes), take, nullptr);
    CHECK(clean == found.empty());
    return {clean ? "None" : found};
}

// The self-removal script: its line n and the number of lines, or refused (and cut).
Result ScriptLine(const Args& a) {
    static SelfRemovalScriptText script;
    static std::string alt;
    alt = a[4];
    SelfRemovalScriptInput input;
    input.IsNT = std::string(a[0]) == "NT", input.PurgeProgramFolder = true, input.AnswerLetter = 'J';
    input.RemoveProgramFolder = true;
    input.AppName = a[1], input.ProgramFolder = a[2], input.ScriptPath = a[3];
    input.AltFolder = [](int) { return alt.c_str(); };
    bool composed = ComposeSelfRemovalScript(input, script);
    host::CheckWithin(script);
    CHECK((script.Fits() || !composed));
    if (!composed) return script.Fits() ? Result{"refused"} : Result{"refused", "cut"};
    std::vector<std::string> lines = Split(script.CStr(), "\r\n");  // the last is what follows the last line break
    size_t n = std::strtoul(a[5], nullptr, 10);
    return {n + 1 < lines.size() ? lines[n] : "(no such line)", std::to_string(lines.size() - 1) + " lines"};
}

// Writers and editors of a PathBuffer<16>: what each writer returned or At read (- for others), then the text.
Result Buffer(const Args& a) {
    PathBuffer<16> text;
    std::string returned;
    for (const std::string& op : Split(a[0], " ; ")) {
        std::string verb = op.substr(0, op.find(' ')), done = "-";
        std::string arg = op.substr(std::min(verb.size() + 1, op.size()));
        if (verb == "Assign") done = Out(text.Assign(arg.c_str()))[0];
        else if (verb == "Append") done = Out(text.Append(arg.c_str()))[0];
        else if (verb == "AssignCut") done = Out(text.Assign(PathBuffer<6>(arg.c_str())))[0];
        else if (verb == "AppendCut") done = Out(text.Append(PathBuffer<6>(arg.c_str())))[0];
        else if (verb == "AssignFirst") done = Out(text.Assign(&arg[arg.find(' ') + 1], std::stoul(arg)))[0];
        else if (verb == "Truncate") text.Truncate(std::atoi(arg.c_str()));
        else if (verb == "At") done = std::string(1, text.At(std::strtoul(arg.c_str(), nullptr, 10)));
        else if (verb == "UpperFirstAscii") text.UpperFirstAscii();
        else if (verb == "Fill") std::memset(text.RawData(), arg[0], text.RawSize()), text.Adopt();  // a platform call
        else done = "(no such operation)";
        returned += (returned.empty() ? "" : " ") + done;
    }
    return Out(text, {returned});
}

// A cabinet of cabinets/ (cabinets/README.md), changed as the row says, read by CheckPackage: the
// problem, then the broken rule and the name, or the unpacked bytes. A name that is no cabinet
// there is read as the cabinet's bytes itself (random values).
Result Cabinet(const Args& a) {
    std::ifstream file(std::string(QV_HOST_TEST_DIR "/cabinets/") + a[0], std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open()) bytes.assign(a[0], a[0] + std::strlen(a[0]));
    std::vector<std::string> change = Split(a[1], " ");
    size_t n = change.size() > 1 ? std::strtoul(change[1].c_str(), nullptr, 10) : 0;
    if (change[0] == "cut") bytes.resize(bytes.size() - std::min(n, bytes.size()));  // the last n bytes go
    if (change[0] == "keep") bytes.resize(std::min(n, bytes.size()));
    if (change[0] == "flip" && n < bytes.size()) bytes[n] ^= 0xFF;
    if (change[0] == "zero")
        std::fill(bytes.begin() + std::min(n, bytes.size()), bytes.begin() + std::min(n + 4, bytes.size()), 0);
    if (change[0] == "append") bytes.insert(bytes.end(), change[1].begin(), change[1].end());
    if (change[0] == "name" && change.size() == 3) {  // the first such name, replaced by one of its length
        auto at = std::search(bytes.begin(), bytes.end(), change[1].begin(), change[1].end());
        REQUIRE((at != bytes.end() && change[1].size() == change[2].size()));
        std::copy(change[2].begin(), change[2].end(), at);
    }
    bytes.shrink_to_fit();  // a read behind the end is one AddressSanitizer sees
    PackageCheck check = CheckPackage(bytes.data(), bytes.size(), false);
    const char* const problems[] = {"None", "NotCabinet", "Truncated", "Damaged", "BadName"};
    Result result{problems[static_cast<int>(check.Problem)]};
    if (check.Problem == PackageProblem::BadName) result.insert(result.end(), {Out(check.NameProblem)[0], check.Name});
    if (check.Problem == PackageProblem::None) result.push_back(std::to_string(check.UnpackedBytes));
    return result;
}

#define RULE(name, count, ...) {#name, count, [](const Args& a) -> Result { return __VA_ARGS__; }}
#define CALL(name, count, ...) RULE(name, count, Out(name(__VA_ARGS__)))
#define COMMAND(name, count, ...) RULE(name, count, [&] { ScratchBuffer c; return Command(name(__VA_ARGS__, c), c); }())
const struct Handler {
    const char* name;
    int argCount;  // -1: any number of arguments, then one result
    Result (*run)(const Args&);
} kHandlers[] = {
    CALL(PathValueProblem, 2, a[0], Flag(a[1])), CALL(FolderNameProblem, 1, a[0]), CALL(NamesFolder, 1, a[0]),
    CALL(ProgramFolderPathProblem, 1, a[0]),
    {"CheckListValues", -1, CheckedList}, {"ReportListProblems", -1, ListedProblems},
    CALL(ListValueLimit, 2, a[0], a[1]), CALL(IsKnownAltFolder, 1, a[0]),
    CALL(MeantNameDetail, 2, a[0], Flag(a[1])),
    RULE(ListEntryIndexOf, 1, Result{std::to_string(ListEntryIndexOf(a[0], std::strlen(a[0])))}),
    CALL(InstalledFolderFor, 1, a[0],
         InstallFolders{"C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\Fonts", "C:\\Program Files\\Kartei"}),
    CALL(IsSystemFolderPath, 4, a[0], InstallFolders{a[1], a[2], a[3]}), CALL(IsFontsFolderPath, 2, a[0], a[1]),
    CALL(InstalledFilePath, 2, a[0], a[1]), CALL(UninstallKeyFor, 1, a[0]), CALL(ShortcutTargetFor, 2, a[0], a[1]),
    RULE(ProgramGroupFolder, 2, [&] { WorkPath p; return Out(p, Out(ProgramGroupFolder(a[0], a[1], &p))); }()),
    RULE(ShortcutPath, 2, [&] { WorkPath p; return Out(p, Out(ShortcutPath(a[0], a[1], &p))); }()),
    RULE(CompanionFilesOf, 1, [&] {
        CompanionFiles files = CompanionFilesOf(a[0]);
        Result result{std::to_string(files.Count)};
        CHECK(files.Count <= 4);
        for (int i = 0; i < files.Count && i < 4; ++i) result = Out(files.Paths[i], result);
        return result;
    }()),
    CALL(WildPatternPath, 3, a[0], a[1], a[2]), RULE(WildGroupFolder, 2, [&] { WorkPath p; return Out(p, Out(WildGroupFolder(a[0], a[1], &p))); }()),
    CALL(SubFolderHoldsKept, 2, a[0], a[1]),
    RULE(ExtensionList, 1, [&] {  // the items, written with commas
        ExtensionList list;
        ExtensionItem item;
        std::string items;
        BeginExtensionList(&list, a[0]);
        int n = 0;
        for (; n < 300 && NextExtensionItem(&list, &item); ++n) items += (n ? "," : "") + Out(item)[0];
        CHECK(n < 300);  // the walk ends
        return Result{items};
    }()),
    CALL(ComposeOpenCommand, 2, a[0], Flag(a[1])), CALL(ProgramPathOfCommand, 1, a[0]),
    CALL(ApplicationKeyName, 1, a[0]), CALL(ExtensionKey, 1, a[0]), CALL(ExtensionCommandKey, 1, a[0]),
    CALL(OpenWithKey, 2, a[0], a[1]), CALL(ApplicationCommandKey, 1, a[0]), CALL(MachineApplicationCommandKey, 1, a[0]),
    CALL(ChainKeyAt, 3, a[0], std::atoi(a[1]), std::atoi(a[2])), CALL(PriorKeyValueName, 2, a[0], a[1]),
    CALL(PriorValueValueName, 2, a[0], a[1]),
    CALL(FitsWindowsPath, 1, a[0]), CALL(IsDriveOrRoot, 1, a[0]), CALL(FoundFilePath, 2, a[0], a[1]),
    CALL(FoundFileText, 2, a[0], a[1]), CALL(JoinPathText, 2, a[0], a[1]), CALL(PartialCopyPath, 1, a[0]),
    RULE(ShortPartialCopyPath, 2,
         [&] { WorkPath p; return Out(p, Out(ShortPartialCopyPath(a[0], std::atoi(a[1]), &p))); }()),
    RULE(FindTextNoCase, 2, Position(a[0], FindTextNoCase(a[0], a[1]))),
    RULE(FindTextExact, 2, Position(a[0], FindTextExact(a[0], a[1]))),
    CALL(PathFilePart, 1, a[0]), CALL(PathFolderPart, 1, a[0]), CALL(JoinPath, 2, a[0], a[1]),
    CALL(EqualsNoCase, 2, a[0], a[1]), CALL(EndsWithNoCase, 2, a[0], a[1]), CALL(UpperAscii, 1, a[0][0]), CALL(SameFolderText, 2, a[0], a[1]),
    CALL(AnswerLetterForLanguage, 1, static_cast<unsigned>(std::strtoul(a[0], nullptr, 0))),
    COMMAND(ComposeScriptCommand, 3, a[0], a[1], a[2]), {"Script", 6, ScriptLine},
    CALL(SelfRemovalScriptName, 1, std::atoi(a[0])),
    RULE(LogEnd, 2, [&] {
        static LogLineText line;
        ComposeLogEnd(std::atoi(a[0]), std::strtoull(a[1], nullptr, 10), line);
        return Out(line);
    }()),
    RULE(CommandLine, 1, [&] {  // the switches taken, or install
        Switches w = ParseCommandLine(a[0]);
        std::string taken = std::string(w.SilentInstall ? " silent" : "") + (w.QuietUninstall ? " quiet" : "") +
                            (w.Uninstall ? " uninstall" : "") +
                            (w.StartedAsUninstaller ? " uninstaller" : "") + (w.SyntaxHelp ? " help" : "") +
                            (w.Unattended ? " unattended" : "") + (w.Check ? " check" : "") +
                            (w.LogWanted ? " log=" + Out(w.LogPath)[0] : "") +
                            (w.DirWanted ? " dir=" + Out(w.Dir)[0] + (w.Dir.Fits() ? "" : " (cut)") : "") +
                            (w.Unknown.IsEmpty() ? "" : " unknown=" + Out(w.Unknown)[0]) +
                            (w.Unknown.Fits() ? "" : " (cut)");
        return Result{taken.empty() ? "install" : taken.substr(1)};
    }()),
    CALL(AboutTextLine, 2, std::atoi(a[0]), std::strtoul(a[1], nullptr, 10)),
    COMMAND(ComposeRunOnceCommand, 3, a[0], a[1], Flag(a[2])),
    COMMAND(ComposeRegistryImportCommand, 3, a[0], a[1], Flag(a[2])),
    CALL(UninstallCommand, 2, a[0], Flag(a[1])), {"PathBuffer", 1, Buffer}, CALL(IsListValueSet, 1, a[0]),
    CALL(DecimalText, 2, std::strtoull(a[0], nullptr, 10), Flag(a[1])),
    CALL(EntryNameProblem, 1, a[0]), {"Cabinet", 2, Cabinet},
    CALL(MatchesFilePattern, 2, a[0], a[1]),
    RULE(ComposeRecordLine, 5, [&] {  // kind, size, time in hexadecimal digits, the two texts
        RecordLine item;
        item.Kind = static_cast<RecordKind>(a[0][0]), item.Text = a[3], item.Other = a[4];
        item.Size = std::strtoull(a[1], nullptr, 10), item.Time = std::strtoull(a[2], nullptr, 16);
        RecordLineText line;
        return ComposeRecordLine(item, line) ? Out(line) : (host::CheckWithin(line), Result{"refused"});
    }()),
    RULE(ParseRecordLine, 1, [&] {  // kind, size, time, the two texts
        std::vector<char> line(a[0], a[0] + std::strlen(a[0]) + 1);
        RecordLine item;
        if (!ParseRecordLine(line.data(), &item)) return Result{"refused"};
        char time[17];
        std::snprintf(time, sizeof time, "%016llX", item.Time);
        return Result{std::string(1, static_cast<char>(item.Kind)), std::to_string(item.Size), time, item.Text,
                      item.Other};
    }()),
    CALL(IsPathBelow, 2, a[0], a[1]),
    RULE(ParseProductVersion, 1, [&] {  // read or not, the four parts, the text
        VersionNumber v;
        bool ok = ParseProductVersion(a[0], v);
        std::string parts;
        for (unsigned part : v.Parts) parts += (parts.empty() ? "" : ".") + std::to_string(part);
        return Out(v.Text, {Out(ok)[0], parts});
    }()),
    RULE(NearestKnownName, 2, [&] {  // among the sections, the [General] keys or the names a[0] lists
        static std::vector<std::string> names;
        names = Split(a[0], ",");
        auto listed = [](size_t i) { return i < names.size() ? names[i].c_str() : nullptr; };
        bool sections = std::string(a[0]) == "sections", keys = std::string(a[0]) == "keys";
        const char* nearest = NearestKnownName(a[1], sections ? KnownSectionName
                                                     : keys   ? KnownGeneralKeyName
                                                              : static_cast<const char* (*)(size_t)>(listed));
        return Result{nearest ? nearest : "none"};
    }()),
    RULE(LooksLikeUtf8, 1, Out(LooksLikeUtf8(reinterpret_cast<const unsigned char*>(a[0]), std::strlen(a[0])))),
    RULE(MisleadingAltFolderLetter, 1, [&] {
        char letter = MisleadingAltFolderLetter(a[0]);
        return letter ? Out(letter) : Result{"none"};
    }()),
    CALL(AltFolderSystemSubFolder, 1, a[0]),
};

std::string Shown(const Result& fields) {
    std::string shown;
    for (const std::string& field : fields) shown += (shown.empty() ? "" : " | ") + host::Show(field, "CP1252", 0, 1);
    return shown;
}

}  // namespace

TEST_CASE("every row of the rules tables") {
    int rows = 0;
    for (const auto& table : std::filesystem::directory_iterator(QV_HOST_TEST_DIR "/rules")) {
        if (table.path().extension() != ".txt") continue;
        // one table per source file, named after it, so that a table without its source stands out
        std::filesystem::recursive_directory_iterator sources(QV_HOST_TEST_DIR "/../../src");
        auto named = [&](const auto& source) { return source.path().stem() == table.path().stem(); };
        CHECK_MESSAGE(std::any_of(begin(sources), end(sources), named), table.path() << " names no source file");
        std::ifstream file(table.path());
        std::string line, bytes;
        for (int number = 1; std::getline(file, line); ++number) {
            if (line.empty() || line[0] == '#') continue;
            INFO(table.path().filename().string() << ":" << number << ": " << line);
            bool readable = host::Convert(line, "UTF-8", "CP1252", bytes);
            std::vector<std::string> fields = Split(bytes, " | "), values(fields.size());
            const Handler* handler = nullptr;
            for (const Handler& h : kHandlers) handler = fields[0] == h.name ? &h : handler;
            size_t count = handler == nullptr ? 0 : handler->argCount < 0 ? fields.size() - 2 : handler->argCount;
            Args args;
            Result expected;
            for (size_t i = 1; i < fields.size(); ++i) {
                readable = readable && !fields[i].empty() && fields[i].front() != ' ' && fields[i].back() != ' ' &&
                           (fields[i] == "{null}" || Decode(fields[i], values[i]));
                if (i <= count) args.push_back(fields[i] == "{null}" ? nullptr : values[i].c_str());
                else expected.push_back(values[i]);
            }
            if (++rows, !readable || handler == nullptr || expected.empty()) {
                FAIL_CHECK("unreadable: unknown name, a field with a blank at an end, a brace of no notation, no result");
            } else {
                Result actual = handler->run(args);
                if (actual != expected) FAIL_CHECK("expected: " << Shown(expected) << "\n  actual: " << Shown(actual));
            }
        }
    }
    CHECK(rows > 300);  // a folder that is missing or tables cut short fail
}


TEST_CASE("random values through every rule and the bounded text type stay within the widths") {
    const char* const keys[] = {"AppName", "Folder", "TargetDir", "ProgramsDir", "RunOnce",
                                "Files",   "AltFolder", "WildCopy", "WildSubFolder"};
    std::mt19937 random(7001);
    int composedScripts = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> values(9), changes;
        Args args, list;
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = host::RandomValue(random);
            std::string entry = i > 4 ? "." + std::to_string(1 + (round + 7 * i) % 128) : "";  // a list entry
            changes.push_back(keys[i] + entry + "=" + values[i]);
        }
        for (size_t i = 0; i < values.size(); ++i)
            args.push_back(values[(i + round) % values.size()].c_str()), list.push_back(changes[i].c_str());
        for (const Handler& handler : kHandlers) {
            Result result = handler.run(handler.argCount < 0 ? list : args);
            composedScripts += std::string(handler.name) == "Script" && result[0] != "refused";
        }
        std::vector<char> raw(values[0].begin(), values[0].end());  // no terminator at all
        FieldText field;
        CHECK(field.Assign(raw.data(), raw.size()) == (raw.size() < kFieldWidth));
        PathBuffer<16> small(values[1].c_str());
        small.Append(field);
        host::CheckWithin(field), host::CheckWithin(small);
    }
    CHECK(composedScripts > 0);
}
