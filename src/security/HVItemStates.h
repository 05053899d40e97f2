#pragma once

#include <QString>
#include <QtGlobal>

class CItemData;

// The three result states of an item (wipe, encryption, hide) and their texts.
//
// A file item simply takes a new state. A folder item follows its files: a failure (2 or 4)
// makes it "partly failed" (3) for good, a success (1) counts only while it is not partly
// failed, and 0 or 3 leave it as it is.
namespace HVItemStates {

[[nodiscard]] quint16 Follow(const CItemData& item, quint16 nCurrent, quint16 nNew);

void SetWipeState(CItemData& item, quint16 nNew);
void SetEncryptState(CItemData& item, quint16 nNew);
void SetHideState(CItemData& item, quint16 nNew);

// The text of a result state as the pages show it: 4018, 140, 136, 137, 139 for 0 to 4, empty
// for any other value.
[[nodiscard]] QString StateText(quint16 nState);
// True for the "succeeded" state. Decided on the number, not by comparing texts: with a missing
// resource module every text is empty, and a translation may give two states the same word, and
// then a failed item would pass for a succeeded one (and its files would be wiped).
[[nodiscard]] constexpr bool IsSucceeded(quint16 nState)
{
    return nState == 1;
}

}  // namespace HVItemStates
