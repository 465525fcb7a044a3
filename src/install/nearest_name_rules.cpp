// Edit distance between short names (restricted Damerau-Levenshtein: insert, delete, replace,
// exchange neighbours), in fixed rows on the stack: the names are at most a few dozen letters,
// and a longer one can be near none of the known ones.
#include "install/nearest_name_rules.h"

#include "support/text_helpers.h"

namespace {

// Longer names are not compared: no known name comes near this length.
constexpr size_t kLongestName = 40;

// Length of text, or kLongestName + 1 when it is longer than kLongestName; never reads further.
size_t ShortLength(const char* text) {
    size_t n = 0;
    while (n <= kLongestName && text[n] != 0) ++n;
    return n;
}

size_t Smallest(size_t a, size_t b) { return a < b ? a : b; }

size_t EditDistance(const char* a, size_t na, const char* b, size_t nb) {
    size_t rows[3][kLongestName + 1];  // row i of the table is rows[i % 3]: it needs rows i - 1 and i - 2
    for (size_t j = 0; j <= nb; ++j) rows[0][j] = j;
    for (size_t i = 1; i <= na; ++i) {
        size_t *row = rows[i % 3], *above = rows[(i + 2) % 3], *older = rows[(i + 1) % 3];
        row[0] = i;
        for (size_t j = 1; j <= nb; ++j) {
            size_t replace = above[j - 1] + (UpperAscii(a[i - 1]) == UpperAscii(b[j - 1]) ? 0 : 1);
            row[j] = Smallest(Smallest(above[j], row[j - 1]) + 1, replace);
            if (i > 1 && j > 1 && UpperAscii(a[i - 1]) == UpperAscii(b[j - 2]) &&
                UpperAscii(a[i - 2]) == UpperAscii(b[j - 1]))
                row[j] = Smallest(row[j], older[j - 2] + 1);
        }
    }
    return rows[na % 3][nb];
}

}  // namespace

const char* NearestKnownName(const char* name, const char* (*knownAt)(size_t)) {
    size_t length = name != nullptr ? ShortLength(name) : 0;
    if (length == 0 || length > kLongestName) return nullptr;
    const char* nearest = nullptr;
    size_t best = kLongestName + 1;
    bool tied = false;
    for (size_t k = 0; knownAt(k) != nullptr; ++k) {
        const char* known = knownAt(k);
        size_t knownLength = ShortLength(known);
        if (knownLength > kLongestName) continue;
        size_t distance = EditDistance(name, length, known, knownLength);
        if (distance == 0) return nullptr;
        size_t limit = knownLength / 3 > 1 ? knownLength / 3 : 1;
        if (distance > limit || distance > best) continue;
        tied = distance == best;
        best = distance;
        nearest = known;
    }
    return tied ? nullptr : nearest;
}
