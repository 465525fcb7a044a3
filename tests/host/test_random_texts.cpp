// Every text helper and composer fed with random values: overlong, with control bytes and 0xFF
// bytes, and cut from buffers without a terminator within their width. Under the sanitizers
// any overrun fails the test; the checks below catch a result that breaks its own width.
#include <doctest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "list/install_context.h"
#include "list/list_rules.h"
#include "app/self_removal_script.h"
#include "files/file_path_rules.h"
#include "files/file_type_rules.h"
#include "files/placement_rules.h"
#include "install/install_texts.h"
#include "support/text_helpers.h"
#include "ui/dialog_texts.h"
#include "uninstall/uninstall_rules.h"
#include "uninstall/uninstall_texts.h"

namespace {

class RandomTexts {
public:
    explicit RandomTexts(unsigned seed) : random_(seed) {}

    // A value as a list or the system could hand it over: mostly path-like, sometimes odd
    // bytes, sometimes far longer than any width.
    std::string Next() {
        static const char alphabet[] = "abcXYZ019 .\\/:*?\"<>|%,&\t";
        std::uniform_int_distribution<int> kind(0, 9);
        std::uniform_int_distribution<size_t> shortLength(0, 90);
        std::uniform_int_distribution<size_t> longLength(100, 7000);
        std::uniform_int_distribution<int> anyByte(1, 255);
        std::uniform_int_distribution<size_t> letter(0, sizeof alphabet - 2);
        int k = kind(random_);
        size_t length = k < 7 ? shortLength(random_) : longLength(random_);
        std::string text(length, 'x');
        for (char& c : text) c = k % 2 ? static_cast<char>(anyByte(random_)) : alphabet[letter(random_)];
        return text;
    }

private:
    std::mt19937 random_;
};

// A buffer of exactly the text's bytes and no terminator, read through a bounded copy the way
// list fields are: what the helpers then see ends within its width.
template <size_t Width>
PathBuffer<Width> FromUnterminated(const std::string& text) {
    std::vector<char> raw(text.begin(), text.end());
    PathBuffer<Width> buffer;
    buffer.Assign(raw.data(), raw.size());
    return buffer;
}

template <size_t Width>
void CheckWithinWidth(const PathBuffer<Width>& text) {
    CHECK(std::strlen(text.CStr()) == text.Length());
    CHECK(text.Length() <= Width - 1);
}

const char* g_alt[kListEntryCount];
const char* AltFolderOf(int index) { return g_alt[index]; }

}  // namespace

TEST_CASE("random values through every text helper and composer stay within their widths") {
    RandomTexts random(7001);
    for (int round = 0; round < 300; ++round) {
        std::string a = random.Next(), b = random.Next(), c = random.Next();
        FieldText field = FromUnterminated<kFieldWidth>(a);
        EntryText entry = FromUnterminated<kEntryWidth>(b);
        WorkPath path = FromUnterminated<kPathWidth>(c);

        const char* found = FindTextNoCase(a.c_str(), b.c_str());
        CHECK((found == nullptr || (found >= a.c_str() && found <= a.c_str() + a.size())));
        found = FindTextExact(a.c_str(), entry.CStr());
        CHECK((found == nullptr || (found >= a.c_str() && found <= a.c_str() + a.size())));
        CheckWithinWidth(PathFilePart(a.c_str()));
        CheckWithinWidth(PathFolderPart(a.c_str()));
        CheckWithinWidth(JoinPath(a.c_str(), b.c_str()));
        CheckWithinWidth(JoinPathText(field.CStr(), c.c_str()));
        CheckWithinWidth(FoundFilePath(a.c_str(), b.c_str()));
        CheckWithinWidth(FoundFileText(a.c_str(), b.c_str()));
        FitsWindowsPath(a.c_str());
        IsDriveOrRoot(a.c_str());
        CommandLineSelectsUninstall(a.c_str());
        CommandLineWantsSyntaxHelp(a.c_str());

        ScratchBuffer out;
        ComposeUninstallQuestion(a.c_str(), out);
        CheckWithinWidth(out);
        ComposeSourceMissingQuestion(a.c_str(), out);
        ComposeSourceMissingAbort(b.c_str(), out);
        ComposeSuccessText(a.c_str(), round % 2 == 0, out);
        ComposeRegistryImportError(a.c_str(), out);
        ComposeStartError(b.c_str(), out);
        ComposeRegistryImportCommand(field.CStr(), a.c_str(), true, out);
        ComposeRunOnceCommand(field.CStr(), entry.CStr(), round % 3 == 0, out);
        CheckWithinWidth(out);
        CheckWithinWidth(UninstallKeyFor(a.c_str()));
        CheckWithinWidth(UninstallCommand(a.c_str(), true));
        ComposeIntroCaption(a.c_str(), out);
        ComposeIntroText(a.c_str(), b.c_str(), c.c_str(), out);
        ComposeMainText(field.CStr(), path.CStr(), out);
        CheckWithinWidth(out);
        ComposeSystemFileQuestion(a.c_str(), out);
        ComposeListedFileNotDeletedText(b.c_str(), out);
        ComposeUserFilesQuestion(c.c_str(), out);
        ComposePurgeQuestion(a.c_str(), b.c_str(), out);
        ComposeUninstalledText(a.c_str(), true, round % 2 == 1, out);
        CheckWithinWidth(out);
        ComposeUninstallerLeftText(a.c_str(), b.c_str(), c.c_str(), out);
        CheckWithinWidth(out);
        ComposeOtherApplicationsFolderText(a.c_str(), b.c_str(), c.c_str(), out);
        CheckWithinWidth(out);
        CheckWithinWidth(SelfRemovalScriptName(round - 150));

        PathValueProblem(a.c_str(), true);
        FolderNameProblem(b.c_str());
        NamesFolder(c.c_str());

        ExtensionList list;
        BeginExtensionList(&list, entry.CStr());
        ExtensionItem item;
        int items = 0;
        while (NextExtensionItem(&list, &item) && items < 300) ++items;
        CHECK(items < 300);
        CheckWithinWidth(ComposeOpenCommand(a.c_str(), round % 2 == 0));
        CheckWithinWidth(ProgramPathOfCommand(b.c_str()));
        CheckWithinWidth(ApplicationKeyName(c.c_str()));
        CheckWithinWidth(ExtensionCommandKey(entry.CStr()));
        CheckWithinWidth(OpenWithKey(a.c_str(), b.c_str()));
        CheckWithinWidth(MachineApplicationCommandKey(c.c_str()));

        InstallFolders folders;
        folders.WindowsDir = field.CStr();
        folders.TargetDir = path.CStr();
        CheckWithinWidth(InstalledFolderFor(entry.CStr(), folders));
        CheckWithinWidth(InstalledFilePath(a.c_str(), b.c_str()));
        CompanionFiles companions = CompanionFilesOf(a.c_str());
        CHECK(companions.Count <= 4);
        CheckWithinWidth(WildPatternPath(a.c_str(), b.c_str(), c.c_str()));
        SubFolderHoldsKept(a.c_str(), b.c_str());
        WorkPath link;
        DesktopShortcutPath(a.c_str(), b.c_str(), &link);
        CheckWithinWidth(link);
        ProgramGroupFolder(a.c_str(), b.c_str(), &link);
        CheckWithinWidth(link);
    }
}

TEST_CASE("random lists through the list rules and their message") {
    RandomTexts random(7002);
    static InstallContext context;
    for (int round = 0; round < 40; ++round) {
        context = InstallContext();
        context.AppName = FromUnterminated<kFieldWidth>(random.Next());
        context.Folder = FromUnterminated<kFieldWidth>(random.Next());
        context.TargetDir = FromUnterminated<kFieldWidth>(random.Next());
        context.ProgramsDir = FromUnterminated<kFieldWidth>(random.Next());
        for (int i = 1; i < kListEntryCount; i += 7) {
            ListEntry& entry = context.InstallList[i];
            entry.Files = FromUnterminated<kEntryWidth>(random.Next());
            entry.AltFolder = FromUnterminated<kEntryWidth>(random.Next());
            entry.WildCopy = FromUnterminated<kEntryWidth>(random.Next());
            entry.WildSubFolder = FromUnterminated<kEntryWidth>(random.Next());
        }
        ListProblem problem;
        bool accepted = CheckListValues(context, &problem);
        CHECK(accepted == (problem.Kind == ListProblemKind::None));
        ScratchBuffer text;
        ComposeListProblemText(problem, round % 2 == 0, text);
        CheckWithinWidth(text);
    }
}

TEST_CASE("random values through the self-removal script") {
    RandomTexts random(7003);
    std::vector<std::string> alts(kListEntryCount);
    static SelfRemovalScriptText script;
    int composedScripts = 0;
    for (int round = 0; round < 30; ++round) {
        for (int i = 0; i < kListEntryCount; ++i) {
            alts[i] = FromUnterminated<kEntryWidth>(random.Next()).CStr();
            g_alt[i] = alts[i].c_str();
        }
        std::string appName = FromUnterminated<kFieldWidth>(random.Next()).CStr();
        std::string folder = FromUnterminated<kPathWidth>(random.Next()).CStr();
        std::string scriptPath = FromUnterminated<kPathWidth>(random.Next()).CStr();
        if (round % 2 == 0) {
            // the composer refuses a folder or script path with a quote: let half the rounds pass
            for (std::string* text : {&folder, &scriptPath})
                for (char& ch : *text)
                    if (ch == '"') ch = '_';
            folder = "C:\\" + folder;
        }
        SelfRemovalScriptInput input;
        input.IsNT = round % 2 == 0;
        input.RemoveProgramFolder = round % 5 != 0;
        input.PurgeProgramFolder = round % 3 == 0;
        input.AnswerLetter = AnswerLetterForLanguage(static_cast<unsigned>(round * 97));
        input.AppName = appName.c_str();
        input.ProgramFolder = folder.c_str();
        input.ScriptPath = scriptPath.c_str();
        input.AltFolder = AltFolderOf;
        bool composed = ComposeSelfRemovalScript(input, script);
        if (composed) {
            ++composedScripts;
            CHECK(script.Fits());
            CHECK(script.Length() > 0);
        }
        CheckWithinWidth(script);
        ScratchBuffer command;
        ComposeScriptCommand(appName.c_str(), folder.c_str(), SelfRemovalScriptName(round % 12).CStr(), command);
        CheckWithinWidth(command);
    }
    CHECK(composedScripts > 0);
}
