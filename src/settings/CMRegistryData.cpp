#include "settings/CMRegistryData.h"

#include "logging/CHVFuncLog.h"
#include "settings/CHVFileAssociation.h"
#include "settings/CRegistry.h"

#include <QFileInfo>

#include <array>
#include <filesystem>
#include <system_error>

namespace {

using D = CMRegistryData;

// The values in the order they are written; ReadValues takes the same order without the paths.
constexpr std::array<D::CValueInfo, 22> kValues = {{
    {"Module Path", nullptr, &D::m_strModulePath, 0, "", true},
    {"Module EXE Path", nullptr, &D::m_strModuleEXEPath, 0, "", true},
    {"Priority", &D::m_nPriority, nullptr, -1, nullptr, false},
    {"AESType", &D::m_nAESType, nullptr, 2, nullptr, false},
    {"EnableAdvLog", &D::m_nEnableAdvLog, nullptr, 0, nullptr, false},
    {"ActionHidden", &D::m_nActionHidden, nullptr, 0, nullptr, false},
    {"ActionReadOnly", &D::m_nActionReadOnly, nullptr, 1, nullptr, false},
    {"ActionSystem", &D::m_nActionSystem, nullptr, 0, nullptr, false},
    {"HidenType", &D::m_nHidenType, nullptr, 0, nullptr, false},
    {"DisableHide", &D::m_nDisableHide, nullptr, 0, nullptr, false},
    {"EnableEncrypt", &D::m_nEnableEncrypt, nullptr, 1, nullptr, false},
    {"PasswordType", &D::m_nPasswordType, nullptr, 0, nullptr, false},
    {"WipeType", &D::m_nWipeType, nullptr, 0, nullptr, false},
    {"DodPass3Type", &D::m_nDodPass3Type, nullptr, 0, nullptr, false},
    {"DoDPass3", nullptr, &D::m_strDoDPass3, 0, "AA", false},
    {"ShlEnableShell", &D::m_nShlEnableShell, nullptr, 1, nullptr, false},
    {"ShlEnableWipe", &D::m_nShlEnableWipe, nullptr, 0, nullptr, false},
    {"ShlPasswordType", &D::m_nShlPasswordType, nullptr, 1, nullptr, false},
    {"ShlAskMaster", &D::m_nShlAskMaster, nullptr, 1, nullptr, false},
    {"WindowPosition", &D::m_nWindowPosition, nullptr, 1, nullptr, false},
    {"AsscExtension", &D::m_nAsscExtension, nullptr, 1, nullptr, false},
    {"ResolveLinks", &D::m_nResolveLinks, nullptr, 0, nullptr, false},
}};

constexpr std::array<const char*, 4> kShellValues = {
    "ShlEnableShell", "ShlEnableWipe", "ShlPasswordType", "ShlAskMaster"};
constexpr std::array<const char*, 1> kEncryptValues = {"AESType"};
constexpr std::array<const char*, 3> kWipeValues = {"WipeType", "DodPass3Type", "DoDPass3"};
constexpr std::array<const char*, 6> kGeneralValues = {
    "EnableAdvLog", "ResolveLinks", "ActionHidden", "ActionReadOnly", "ActionSystem", "WindowPosition"};

// A stored placement larger than this is not one of ours.
constexpr qsizetype kMaxPlacementBytes = 4096;

// Set while ReadValues rewrites a broken set, so that a failing rewrite cannot loop.
bool g_bRepairing = false;

QString RunningProgram()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? QString() : QString::fromStdString(exe.string());
}

// The program a double-click or a menu entry should start. The terminal program is no such
// program (it has no window and no terminal when a file manager starts it): for it, the
// graphical program beside it is taken, or nothing when there is none.
QString GraphicalProgram(const QString& strRunning)
{
    const QFileInfo running(strRunning);
    if (running.fileName() != QLatin1StringView(CMRegistryData::kTerminalProgram)) {
        return strRunning;
    }
    const QFileInfo beside(running.absolutePath() + u'/' + QLatin1StringView(CMRegistryData::kGraphicalProgram));
    return beside.isFile() && beside.isExecutable() ? beside.absoluteFilePath() : QString();
}

// The field of a named number or string; null for an unknown name or the other kind.
int D::*IntField(QStringView strName)
{
    const D::CValueInfo* pInfo = D::FindValue(strName);
    return pInfo != nullptr ? pInfo->pnField : nullptr;
}

QString D::*StringField(QStringView strName)
{
    const D::CValueInfo* pInfo = D::FindValue(strName);
    return pInfo != nullptr ? pInfo->pstrField : nullptr;
}

void ApplyDefault(D& data, const D::CValueInfo& info)
{
    if (info.pnField != nullptr) {
        data.*(info.pnField) = info.nDefault;
    } else {
        data.*(info.pstrField) = QString::fromLatin1(info.pszDefault);
    }
}

// Opens the settings key for reading and writing when it is there and may be written.
bool OpenWritable(CRegistry& reg, const QString& strKey)
{
    return reg.VerifyKey(HVRegRoot::CurrentUser, strKey, HV_KEY_ALL_ACCESS)
           && reg.Open(HVRegRoot::CurrentUser, strKey, HV_KEY_ALL_ACCESS);
}

}  // namespace

CMRegistryData::CMRegistryData()
    : m_strDoDPass3(QStringLiteral("AA"))
    , m_strRegistryKey(QString::fromLatin1(kSettingsKey))
    , m_strAppPathsKey(QString::fromLatin1(kAppPathsKey))
{
}

CMRegistryData::~CMRegistryData() = default;

std::span<const CMRegistryData::CValueInfo> CMRegistryData::Values()
{
    return kValues;
}

const CMRegistryData::CValueInfo* CMRegistryData::FindValue(QStringView strName)
{
    for (const CValueInfo& info : kValues) {
        if (strName == QLatin1StringView(info.pszName)) {
            return &info;
        }
    }
    return nullptr;
}

std::optional<int> CMRegistryData::GetInt(QStringView strName) const
{
    const auto pField = IntField(strName);
    return pField != nullptr ? std::optional<int>(this->*pField) : std::nullopt;
}

bool CMRegistryData::SetInt(QStringView strName, int nValue)
{
    const auto pField = IntField(strName);
    if (pField != nullptr) {
        this->*pField = nValue;
    }
    return pField != nullptr;
}

std::optional<QString> CMRegistryData::GetString(QStringView strName) const
{
    const auto pField = StringField(strName);
    return pField != nullptr ? std::optional<QString>(this->*pField) : std::nullopt;
}

bool CMRegistryData::SetString(QStringView strName, const QString& strValue)
{
    const auto pField = StringField(strName);
    if (pField != nullptr) {
        this->*pField = strValue;
    }
    return pField != nullptr;
}

void CMRegistryData::FirstTimeInit()
{
    LOGGER::CHVFuncLog log("CMRegistryData::FirstTimeInit");
    const QString strRunning = RunningProgram();
    m_strModuleEXEPath = GraphicalProgram(strRunning);
    m_strModulePath = strRunning.isEmpty() ? QString() : QFileInfo(strRunning).absolutePath();
}

bool CMRegistryData::LoadAppPaths()
{
    CRegistry reg(HVRegRoot::LocalMachine);
    bool bRead = false;
    if (reg.VerifyKey(HVRegRoot::LocalMachine, m_strAppPathsKey, HV_KEY_READ)
        && reg.Open(HVRegRoot::LocalMachine, m_strAppPathsKey, HV_KEY_READ)) {
        QString strFolder;
        QString strProgram;
        bRead = reg.Read(QStringLiteral("Path"), strFolder) && reg.Read(QString(), strProgram) && !strFolder.isEmpty()
                && !strProgram.isEmpty() && !GraphicalProgram(strProgram).isEmpty();
        if (bRead) {
            m_strModulePath = strFolder;
            m_strModuleEXEPath = GraphicalProgram(strProgram);
        }
        reg.Close();
    }
    if (!bRead) {
        FirstTimeInit();
    }
    return true;
}

bool CMRegistryData::LoadOrCreate()
{
    CRegistry reg(HVRegRoot::LocalMachine);
    if (reg.VerifyKey(HVRegRoot::CurrentUser, m_strRegistryKey, HV_KEY_ALL_ACCESS)) {
        if (reg.Open(HVRegRoot::CurrentUser, m_strRegistryKey, HV_KEY_ALL_ACCESS)) {
            ReadValues(reg);
            if (!reg.Close()) {
                LOGGER::g_HVLog.Log("Settings could not be written back");
            }
        }
        return true;
    }
    if (reg.VerifyKey(HVRegRoot::CurrentUser, m_strRegistryKey, HV_KEY_READ)) {
        // A settings file we may not write is still read; repairs stay in memory.
        if (reg.Open(HVRegRoot::CurrentUser, m_strRegistryKey, HV_KEY_READ)) {
            ReadValues(reg);
            reg.Close();
        }
        return true;
    }
    SetDefaults();
    if (reg.CreateKey(HVRegRoot::CurrentUser, m_strRegistryKey)) {
        WriteValues(reg);
        if (!reg.Close()) {
            LOGGER::g_HVLog.Log("Settings could not be created");
        }
    }
    return true;
}

bool CMRegistryData::Load()
{
    return LoadAppPaths() && LoadOrCreate();
}

bool CMRegistryData::ReadValues(CRegistry& key)
{
    bool bAll = true;
    for (const CValueInfo& info : kValues) {
        if (info.bPath) {
            continue;
        }
        const bool bRead = info.pnField != nullptr
                               ? key.Read(QString::fromLatin1(info.pszName), this->*(info.pnField)) != 0
                               : key.Read(QString::fromLatin1(info.pszName), this->*(info.pstrField)) != 0;
        bAll = bAll && bRead;
    }
    if (bAll || g_bRepairing) {
        return bAll;
    }
    LOGGER::g_HVLog.Log("Settings incomplete: defaults restored");
    g_bRepairing = true;
    SetDefaults();
    WriteValues(key);
    bAll = ReadValues(key);
    g_bRepairing = false;
    return bAll;
}

bool CMRegistryData::WriteValues(CRegistry& key)
{
    bool bAll = true;
    for (const CValueInfo& info : kValues) {
        const QString strName = QString::fromLatin1(info.pszName);
        const int nWritten = info.pnField != nullptr ? key.Write(strName, this->*(info.pnField))
                                                     : key.Write(strName, this->*(info.pstrField));
        bAll = bAll && nWritten != 0;
    }
    return bAll;
}

bool CMRegistryData::Save()
{
    CRegistry reg(HVRegRoot::LocalMachine);
    if (!OpenWritable(reg, m_strRegistryKey)) {
        return false;
    }
    const bool bWritten = WriteValues(reg);
    return reg.Close() && bWritten;
}

bool CMRegistryData::SaveWindowPlacement(const QByteArray& placement)
{
    CRegistry reg(HVRegRoot::LocalMachine);
    if (placement.size() > kMaxPlacementBytes || !OpenWritable(reg, m_strRegistryKey)) {
        return false;
    }
    const bool bWritten = reg.Write(QString::fromLatin1(kPlacementValue), placement) != 0;
    return reg.Close() && bWritten;
}

bool CMRegistryData::LoadWindowPlacement(QByteArray& placement)
{
    CRegistry reg(HVRegRoot::LocalMachine);
    if (!OpenWritable(reg, m_strRegistryKey)) {
        return false;
    }
    QByteArray stored;
    if (!reg.Read(QString::fromLatin1(kPlacementValue), stored) || stored.isEmpty()
        || stored.size() > kMaxPlacementBytes) {
        return false;
    }
    placement = stored;
    return true;
}

void CMRegistryData::SetDefaults()
{
    for (const CValueInfo& info : kValues) {
        if (!info.bPath) {
            ApplyDefault(*this, info);
        }
    }
}

void CMRegistryData::ResetValues(std::span<const char* const> names)
{
    for (const char* pszName : names) {
        if (const CValueInfo* pInfo = FindValue(QString::fromLatin1(pszName))) {
            ApplyDefault(*this, *pInfo);
        }
    }
}

void CMRegistryData::ResetShellDefaults()
{
    ResetValues(kShellValues);
}

void CMRegistryData::ResetEncryptDefaults()
{
    ResetValues(kEncryptValues);
}

void CMRegistryData::ResetWipeDefaults()
{
    ResetValues(kWipeValues);
}

void CMRegistryData::ResetGeneralDefaults()
{
    ResetValues(kGeneralValues);
}

bool CMRegistryData::AssociateExtension()
{
    CHVFileAssociation association(m_strModuleEXEPath);
    return association.Associate();
}
