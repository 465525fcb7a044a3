// Every message box and question of a run.
#include "ui/user_boxes.h"

#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "res/resource.h"
#include "support/win_support.h"

namespace {

const char* AnswerName(int answer) {
    switch (answer) {
    case IDYES: return "Ja";
    case IDNO: return "Nein";
    case IDCANCEL: return "Abbrechen";
    case IDRETRY: return "Wiederholen";
    default: return "OK";
    }
}

void LogBox(const char* action, const char* caption, const char* text, int answer) {
    static LogLineText shown;
    ComposeLogLine(caption, text, nullptr, shown);
    LogAction(action, shown.CStr(), AnswerName(answer));
}

}  // namespace

int AskUser(HWND owner, const char* text, const char* caption, UINT style, int quietAnswer) {
    if (g_ctx.Unattended) {
        g_ctx.RunHadProblems = true;
        LogBox(kLogAnswered, caption, text, quietAnswer);
        return quietAnswer;
    }
    int answer = MessageBoxA(owner, text, caption, style);
    LogBox(kLogShown, caption, text, answer);
    return answer;
}

bool AskToDelete(HWND owner, const char* text, const char* caption) {
    if (g_ctx.Unattended) {
        LogBox(kLogAnswered, caption, text, IDNO);
        return false;
    }
    return AskUser(owner, text, caption, kDeleteQuestionStyle, IDNO) == IDYES;
}

void TellUser(HWND owner, const char* text, const char* caption, UINT style) {
    if (!g_ctx.Unattended) MessageBoxA(owner, text, caption, style);
    LogBox(kLogShown, caption, text, IDOK);
}

void TellUserWithIcon(HWND owner, const char* text, const char* caption) {
    if (!g_ctx.Unattended) ShowIconMessage(g_ctx.ModuleInstance, owner, text, caption, IDI_SETUP, MB_USERICON);
    LogBox(kLogShown, caption, text, IDOK);
}
