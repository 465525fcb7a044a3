// The texts of a packed Setup.exe.
#include "package/package_texts.h"

#include "support/text_helpers.h"

const char kPhaseUnpacking[] = "Entpacken:";
const char kUnpackRefusedCaption[] = "Entpacken abgebrochen";

namespace {

const char kNothingUnpacked[] = "\r\rEs wurde nichts entpackt.";

// Megabytes with one decimal; the room needed rounded up, the room free rounded down.
void AppendMegabytes(unsigned long long bytes, bool roundUp, ScratchBuffer& out) {
    constexpr unsigned long long kMegabyte = 1024 * 1024;
    // Whole megabytes and the rest apart: ten times the bytes could overflow.
    unsigned long long rest = bytes % kMegabyte * 10 + (roundUp ? kMegabyte - 1 : 0);
    out.Append(DecimalText(bytes / kMegabyte * 10 + rest / kMegabyte, true));
    out.Append(" MB");
}

}  // namespace

void ComposePackageProblemText(const PackageCheck& check, ScratchBuffer& out) {
    if (check.Problem == PackageProblem::BadName) {
        out.Assign("Das Paket enthält einen unzulässigen Namen:\r\r");
        out.Append(check.Name);
        out.Append("\r\r");
        out.Append(ListProblemReason(check.NameProblem));
    } else if (check.Problem == PackageProblem::NotCabinet) {
        out.Assign("Hinter dem Programm steht kein Paket, das sich entpacken lässt.");
    } else {
        out.Assign(check.Problem == PackageProblem::Truncated ? "Das Paket ist unvollständig."
                                                              : "Das Paket ist beschädigt.");
        out.Append(" Laden Sie die Datei bitte noch einmal herunter.");
    }
    out.Append(kNothingUnpacked);
}

void ComposeNoRoomText(const char* folder, unsigned long long needed, unsigned long long free, ScratchBuffer& out) {
    out.Assign("Im Ordner für temporäre Dateien ist nicht genug Platz frei:\r\r");
    out.Append(folder);
    out.Append("\r\rDas Entpacken braucht ");
    AppendMegabytes(needed, true, out);
    out.Append(", frei sind ");
    AppendMegabytes(free, false, out);
    out.AppendChar('.');
    out.Append(kNothingUnpacked);
}

void ComposeUnpackFailedText(const char* path, ScratchBuffer& out) {
    out.Assign("Das Paket konnte nicht entpackt werden:\r\r");
    out.Append(path);
    out.Append("\r\rEs wurde nichts installiert.");
}
