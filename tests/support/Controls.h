#pragma once

#include <QObject>
#include <QString>

namespace hvtest {

// The control with that number below pParent (controls carry their number as object name), of
// type T; nullptr when there is none.
template <typename T>
T* Control(const QObject* pParent, int nId)
{
    return pParent != nullptr ? pParent->findChild<T*>(QString::number(nId)) : nullptr;
}

}  // namespace hvtest
