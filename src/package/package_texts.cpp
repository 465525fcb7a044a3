// The texts of a packed Setup.exe.
#include "package/package_texts.h"

#include "support/text_helpers.h"

const char kPackageRefusedCaption[] = "Installation abgebrochen";

namespace {

const char kNothingInstalled[] = "\r\rEs wurde nichts installiert.";

// Megabytes with one decimal; the room needed rounded up, the room free rounded down.
void AppendMegabytes(unsigned long long bytes, bool roundUp, ScratchBuffer& out) {
    constexpr unsigned long long kMegabyte = 1024 * 1024;
    // Whole megabytes and the rest apart: ten times the bytes could overflow.
    unsigned long long rest = bytes % kMegabyte * 10 + (roundUp ? kMegabyte - 1 : 0);
    out.Append(DecimalText(bytes / kMegabyte * 10 + rest / kMegabyte, true));
    out.Append(" MB");
}

}  // namespace

void ComposePackageProblemText(const PackageCheck& check, bool whileInstalling, ScratchBuffer& out) {
    if (check.Problem == PackageProblem::BadName) {
        out.Assign("Das Paket enthält einen unzulässigen Namen:\r\r");
        out.Append(check.Name);
        out.Append("\r\r");
        out.Append(ListProblemReason(check.NameProblem));
    } else if (check.Problem == PackageProblem::NotCabinet) {
        out.Assign("Hinter dem Programm steht kein Paket, das sich installieren lässt.");
    } else {
        out.Assign(check.Problem == PackageProblem::Truncated ? "Das Paket ist unvollständig."
                                                              : "Das Paket ist beschädigt.");
        out.Append(" Laden Sie die Datei bitte noch einmal herunter.");
    }
    out.Append(whileInstalling ? "\r\rDie Installation wurde abgebrochen; die Dateien, die schon an ihrem Platz "
                                 "sind, entfernt die Deinstallation."
                               : kNothingInstalled);
}

void ComposeNoRoomText(const char* folder, unsigned long long needed, unsigned long long free, ScratchBuffer& out) {
    out.Assign("Auf dem Laufwerk des Zielordners ist nicht genug Platz frei:\r\r");
    out.Append(folder);
    out.Append("\r\rDie Installation braucht ");
    AppendMegabytes(needed, true, out);
    out.Append(", frei sind ");
    AppendMegabytes(free, false, out);
    out.AppendChar('.');
    out.Append(kNothingInstalled);
}

void ComposePackedUninstallText(const char* appName, const char* uninstaller, ScratchBuffer& out) {
    out.Assign("Diese Datei installiert ");
    out.Append(appName);
    out.Append(". Entfernt wird die Anwendung mit ihrem Deinstallationsprogramm:\r\r");
    out.Append(uninstaller);
    out.Append("\r\r(oder über die Liste der installierten Programme in der Systemsteuerung)."
               "\r\rEs wurde nichts geändert.");
}
