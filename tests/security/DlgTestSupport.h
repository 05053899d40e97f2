#pragma once

// Shared by the dialog tests: answering the next modal dialog of a kind from the event loop, and
// temporary files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "support/TempHome.h"

namespace dlgtest {

// Waits (from the GUI thread's event loop) for a modal dialog of type T and hands it to fn once.
// The answerer stays alive until it has answered.
template <typename T>
void AnswerNext(QObject* pOwner, std::function<void(T*)> fn)
{
    auto* pTimer = new QTimer(pOwner);
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, fn] {
        if (auto* pDlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
            if (pDlg->isVisible()) {
                pTimer->stop();
                pTimer->deleteLater();
                fn(pDlg);
            }
        }
    });
    pTimer->start();
}

using hvtest::ReadFile;
using hvtest::WriteFile;

}  // namespace dlgtest
