#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

// The words used in composed texts (copy names, elapsed times). A program that translates its
// texts may set them after Init.
class HVGLOBALMFC_API CHVGlobalFunc
{
public:
    CHVGlobalFunc();  // calls Init
    // "Copy", "of", "Hour", "Hours", "Min", "Mins", "Sec", "Secs".
    void Init();

    QString m_strCopy;
    QString m_strOf;
    QString m_strHour;
    QString m_strHours;
    QString m_strMin;
    QString m_strMins;
    QString m_strSec;
    QString m_strSecs;
};

// The one instance. Set its words at start-up, before other threads use the library.
HVGLOBALMFC_API extern CHVGlobalFunc g_GlobalData;
