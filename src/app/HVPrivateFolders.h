#pragma once

#include <QString>
#include <QStringList>

// The program's data folders are the user's alone: folders 0700, the files in them 0600.
namespace HVPrivateFolders {

// Walks from strBase (left as it is) down through lstParts, making each folder 0700, and makes
// every regular file and folder directly inside the last one private as well (files keep only
// their owner bits). Links are never followed and only what the user owns is changed; a part that
// is missing ends the walk. Returns how many modes were changed.
int Tighten(const QString& strBase, const QStringList& lstParts);

}  // namespace HVPrivateFolders
