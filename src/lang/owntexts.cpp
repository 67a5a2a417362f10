#include "lang/owntexts.h"

#include <algorithm>
#include <iterator>

namespace texttables {
namespace {

// Sorted by number; keep each area's entries inside its range.
constexpr OwnText kOwnTexts[] = {
    {1000, "Zápis protokolu do souboru %1 se nezdařil.",
     "Zápis protokolu do súboru %1 sa nepodaril."},
};

static_assert(std::is_sorted(std::begin(kOwnTexts), std::end(kOwnTexts),
                             [](const OwnText &a, const OwnText &b) {
                                 return a.number < b.number;
                             }));

} // namespace

const OwnText *FindOwnText(int number) {
    const auto it = std::lower_bound(std::begin(kOwnTexts), std::end(kOwnTexts), number,
                                     [](const OwnText &t, int n) { return t.number < n; });
    return it != std::end(kOwnTexts) && it->number == number ? &*it : nullptr;
}

} // namespace texttables
