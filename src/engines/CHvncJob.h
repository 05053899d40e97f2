#pragma once

#include "engines/CHvncCommit.h"
#include "engines/HVFileRef.h"

#include <string>
#include <sys/stat.h>

// One file of a run: the file to read (src.nDirFd is srcDir's descriptor) and where its output goes.
struct SHvncJob
{
    SHVFileRef src;
    SHvncDir srcDir;
    bool bFollow = false;  // a path given by a caller: a link to a regular file is followed
    SHvncDir destDir;
    std::string strDestName;  // "": the default name
};

// A job's source as opened: what the descriptor holds (st) and what the name itself is (named: the
// link, when one was followed).
struct SHvncSource
{
    HvncIo::CFd fd;
    struct stat st
    {
    };
    struct stat named
    {
    };
};

// The file-system steps of one job of the encryption engine: opening its source, checking it
// afterwards, naming and creating its output.
namespace HvncJob {

// Opens a job's source: only a regular file, a link only when the job follows links (a path given
// by a caller), and, where the caller asks, only the file it listed, unchanged. named gets what the
// name itself is (the link, when one was followed).
[[nodiscard]] SHvncResult OpenSource(const SHvncJob& job, SHvncSource& src);

// The source as it is now against what was read (Changed when it changed or was replaced).
[[nodiscard]] SHvncResult SourceUnchanged(const SHvncJob& job, int fd, const struct stat& before);

// The plain name of an encrypted file's name: without ".hvnc" (any case), else the name itself.
[[nodiscard]] std::string PlainNameOf(const std::string& strName);

// Creates the temporary output for strFinal in the job's destination folder.
[[nodiscard]] SHvncResult CreateOutput(const SHvncJob& job, const std::string& strFinal, SHvncPending& pending);

}  // namespace HvncJob
