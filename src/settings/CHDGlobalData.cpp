#include "settings/CHDGlobalData.h"

#include "engines/CEncryptManager.h"
#include "globalfuncs/HVFolderFunctions.h"
#include "globalfuncs/HVPasswordStrength.h"
#include "globalfuncs/HVPathText.h"
#include "globalfuncs/HVShellFunctions.h"
#include "logging/CHVLog.h"
#include "resources/HVResourceStrings.h"
#include "xml/CXmlDocument.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <sys/stat.h>
#include <vector>

CHDGlobalData g_HDGlobalData;

namespace {

// The configuration files are encrypted with this fixed password (the file protects the product
// data against casual editing, not against a determined reader).
constexpr char16_t kConfigPassword[] = u"" HV_CONFIG_PASSWORD;  // from the build (HVConfigPassword)

// Largest help-page name taken from a caller.
constexpr qsizetype kMaxTopicLength = 255;

}  // namespace

CHDGlobalData::CHDGlobalData()
    : m_urlOpener(OpenWithBrowser)
{
}

CHDGlobalData::~CHDGlobalData() = default;

int CHDGlobalData::LoadAppConfigFile()
{
    CXmlDocument doc;
    const QString strText = MakeConfigFileEx(QString::fromLatin1(kConfigFileName));
    if (strText.isEmpty() || !doc.SetDocument(strText)) {
        HV_WRITE_LOG("Failed to load gconfig file", LOGGER::HV_LOG_ERROR);
        return 0;
    }
    if (!doc.FindElement(QStringLiteral("Config")) || !doc.FindChildElement(QStringLiteral("AppConfig"))
        || !doc.EnterElement()) {
        return 1;
    }
    XML_TO_STRING(doc, QStringLiteral("ProductName"), ProductName, true);
    XML_TO_STRING(doc, QStringLiteral("ProductMutex"), ProductMutex, true);
    XML_TO_STRING(doc, QStringLiteral("DataCompanyName"), DataCompanyName, true);
    XML_TO_STRING(doc, QStringLiteral("ResFile"), ResFile, true);
    XML_TO_STRING(doc, QStringLiteral("HelpFile"), HelpFile, true);
    XML_TO_STRING(doc, QStringLiteral("ThemeFileName"), ThemeFileName, true);
    XML_TO_STRING(doc, QStringLiteral("DataProductName"), DataProductName, true);
    XML_TO_STRING(doc, QStringLiteral("URL_LINKS_MANAGER"), URL_LINKS_MANAGER, true);
    XML_TO_STRING(doc, QStringLiteral("Online_Server"), Online_Server, true);
    XML_TO_STRING(doc, QStringLiteral("Online_URL"), Online_URL, true);
    XML_TO_BOOL(doc, QStringLiteral("Online_Secure"), Online_Secure, true);
    XML_TO_STRING(doc, QStringLiteral("Update_Online_Server"), Update_Online_Server, true);
    XML_TO_STRING(doc, QStringLiteral("Update_Online_URL"), Update_Online_URL, true);
    XML_TO_BOOL(doc, QStringLiteral("Update_Online_Secure"), Update_Online_Secure, true);
    XML_TO_INT(doc, QStringLiteral("LinkSourceID"), LinkSourceID, true);
    (void)doc.LeaveElement();
    return 1;
}

QString CHDGlobalData::MakeConfigFileEx(const QString& strFileName) const
{
    const QString strPath = MAKEFILE(strFileName) + QLatin1String(kEncryptedSuffix);
    if (!QFileInfo(strPath).isFile()) {
        LOGGER::g_HVLog.LogText("Failed to find Config file:" + HVGlobalMFC::HVPathToStd(strPath));
        return QString();
    }
    std::vector<std::uint8_t> plain;
    plain.reserve(1024);
    {
        CEncryptManager engine;
        engine.EnablerEncryptionType(32, kConfigPassword);
        if (!engine.Decrypt(HVGlobalMFC::HVPathToStd(strPath), plain).Ok()) {
            return QString();
        }
    }
    // The plain text ends at its first zero byte, if it holds one.
    const auto itEnd = std::find(plain.begin(), plain.end(), std::uint8_t{0});
    const auto nLength = static_cast<qsizetype>(itEnd - plain.begin());
    return QString::fromUtf8(reinterpret_cast<const char*>(plain.data()), nLength);
}

QString CHDGlobalData::MAKEFILE(const QString& strFileName) const
{
    return m_RegData.m_strModulePath + QLatin1Char('/') + strFileName;
}

QString CHDGlobalData::HelpTopicAddress(const QString& strTopic) const
{
    if (HelpFile.isEmpty() || strTopic.size() > kMaxTopicLength || strTopic.contains(QLatin1Char('/'))
        || strTopic.startsWith(QLatin1Char('.')) || strTopic.contains(QChar(0))) {
        return QString();
    }
    const QString strPage = strTopic.isEmpty() ? QString::fromLatin1(kHelpStartPage) : strTopic;
    return QUrl::fromLocalFile(MAKEFILE(HelpFile) + QLatin1Char('/') + strPage).toString(QUrl::FullyEncoded);
}

bool CHDGlobalData::ShowHelpTopic(const QString& strTopic) const
{
    const QString strAddress = HelpTopicAddress(strTopic);
    if (strAddress.isEmpty() || !QFileInfo(QUrl(strAddress).toLocalFile()).isFile()) {
        LOGGER::g_HVLog.LogText("Help page not found: " + strTopic.toStdString());
        return false;
    }
    return m_urlOpener && m_urlOpener(strAddress);
}

QString CHDGlobalData::WebLinkAddress(int nLinkId, const QString& strExtraQuery) const
{
    if (URL_LINKS_MANAGER.isEmpty()) {
        return QString();
    }
    QString strAddress = QStringLiteral("%1?linkid=%2&SrcID=%3")
                             .arg(URL_LINKS_MANAGER, QString::number(nLinkId), QString::number(LinkSourceID));
    if (!strExtraQuery.isEmpty()) {
        strAddress += QLatin1Char('&') + strExtraQuery;
    }
    return strAddress;
}

bool CHDGlobalData::OpenWebLink(int nLinkId, const QString& strExtraQuery) const
{
    const QString strAddress = WebLinkAddress(nLinkId, strExtraQuery);
    return !strAddress.isEmpty() && m_urlOpener && m_urlOpener(strAddress);
}

bool CHDGlobalData::OpenContainingFolder(const QString& strPath) const
{
    if (strPath.isEmpty() || strPath.contains(QChar(0))) {
        return false;
    }
    QString strFolder = QFileInfo(strPath).absolutePath();
    while (!QFileInfo(strFolder).isDir() && strFolder != QLatin1String("/")) {
        strFolder = QFileInfo(strFolder).absolutePath();
    }
    return m_urlOpener && m_urlOpener(QUrl::fromLocalFile(strFolder).toString(QUrl::FullyEncoded));
}

void CHDGlobalData::SetUrlOpener(UrlOpener opener)
{
    m_urlOpener = std::move(opener);
}

void CHDGlobalData::SetFolderChooser(FolderChooser chooser)
{
    m_folderChooser = std::move(chooser);
}

bool CHDGlobalData::OpenWithBrowser(const QString& strAddress)
{
    return HVGlobalMFC::HVLauchIEBrowser(strAddress, 0, 0);
}

bool CHDGlobalData::UsesDesktopUrlOpener() const
{
    const auto* pTarget = m_urlOpener.target<bool (*)(const QString&)>();
    return pTarget != nullptr && *pTarget == &OpenWithBrowser;
}

QString CHDGlobalData::DataFolderPath(int nSpecialFolder,
                                      const QString& strCompany,
                                      const QString& strProduct,
                                      const QString& strSubFolder)
{
    const QString strPath = DataFolderName(nSpecialFolder, strCompany, strProduct, strSubFolder);
    if (!strPath.isEmpty()) {
        (void)HVGlobalMFC::HVEnsureFolderIsCreated(strPath, 1);
    }
    return strPath;
}

QString CHDGlobalData::DataFolderName(int nSpecialFolder,
                                      const QString& strCompany,
                                      const QString& strProduct,
                                      const QString& strSubFolder)
{
    QString strPath = HVGlobalMFC::HV_GetSpecialFolder(nSpecialFolder);
    if (strPath.isEmpty()) {
        return QString();
    }
    for (const QString& strPart : {strCompany, strProduct, strSubFolder}) {
        if (!strPart.isEmpty()) {
            if (!strPath.endsWith(QLatin1Char('/'))) {
                strPath += QLatin1Char('/');
            }
            strPath += strPart;
        }
    }
    return strPath;
}

void CHDGlobalData::CreateUserDataFolder(const QString& strSubFolder)
{
    m_strUserDataFolder = DataFolderPath(HVGlobalMFC::HV_CSIDL_APPDATA, DataCompanyName, DataProductName, strSubFolder);
}

void CHDGlobalData::CreateCommonDataFolder(const QString& strSubFolder)
{
    m_strCommonDataFolder =
        DataFolderPath(HVGlobalMFC::HV_CSIDL_COMMON_APPDATA, DataCompanyName, DataProductName, strSubFolder);
}

QString CHDGlobalData::BrowseForFolder(const QString& strTitle) const
{
    if (!m_folderChooser) {
        return QString();
    }
    return m_folderChooser(strTitle.isEmpty() ? HVLoadString(IDS_BROWSE_FOLDER_TITLE) : strTitle);
}

std::uint64_t CHDGlobalData::GetFileSize64(const QString& strPath)
{
    struct stat st
    {
    };
    const QByteArray path = HVGlobalMFC::HVPathToBytes(strPath);
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0 || S_ISDIR(st.st_mode) || st.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void CHDGlobalData::RefreshFolderView(const QString& strPath) const
{
    (void)strPath;
}

SPasswordStrength CHDGlobalData::PasswordStrength(const QString& strPassword)
{
    SPasswordStrength strength;
    strength.nBits = HVGlobalMFC::EstimatePasswordBits(strPassword);
    if (strength.nBits > 9999) {
        strength.nBits = 9999;
    }
    strength.nBarValue = static_cast<int>(std::min<quint32>(strength.nBits, 128));
    strength.strLabel = QString::number(strength.nBits) + QStringLiteral(" bits");
    return strength;
}
