#pragma once

#include "security/IProgrssManagerUi.h"

#include <QString>

// What the hide and unhide worker asks of its front end: the hide progress dialog on the GUI
// thread, a terminal, or a test script. It asks no questions and shows no message of its own.
//
// Every call comes from the worker thread. A GUI front end forwards the texts and the bar to its
// widgets (queued is enough) and closes on RunEnded the way the encryption runner's dialog does.
class IHideProgrssUi
{
public:
    using EEnd = IProgrssManagerUi::EEnd;

    virtual ~IHideProgrssUi() = default;

    virtual void SetStatusText(const QString& strText) = 0;
    // The bar: nPosition items done of nRange (range 0 to nRange). Sent once with position 0
    // when the run starts, then after every item.
    virtual void SetProgress(int nPosition, int nRange) = 0;

    // The worker's last call before it clears the busy signal. Must not wait for the GUI thread
    // (post the close instead): the GUI thread may be waiting for the busy signal.
    virtual void RunEnded(EEnd eEnd) = 0;
};
