// The list's ProductVersion, read strictly: the uninstall entry's number fields take the parts,
// so a value that is not a plain dotted number is refused rather than read half.
#include "files/product_version_rules.h"

namespace {

constexpr unsigned kPartLimit = 65535;  // the parts are 16-bit in Windows' version numbers
constexpr int kPartDigits = 5;          // keeps the text of four parts within its width

bool ReadParts(const char* value, VersionNumber& version) {
    if (value == nullptr) return false;
    int part = 0, digits = 0;
    for (const char* p = value;; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (++digits > kPartDigits) return false;
            version.Parts[part] = version.Parts[part] * 10 + static_cast<unsigned>(*p - '0');
            if (version.Parts[part] > kPartLimit) return false;
        } else if ((*p == '.' || *p == 0) && digits > 0) {
            if (*p == 0) return version.Text.Assign(value);
            if (++part == 4) return false;
            digits = 0;
        } else {
            return false;
        }
    }
}

}  // namespace

bool ParseProductVersion(const char* value, VersionNumber& version) {
    version = VersionNumber();
    if (ReadParts(value, version)) return true;
    version = VersionNumber();
    return false;
}
