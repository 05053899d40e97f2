#include "passwords/CMasterPasswordStore.h"

#include "engines/CEncryptManager.h"
#include "engines/CSecureBuffer.h"
#include "logging/CHVLog.h"
#include "xml/CXmlDocument.h"

#include <QFileInfo>

#include <array>
#include <limits>
#include <sys/random.h>

namespace {

const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n");
constexpr std::size_t kSaltSize = 16;
constexpr int kFileMode = 0600;  // the signature is for the user's eyes only

bool RandomSalt(std::uint8_t* pSalt)
{
    std::size_t nDone = 0;
    while (nDone < kSaltSize) {
        const ssize_t n = ::getrandom(pSalt + nDone, kSaltSize - nDone, 0);
        if (n <= 0) {
            return false;
        }
        nDone += static_cast<std::size_t>(n);
    }
    return true;
}

// RunCount as the file holds it: leading blanks, a sign and digits; anything else counts as 0.
// The count stops at the largest int instead of wrapping.
int RunCountOf(const QString& strText)
{
    qsizetype i = 0;
    while (i < strText.size() && strText.at(i).isSpace()) {
        ++i;
    }
    bool bNegative = false;
    if (i < strText.size() && (strText.at(i) == QLatin1Char('-') || strText.at(i) == QLatin1Char('+'))) {
        bNegative = strText.at(i) == QLatin1Char('-');
        ++i;
    }
    long long n = 0;
    for (; i < strText.size() && strText.at(i) >= QLatin1Char('0') && strText.at(i) <= QLatin1Char('9'); ++i) {
        n = n * 10 + (strText.at(i).unicode() - u'0');
        if (n > std::numeric_limits<int>::max()) {
            n = std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(bNegative ? -n : n);
}

// Loads the file unless it is larger than any signature file of ours; the elements found tell
// whether the content is usable.
void LoadCapped(CXmlDocument& doc, const QString& strFile)
{
    const QFileInfo info(strFile);
    if (info.isFile() && info.size() <= CMasterPasswordStore::kMaxFileSize) {
        (void)doc.LoadFile(strFile);
    }
}

}  // namespace

CMasterPasswordStore::CMasterPasswordStore(QString strFile)
    : m_strFile(std::move(strFile))
{
}

QString CMasterPasswordStore::PathIn(const QString& strFolder)
{
    if (strFolder.isEmpty() || strFolder.endsWith(QLatin1Char('/'))) {
        return strFolder + QLatin1String(kFileName);
    }
    return strFolder + QLatin1Char('/') + QLatin1String(kFileName);
}

void CMasterPasswordStore::SetFailure(const QString& strWhy)
{
    m_bSaveFailed = true;
    m_strLastError = strWhy;
    LOGGER::g_HVLog.LogText("Pass Config File not saved: " + strWhy.toStdString());
}

bool CMasterPasswordStore::MakeSignatureText(std::u16string_view password, QString& strText)
{
    std::array<std::uint8_t, kSaltSize> salt{};
    std::array<std::uint8_t, kSignatureSize> sig{};
    if (!RandomSalt(salt.data())
        || !CEncryptManager::GetEncryptionSignature(password, salt.data(), salt.size(), sig.data(), sig.size())) {
        SetFailure(QStringLiteral("the password signature could not be computed"));
        return false;
    }
    strText = Base64Encode(sig.data(), static_cast<int>(sig.size()));
    return true;
}

bool CMasterPasswordStore::WritePasswordSignature(bool bCreate, std::u16string_view password)
{
    m_bSaveFailed = false;
    m_strLastError.clear();
    CXmlDocument doc;
    uint32_t iSig = 0;
    if (!bCreate) {
        LoadCapped(doc, m_strFile);
        if (doc.FindElement() && doc.EnterElement() && doc.FindElement(QStringLiteral("PWSig"))) {
            iSig = doc.GetMainPosition();
        }
        if (iSig == 0) {
            return WritePasswordSignature(true, password);
        }
    }
    QString strSig;
    if (!MakeSignatureText(password, strSig)) {
        return false;
    }
    bool bBuilt = false;
    if (iSig != 0) {
        bBuilt = doc.SetElementData(iSig, strSig);
    } else {
        (void)doc.SetDocument(kDeclaration);  // not well-formed until the root is appended
        bBuilt = doc.AppendElement(QStringLiteral("Config")) && doc.EnterElement()
                 && doc.AppendElement(QStringLiteral("PWSig"), strSig)
                 && doc.AppendElementInt(QStringLiteral("RunCount"), 0) && doc.LeaveElement();
        (void)doc.LeaveElement();
    }
    if (!bBuilt) {
        SetFailure(QStringLiteral("the signature document could not be built"));
        return false;
    }
    if (!doc.SaveFile(m_strFile, kFileMode)) {
        SetFailure(doc.GetResultText());
        return false;
    }
    return true;
}

bool CMasterPasswordStore::Matches(std::u16string_view password, const CSecureBuffer& sig, bool& bOldForm)
{
    bOldForm = false;
    // The salted form: the first 16 bytes are the salt.
    CSecureBuffer computed(kSignatureSize);
    if (computed.size() == kSignatureSize
        && CEncryptManager::GetEncryptionSignature(password, sig.data(), kSaltSize, computed.data(), kSignatureSize)
               != 0
        && computed.Equals(sig)) {
        return true;
    }
    // The earlier form made with the program's fixed salt.
    bOldForm = CEncryptManager::CompareEncryptionPasswords(password, sig.data(), kSignatureSize) != 0;
    return bOldForm;
}

bool CMasterPasswordStore::VerifyMasterPassword(std::u16string_view password)
{
    m_bSaveFailed = false;
    m_strLastError.clear();
    CXmlDocument doc;
    QString strSig;
    uint32_t iRunCount = 0;
    LoadCapped(doc, m_strFile);
    if (doc.FindElement() && doc.EnterElement() && doc.FindElement(QStringLiteral("PWSig"))) {
        strSig = doc.GetElementData();
        if (doc.FindElement(QStringLiteral("RunCount"))) {
            iRunCount = doc.GetMainPosition();
        }
    }
    if (iRunCount == 0) {
        // No usable signature: the password just typed becomes the master password.
        const bool bSaved = WritePasswordSignature(true, password);
        (void)bSaved;  // a failure is in LastSaveFailed
        return true;
    }
    const int nRunCount = RunCountOf(doc.GetElementData());
    const int nNext = nRunCount == std::numeric_limits<int>::max() ? nRunCount : nRunCount + 1;
    if (!doc.SetElementDataInt(iRunCount, nNext) || !doc.SaveFile(m_strFile, kFileMode)) {
        SetFailure(doc.GetResultText());
    }

    if (strSig.size() > kMaxSignatureText) {
        return false;
    }
    const int nBound = Base64Decode(strSig, nullptr, 0);
    CSecureBuffer decoded(static_cast<std::size_t>(nBound));
    const int nDecoded =
        decoded.size() == static_cast<std::size_t>(nBound) ? Base64Decode(strSig, decoded.data(), nBound) : 0;
    if (nDecoded < static_cast<int>(kSignatureSize) || !decoded.resize(kSignatureSize)) {
        return false;  // too short to be a signature: never compare past the decoded bytes
    }
    bool bOldForm = false;
    if (!Matches(password, decoded, bOldForm)) {
        return false;
    }
    if (bOldForm) {
        // A signature of the fixed-salt form is replaced by a salted one now that the password is known.
        const bool bSaveFailedBefore = m_bSaveFailed;
        const QString strErrorBefore = m_strLastError;
        if (WritePasswordSignature(false, password)) {
            LOGGER::g_HVLog.Log("Pass Config File signature renewed");
        }
        if (bSaveFailedBefore) {
            m_bSaveFailed = true;
            m_strLastError = strErrorBefore;
        }
    }
    return true;
}
