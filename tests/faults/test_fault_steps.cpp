// A disk that fills up at every step of encrypting, decrypting and wiping (hiding: in
// test_fault_hiding_steps.cpp): each write, sync, creation and rename the engines make is failed
// in turn (and every one after it, as a full disk stays full). Whatever the step, the input stays as it was, nothing
// incomplete remains under a final name, and the next start finds a clean state and completes the work.
#include "engines/CEncryptManager.h"
#include "engines/CWipeManager.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FaultSteps.h"
#include "FaultSupport.h"

using namespace faults;

namespace {

class FaultSteps : public ::testing::TestWithParam<std::size_t>
{
protected:
    void SetUp() override
    {
        if (hvfault_available() == 0) {
            GTEST_SKIP() << "the file-system calls cannot be taken over in a sanitizer build";
        }
        CEncryptManager::SetDefaultKdfCost(kCheapMemKiB, kCheapPasses);
    }
};

// 0 bytes, one chunk, several blocks of the engine's pipeline.
INSTANTIATE_TEST_SUITE_P(Sizes, FaultSteps, ::testing::Values(0u, 1000u, (2u << 20) + 12345u));

TEST_P(FaultSteps, EncryptionAtEveryStep)
{
    const Bytes plain = Pattern(GetParam(), 3);
    long nSteps = 0;
    {
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "a.doc", plain));
        CCheapEngine em;
        nSteps = CountSteps([&] { ASSERT_NE(em.EncryptFileW(dir / "a.doc"), 0) << em.GetLastError(); });
        ASSERT_GE(nSteps, 4) << "temporary file, content, sync, rename, folder sync";
    }
    for (long k = 0; k < nSteps; ++k) {
        SCOPED_TRACE(StepTrace(k));
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "a.doc", plain));
        CCheapEngine em;
        int nOk = 0;
        {
            CArmed armed(k);
            nOk = em.EncryptFileW(dir / "a.doc");
        }
        EXPECT_EQ(nOk, 0) << "a failed step must not be reported as success";
        EXPECT_TRUE(em.GetLastResult() == HVNC_NO_SPACE || em.GetLastResult() == HVNC_IO_ERROR)
            << em.GetLastResult() << " " << em.GetLastError();
        EXPECT_EQ(ReadFile(dir / "a.doc"), plain) << "the source is untouched";
        EXPECT_TRUE(Temps(dir.Path()).empty());
        // Only a failed sync of the folder after the rename may leave the output: complete.
        if (Exists(dir / "a.doc.hvnc")) {
            EXPECT_TRUE(OpensTo(dir / "a.doc.hvnc", plain));
            ASSERT_EQ(::unlink((dir / "a.doc.hvnc").c_str()), 0);
        }
        // The next start does the work.
        CCheapEngine next;
        ASSERT_NE(next.EncryptFileW(dir / "a.doc"), 0) << next.GetLastError();
        EXPECT_TRUE(OpensTo(dir / "a.doc.hvnc", plain));
        EXPECT_EQ(List(dir.Path()).size(), 2u);
    }
}

TEST_P(FaultSteps, DecryptionAtEveryStep)
{
    const Bytes plain = Pattern(GetParam(), 4);
    Bytes enc;
    long nSteps = 0;
    {
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "b.txt", plain));
        CCheapEngine em;
        ASSERT_NE(em.EncryptFileW(dir / "b.txt"), 0);
        enc = ReadFile(dir / "b.txt.hvnc");
        ASSERT_EQ(::unlink((dir / "b.txt").c_str()), 0);
        nSteps = CountSteps([&] { ASSERT_EQ(em.DecryptFileW(dir / "b.txt.hvnc"), HVNC_OK) << em.GetLastError(); });
        ASSERT_GE(nSteps, 4);
    }
    for (long k = 0; k < nSteps; ++k) {
        SCOPED_TRACE(StepTrace(k));
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "b.txt.hvnc", enc));
        CCheapEngine em;
        int nRet = HVNC_OK;
        {
            CArmed armed(k);
            nRet = em.DecryptFileW(dir / "b.txt.hvnc");
        }
        if (nRet == HVNC_OK) {
            // Only the sync after the encrypted file's removal may fail without failing the
            // decryption: the complete output was durable before anything was removed.
            EXPECT_EQ(k, nSteps - 1);
            EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"b.txt"});
            EXPECT_EQ(ReadFile(dir / "b.txt"), plain);
            continue;
        }
        EXPECT_TRUE(nRet == HVNC_NO_SPACE || nRet == HVNC_IO_ERROR) << nRet << " " << em.GetLastError();
        EXPECT_EQ(ReadFile(dir / "b.txt.hvnc"), enc) << "the encrypted file is kept as it was";
        EXPECT_TRUE(Temps(dir.Path()).empty()) << "no plain text left in a temporary file";
        if (Exists(dir / "b.txt")) {
            EXPECT_EQ(ReadFile(dir / "b.txt"), plain) << "a plain file under the final name is complete";
            ASSERT_EQ(::unlink((dir / "b.txt").c_str()), 0);
        }
        CCheapEngine next;
        ASSERT_EQ(next.DecryptFileW(dir / "b.txt.hvnc"), HVNC_OK) << next.GetLastError();
        EXPECT_EQ(ReadFile(dir / "b.txt"), plain);
        EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"b.txt"});
    }
}

// A batch's input in a folder of its own: the plain files, or (decryption) their encrypted twins
// alone, and the engine that made them.
struct SBatch
{
    SBatch(const std::vector<std::size_t>& sizes, bool bEncryptIt)
        : bEncrypt(bEncryptIt)
    {
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            files.push_back(dir / ("m" + std::to_string(i)));
            EXPECT_TRUE(WriteFile(files.back(), Pattern(sizes[i], 60 + static_cast<std::uint32_t>(i))));
        }
        if (!bEncrypt) {
            EXPECT_NE(em.EncryptFilesW(files, results), 0);
            for (auto& f : files) {
                EXPECT_EQ(::unlink(f.c_str()), 0);
                f += ".hvnc";
                encrypted.push_back(ReadFile(f));
            }
        }
    }
    // The batch run; non-zero when every file was done.
    int Run() { return bEncrypt ? em.EncryptFilesW(files, results) : em.DecryptFilesW(files, results); }

    bool bEncrypt;
    CTempDir dir;
    CCheapEngine em;
    std::vector<std::string> files;
    std::vector<Bytes> encrypted;
    std::vector<int> results;
};

// Many files at once share their syncs: a failure at any step of the batch fails exactly the
// files it touched, and whatever is reported as done is complete.
TEST_P(FaultSteps, BatchAtEveryStep)
{
    const std::vector<std::size_t> sizes = {GetParam(), 70000, 1};
    for (const bool bEncrypt : {true, false}) {
        SCOPED_TRACE(bEncrypt ? "encryption" : "decryption");
        long nSteps = 0;
        {
            SBatch batch(sizes, bEncrypt);
            nSteps = CountSteps([&] { ASSERT_NE(batch.Run(), 0); });
        }
        for (long k = 0; k < nSteps; ++k) {
            SCOPED_TRACE(StepTrace(k));
            SBatch batch(sizes, bEncrypt);
            {
                CArmed armed(k);
                batch.Run();
            }
            const std::vector<std::string>& files = batch.files;
            const std::vector<int>& results = batch.results;
            ASSERT_EQ(results.size(), files.size());
            EXPECT_TRUE(Temps(batch.dir.Path()).empty());
            std::vector<std::string> todo;
            for (std::size_t i = 0; i < files.size(); ++i) {
                SCOPED_TRACE(files[i]);
                const Bytes plain = Pattern(sizes[i], 60 + static_cast<std::uint32_t>(i));
                const std::string plainPath = bEncrypt ? files[i] : files[i].substr(0, files[i].size() - 5);
                const std::string encPath = plainPath + ".hvnc";
                if (bEncrypt) {
                    EXPECT_EQ(ReadFile(plainPath), plain) << "the source is untouched";
                } else if (Exists(encPath)) {
                    EXPECT_EQ(ReadFile(encPath), batch.encrypted[i]) << "the encrypted file is kept as it was";
                }
                if (Exists(encPath)) {
                    EXPECT_TRUE(OpensTo(encPath, plain));
                }
                if (!bEncrypt && Exists(plainPath)) {
                    EXPECT_EQ(ReadFile(plainPath), plain) << "a plain file under the final name is complete";
                }
                EXPECT_TRUE(Exists(encPath) || Exists(plainPath)) << "nothing is lost";
                if (results[i] == HVNC_OK) {
                    EXPECT_TRUE(Exists(bEncrypt ? encPath : plainPath)) << "reported done, so it is there";
                } else {
                    EXPECT_TRUE(results[i] == HVNC_NO_SPACE || results[i] == HVNC_IO_ERROR) << results[i];
                }
                if (!Exists(bEncrypt ? encPath : plainPath)) {
                    todo.push_back(files[i]);
                }
            }
            // The next start does what is left.
            CCheapEngine next;
            std::vector<int> again;
            EXPECT_NE(bEncrypt ? next.EncryptFilesW(todo, again) : next.DecryptFilesW(todo, again), 0);
            for (std::size_t i = 0; i < files.size(); ++i) {
                const Bytes plain = Pattern(sizes[i], 60 + static_cast<std::uint32_t>(i));
                const std::string plainPath = bEncrypt ? files[i] : files[i].substr(0, files[i].size() - 5);
                if (bEncrypt) {
                    EXPECT_TRUE(OpensTo(plainPath + ".hvnc", plain));
                } else {
                    EXPECT_EQ(ReadFile(plainPath), plain);
                }
            }
            EXPECT_TRUE(Temps(batch.dir.Path()).empty());
        }
    }
}

// Overwriting in place needs no space, but a failed write or sync must be reported and must not
// end in a removal: the user would believe the file gone for good.
TEST_P(FaultSteps, WipeAtEveryStep)
{
    const Bytes plain = Pattern(GetParam(), 5);
    const Bytes other = Pattern(5000, 6);
    long nSteps = 0;
    {
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "secret.txt", plain));
        CWipeManager wm;
        wm.SetMethod(1);
        // The process's first wipe opens its record in the data folder; the steps counted are those
        // of every later wipe.
        ASSERT_TRUE(WriteFile(dir / "warm-up", plain));
        ASSERT_NE(wm.WipeFile(dir / "warm-up", 0), 0) << wm.GetLastError();
        nSteps = CountSteps([&] { ASSERT_NE(wm.WipeFile(dir / "secret.txt", plain.size()), 0) << wm.GetLastError(); });
        ASSERT_GE(nSteps, 3);
    }
    for (long k = 0; k < nSteps; ++k) {
        SCOPED_TRACE(StepTrace(k));
        CTempDir dir;
        ASSERT_TRUE(WriteFile(dir / "secret.txt", plain));
        ASSERT_TRUE(WriteFile(dir / "other.txt", other));
        ASSERT_EQ(::chmod((dir / "secret.txt").c_str(), 0640), 0);
        CWipeManager wm;
        wm.SetMethod(1);
        int nOk = 0;
        {
            CArmed armed(k);
            nOk = wm.WipeFile(dir / "secret.txt", plain.size());
        }
        EXPECT_EQ(nOk, 0) << "a failed step must not be reported as success";
        EXPECT_FALSE(wm.GetLastError().empty());
        EXPECT_EQ(ReadFile(dir / "other.txt"), other) << "nothing else is touched";
        // The file is still there: under its name (untouched, or partly overwritten when its name
        // could be given back), or set aside under a name of the engine's own for the next start.
        std::string left;
        for (const auto& n : List(dir.Path())) {
            if (n != "other.txt") {
                EXPECT_TRUE(left.empty()) << "one file only: " << n;
                left = n;
            }
        }
        if (!left.empty()) {
            struct stat st = {};
            ASSERT_EQ(::stat((dir / left).c_str(), &st), 0);
            EXPECT_TRUE(left == "secret.txt" || HVIsOwnTemporaryName(left)) << left;
            EXPECT_TRUE(st.st_size == 0 || static_cast<std::size_t>(st.st_size) == plain.size()) << st.st_size;
            if (left == "secret.txt") {
                EXPECT_EQ(st.st_mode & 07777, 0640u) << "the mode is kept";
            }
            // The next start finishes the wipe.
            CWipeManager next;
            EXPECT_NE(next.WipeFile(dir / left, 0), 0) << next.GetLastError();
        }
        EXPECT_EQ(List(dir.Path()), std::vector<std::string>{"other.txt"});
    }
}

}  // namespace
