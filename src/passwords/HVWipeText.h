#pragma once

#include "engines/CSecureBuffer.h"

#include <QString>

#include <string>

// The one way to get rid of a text that held a secret: its whole storage (capacity, not only
// size) is overwritten with zeros before it is emptied.
//
// A QString that shares its storage with other copies is only let go: writing through it would
// detach and wipe a fresh copy, and writing into the shared storage would destroy the value the
// other holders still use. The storage is wiped by whichever holder lets go of it last, so every
// holder of a secret calls this.
void HVWipeText(QString& str);
void HVWipeText(std::u16string& str);

// Where a secret arrives as a QString (a line edit's text, an argument): its UTF-16 code units
// copied into secure memory, then str wiped as above.
[[nodiscard]] CSecureBuffer HVTakeText(QString& str);
