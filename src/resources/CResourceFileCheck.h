#pragma once

#include <QByteArrayView>

// Structural check of a Qt binary resource file before it is handed to Qt, which trusts the
// offsets inside it. A file passes when its header is ours to read (magic "qres", format 1 to 3),
// every node of the tree reachable from the root lies inside the file, directories only point
// forward (so the tree has no cycles), every name and every data block lies inside the file, and
// no entry is compressed (so nothing in the file can ask for more memory than the file holds).
class CResourceFileCheck
{
public:
    static constexpr qsizetype kMaxFileSize = 64 * 1024 * 1024;

    [[nodiscard]] static bool IsWellFormed(QByteArrayView file);
};
