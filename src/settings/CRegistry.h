#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class QSettings;

// Roots of the settings store, named after the registry hives they stand for.
enum class HVRegRoot
{
    ClassesRoot,   // no store here: file types are registered the freedesktop way
    CurrentUser,   // per-user INI files under $XDG_CONFIG_HOME
    LocalMachine,  // read-only system-wide INI files under /etc/xdg
};

// Access rights, with the registry's values.
inline constexpr std::uint32_t HV_KEY_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t HV_KEY_READ = 0x20019;

// The settings-store wrapper: registry-style keys and named values over QSettings INI files.
//
// Key paths map onto files and groups:
//   CurrentUser  "SOFTWARE\<Org>\<App>\<Rest>"  ->  $XDG_CONFIG_HOME/<Org>/<App>.conf, group <Rest>
//   LocalMachine "SOFTWARE\<Org>\<App>\<Rest>"  ->  /etc/xdg/<Org>/<App>.conf, group <Rest>
//   LocalMachine "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\HalvoNorvane.exe"
//                                               ->  /etc/xdg/Halvo-Soft/HalvoNorvane.conf, group "App Paths"
// with "\" inside <Rest> becoming "/" (nested groups). LocalMachine files are never written.
// A key exists when its group holds at least one value (INI has no empty groups).
//
// Values: numbers are written as decimal text, strings as text, byte buffers as QSettings'
// @ByteArray(...). The empty name is the key's default value, stored under the name "@".
// Group and value names are written in QSettings' escaped form ("Module%20Path"); any reader
// of these files outside QSettings must undo that %XX escaping.
//
// Values written through an open key reach the disk when the key is closed (Close, or the
// destructor): QSettings takes a lock file, merges with what another process wrote meanwhile,
// writes a temporary file, syncs it and renames it over the old one, so readers in other
// processes see either the old or the new file, never a partial one.
class CRegistry
{
public:
    explicit CRegistry(HVRegRoot defaultRoot = HVRegRoot::LocalMachine);
    ~CRegistry();

    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Non-zero when the key exists and can be opened with that access (full access also needs
    // the file and its folder to be writable).
    [[nodiscard]] int VerifyKey(HVRegRoot root, const QString& strPath, std::uint32_t nAccess = HV_KEY_READ) const;
    [[nodiscard]] int VerifyKey(const QString& strPath, std::uint32_t nAccess = HV_KEY_READ) const;
    // Opens an existing key (closing what was open before).
    [[nodiscard]] int Open(HVRegRoot root, const QString& strPath, std::uint32_t nAccess = HV_KEY_ALL_ACCESS);
    // Makes sure a key can hold values (its folder exists and is writable) and opens it with
    // full access. Fails for the read-only roots.
    [[nodiscard]] int CreateKey(HVRegRoot root, const QString& strPath);
    // Writes pending values to the disk and closes the key; false when they did not reach it.
    bool Close();
    [[nodiscard]] bool IsOpen() const { return m_settings != nullptr; }

    // Non-zero when the value exists and has the asked kind. Numbers are 32-bit: a value
    // written signed reads back unsigned as the same 32 bits and the other way round.
    [[nodiscard]] int Read(const QString& strName, int& nValue) const;
    [[nodiscard]] int Read(const QString& strName, std::uint32_t& nValue) const;
    [[nodiscard]] int Read(const QString& strName, QString& strValue) const;
    [[nodiscard]] int Read(const QString& strName, QByteArray& value) const;
    // Byte buffer of nLen bytes; nLen becomes the value's size. Fails (and reads nothing) when
    // the buffer is too small.
    [[nodiscard]] int Read(const QString& strName, void* pBuffer, std::uint32_t& nLen) const;

    int Write(const QString& strName, int nValue);
    int Write(const QString& strName, std::uint32_t nValue);
    int Write(const QString& strName, const QString& strValue);
    int Write(const QString& strName, const QByteArray& value);
    int Write(const QString& strName, const void* pBuffer, std::uint32_t nLen);
    // A narrow string in the locale's encoding (UTF-8 on our desktops).
    int Write(const QString& strName, const char* pszValue);
    int Write(const QString& strName, const std::string& strValue) { return Write(strName, strValue.c_str()); }

    // Removes a value; non-zero when it existed.
    int DeleteValue(const QString& strName);

    // Where a key lives; bValid false for paths without a mapping.
    struct CLocation
    {
        bool bValid = false;
        bool bReadOnly = false;
        QString strFile;
        QString strGroup;
    };
    [[nodiscard]] static CLocation Locate(HVRegRoot root, const QString& strPath);

private:
    [[nodiscard]] bool CanWrite(const CLocation& location) const;
    [[nodiscard]] static QString ValueKey(const QString& strName);
    [[nodiscard]] bool HasValue(const QString& strName) const;

    HVRegRoot m_defaultRoot;
    std::unique_ptr<QSettings> m_settings;
    bool m_bWritable = false;
};
