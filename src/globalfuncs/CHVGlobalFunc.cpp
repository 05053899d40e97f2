#include "globalfuncs/CHVGlobalFunc.h"

CHVGlobalFunc g_GlobalData;

CHVGlobalFunc::CHVGlobalFunc()
{
    Init();
}

void CHVGlobalFunc::Init()
{
    m_strCopy = QStringLiteral("Copy");
    m_strOf = QStringLiteral("of");
    m_strHour = QStringLiteral("Hour");
    m_strHours = QStringLiteral("Hours");
    m_strMin = QStringLiteral("Min");
    m_strMins = QStringLiteral("Mins");
    m_strSec = QStringLiteral("Sec");
    m_strSecs = QStringLiteral("Secs");
}
