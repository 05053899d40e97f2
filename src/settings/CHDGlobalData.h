#pragma once

#include "settings/CMRegistryData.h"

#include <QString>

#include <cstdint>
#include <functional>

class CXmlDocument;

// What a password-strength meter shows for one password (the widgets take it as it is).
struct SPasswordStrength
{
    quint32 nBits = 0;  // estimated strength, at most 9999
    int nBarValue = 0;  // position of the meter (range 0 to 128)
    QString strLabel;   // "<bits> bits"
};

// The program's one object of product data and path builders.
//
// Start-up reads the product data from the encrypted configuration file in the program folder
// (LoadAppConfigFile); afterwards the object builds paths in the program folder and in the data
// folders, help-page and web-link addresses, and offers a few desktop operations. The user's
// settings object is a member (m_RegData); its "Module Path" is the program folder.
//
// Desktop hand-overs (opening a help page or a web address, choosing a folder) go through
// replaceable functions, so that this Qt Core library needs no GUI toolkit: the program installs
// its folder chooser, tests install recorders. By default addresses go to the desktop's browser
// through xdg-open and no folder can be chosen.
class CHDGlobalData
{
public:
    // Opens an address (a web link or a file:// URL); true when it was handed over.
    using UrlOpener = std::function<bool(const QString& strAddress)>;
    // Shows a folder chooser with the title; the chosen folder, empty on cancel.
    using FolderChooser = std::function<QString(const QString& strTitle)>;

    CHDGlobalData();
    virtual ~CHDGlobalData();

    CHDGlobalData(const CHDGlobalData&) = delete;
    CHDGlobalData& operator=(const CHDGlobalData&) = delete;

    // Product data, filled from the configuration key of the same name.
    QString ProductName;
    QString ProductMutex;
    QString ResFile;            // file name of the resource module in the program folder
    QString HelpFile;           // folder of the help pages in the program folder
    QString ThemeFileName;      // file name of the theme file (without ".hvnc")
    QString DataProductName;    // product folder under the data folders
    QString DataCompanyName;    // company folder under the data folders
    QString URL_LINKS_MANAGER;  // base address of the web-link service
    QString Online_Server;
    QString Online_URL;
    int Online_Secure = 0;
    QString Update_Online_Server;
    QString Update_Online_URL;
    int Update_Online_Secure = 0;
    int LinkSourceID = 0;  // source identifier sent with every web link

    CMRegistryData m_RegData;       // the user's settings
    QString m_strUserDataFolder;    // set by CreateUserDataFolder
    QString m_strCommonDataFolder;  // set by CreateCommonDataFolder

    static constexpr const char* kConfigFileName = "Config_norvane.xml";
    static constexpr const char* kEncryptedSuffix = ".hvnc";
    static constexpr const char* kHelpStartPage = "index.htm";

    // Reads the configuration file. 1 when its text was obtained and is a well-formed document
    // (a document without Config/AppConfig still gives 1, every field at its default), else 0
    // with the log line "Failed to load gconfig file".
    [[nodiscard]] int LoadAppConfigFile();
    // The decrypted text of MAKEFILE(strFileName) + ".hvnc", decrypted in memory only; empty on
    // any failure (a missing file logs "Failed to find Config file:" and the path).
    [[nodiscard]] QString MakeConfigFileEx(const QString& strFileName) const;
    // The program folder, "/" and the name; the file need not exist.
    [[nodiscard]] QString MAKEFILE(const QString& strFileName) const;

    // Readers of the first child element strKey of the document's current element (with
    // bResetChildPosition the search starts at the first child, else after the current child).
    // Each returns 1 and writes the target only when the element is there and its text is
    // usable; otherwise 0 and the target unchanged.
    // Text: not empty.
    static int XML_TO_STRING(CXmlDocument& doc, const QString& strKey, QString& strOut, bool bResetChildPosition);
    // "TRUE" (1) or "FALSE" (0), in any case.
    static int XML_TO_BOOL(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition);
    // A decimal integer that fits in 32 bits (blanks around it allowed).
    static int XML_TO_INT(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition);
    // As XML_TO_INT, or hexadecimal after "0x"/"0X" (up to 0xFFFFFFFF, kept as the same bits).
    static int XML_TO_HEX(CXmlDocument& doc, const QString& strKey, int& nOut, bool bResetChildPosition);

    [[nodiscard]] QString GetResourceFile() const { return ResFile; }

    // The file:// address of a help page: the page strTopic of the help folder
    // MAKEFILE(HelpFile), or its start page for an empty topic. Empty when the topic is not a
    // plain page name (a '/' or a leading '.') or no help folder is configured.
    [[nodiscard]] QString HelpTopicAddress(const QString& strTopic) const;
    // Opens that page in the browser; false when there is no such page or it was not handed over.
    bool ShowHelpTopic(const QString& strTopic) const;

    // "<URL_LINKS_MANAGER>?linkid=<id>&SrcID=<LinkSourceID>[&<extra>]"; empty when no link
    // service is configured.
    [[nodiscard]] QString WebLinkAddress(int nLinkId, const QString& strExtraQuery = QString()) const;
    bool OpenWebLink(int nLinkId, const QString& strExtraQuery = QString()) const;

    // Shows the folder that holds strPath (the nearest folder above it that still exists) in the
    // desktop's file manager, through the address opener; never the item itself. False when
    // nothing was handed over.
    bool OpenContainingFolder(const QString& strPath) const;

    void SetUrlOpener(UrlOpener opener);
    void SetFolderChooser(FolderChooser chooser);
    // The installed hand-overs, so that the program can tell its own from a test's.
    [[nodiscard]] const FolderChooser& GetFolderChooser() const { return m_folderChooser; }
    // The built-in opener: the desktop's browser (xdg-open).
    static bool OpenWithBrowser(const QString& strAddress);
    // True while addresses go to the desktop's browser (the built-in opener).
    [[nodiscard]] bool UsesDesktopUrlOpener() const;

    // <data folder>/<DataCompanyName>/<DataProductName>/<strSubFolder> (empty parts left out),
    // nothing created; empty when the special folder is not available.
    [[nodiscard]] static QString DataFolderName(int nSpecialFolder,
                                                const QString& strCompany,
                                                const QString& strProduct,
                                                const QString& strSubFolder);
    // <data folder>/<DataCompanyName>/<DataProductName>/<strSubFolder>, created when missing and
    // stored whether or not it could be made. Left empty (nothing created) when the data folder
    // itself is not available, so that nothing is ever made at the filesystem's root.
    void CreateUserDataFolder(const QString& strSubFolder);
    void CreateCommonDataFolder(const QString& strSubFolder);

    // The folder chooser with strTitle, or string 127 when the title is empty.
    [[nodiscard]] QString BrowseForFolder(const QString& strTitle = QString()) const;

    // Size of a file (links followed); 0 for a folder or a path that is not found.
    [[nodiscard]] static std::uint64_t GetFileSize64(const QString& strPath);

    // Called after items were hidden in or shown again in strPath. The desktop's file managers
    // watch the folders they show (inotify) and see the hiding engine's renames by themselves,
    // and freedesktop defines no "folder changed" notice, so nothing is sent; in particular
    // the folder's times are left alone.
    void RefreshFolderView(const QString& strPath) const;

    // The meter's values for a password (the widget half sets bar and label from them).
    [[nodiscard]] static SPasswordStrength PasswordStrength(const QString& strPassword);

private:
    [[nodiscard]] static QString DataFolderPath(int nSpecialFolder,
                                                const QString& strCompany,
                                                const QString& strProduct,
                                                const QString& strSubFolder);

    UrlOpener m_urlOpener;
    FolderChooser m_folderChooser;
};

// The program's one global data object.
extern CHDGlobalData g_HDGlobalData;
