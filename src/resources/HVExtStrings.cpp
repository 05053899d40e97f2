#include "resources/HVExtStrings.h"

#include <algorithm>
#include <iterator>

namespace {

#include "resources/HVExtStringTable.inc"

const char* Find(unsigned nId)
{
    const auto* end = std::end(kExtStrings);
    const auto* it =
        std::lower_bound(std::begin(kExtStrings), end, nId, [](const auto& e, unsigned n) { return e.nId < n; });
    return it != end && it->nId == nId ? it->pszText : nullptr;
}

}  // namespace

const char* HVExtLoadString(unsigned nId)
{
    const char* psz = Find(nId);
    return psz ? psz : "";
}

bool HVExtHasString(unsigned nId)
{
    return Find(nId) != nullptr;
}
