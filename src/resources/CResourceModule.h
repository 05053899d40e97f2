#pragma once

#include "resources/CStringTable.h"

#include <QByteArray>
#include <QReadWriteLock>
#include <QString>

#include <functional>
#include <vector>

enum class HVImageKind
{
    Bitmap,  // ":/bmp/<number>.<type>"
    Icon,    // ":/icon/<number>.<type>"
};

// The resource module: one Qt binary resource file (named by the configuration's ResFile, in the
// program folder) with the numbered string table, the icons and the bitmaps. Start-up loads it
// once; from then on every string, icon and bitmap is looked up here. Three strings (57344 to
// 57346) are compiled into the program so that start-up can report a missing module; the module's
// own text wins for a number it also carries.
//
// Lookups may come from any thread; Load and Unload belong to start-up and shutdown.
class CResourceModule
{
public:
    using MissingStringHandler = std::function<void(unsigned nId)>;

    static CResourceModule& Instance();

    CResourceModule(const CResourceModule&) = delete;
    CResourceModule& operator=(const CResourceModule&) = delete;

    // Registers the resource file and reads its string table. A name without a folder is taken
    // from the program folder, never from the current directory. Returns false when the file is
    // missing, not a resource file, or carries no valid string table; nothing stays registered
    // then. A module loaded before is unloaded first.
    [[nodiscard]] bool Load(const QString& strPath);
    void Unload();
    [[nodiscard]] bool IsLoaded() const;
    // Absolute path of the loaded file; empty when none is loaded.
    [[nodiscard]] QString FilePath() const;

    // The text of a numbered string: the module's, else the compiled-in one. A number found in
    // neither is reported to the missing-string handler and gives an empty string.
    [[nodiscard]] QString String(unsigned nId) const;
    [[nodiscard]] bool HasString(unsigned nId) const;
    // Numbers of the loaded module's table, ascending (compiled-in strings not included).
    [[nodiscard]] std::vector<unsigned> StringIds() const;

    // ":/bmp/4050.svg" and the like for a picture of the loaded module; empty when it has none.
    [[nodiscard]] QString ImagePath(HVImageKind kind, unsigned nId) const;

    // Replaces the handler told about numbers that have no text; returns the previous one. The
    // default logs a warning and, in debug builds, asserts when a module is loaded.
    MissingStringHandler SetMissingStringHandler(MissingStringHandler handler);

    [[nodiscard]] static QString BuiltinString(unsigned nId);
    [[nodiscard]] static bool HasBuiltinString(unsigned nId);
    // File name the build gives the module ("HNVRes.rcc").
    [[nodiscard]] static QString DefaultFileName();
    // Folder of the running program.
    [[nodiscard]] static QString ProgramFolder();
    // An absolute path as it is; a relative one joined to the program folder.
    [[nodiscard]] static QString ResolvePath(const QString& strPath);

    // Resource path of the packed string table inside the module.
    static constexpr const char* kStringTablePath = ":/strings/table";

private:
    CResourceModule();
    ~CResourceModule() = default;

    void ReportMissing(unsigned nId) const;
    void UnloadLocked();

    mutable QReadWriteLock m_lock;
    CStringTable m_table;
    QByteArray m_content;  // the registered file, checked and kept in memory
    QString m_strFilePath;
    MissingStringHandler m_missingHandler;
};
