// Recognising media where overwriting in place may not reach the old blocks, and a wipe seen
// from below the filesystem.

#include "engines/CWipeManager.h"
#include "engines/HVMediumInfo.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <utility>

#include "WipeTestSupport.h"

using namespace wipetest;

namespace {

// A small sysfs tree: an SSD with a partition, a disk with a partition, a device-mapper device on
// the SSD's partition, a loop device whose backing file is on tmpfs.
class FakeSysfs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.IsValid());
        const std::string r = m_root.Path();
        const std::pair<const char*, const char*> files[] = {
            {"devices/pci/block/nvme0n1/queue/rotational", "0\n"},
            {"devices/pci/block/nvme0n1/nvme0n1p2/partition", "2\n"},
            {"devices/pci/block/sda/queue/rotational", "1\n"},
            {"devices/pci/block/sda/sda1/partition", "1\n"},
            {"devices/virtual/block/dm-0/queue/rotational", "1\n"},
            {"devices/virtual/block/loop3/queue/rotational", "1\n"},
            {"devices/virtual/block/loop3/loop/backing_file", "/dev/shm\n"},
        };
        for (const auto& [pszPath, pszText] : files) {
            std::filesystem::create_directories(std::filesystem::path(r + "/" + pszPath).parent_path());
            ASSERT_TRUE(hvtest::WriteText(r + "/" + pszPath, pszText)) << pszPath;
        }
        const std::pair<const char*, const char*> links[] = {
            {"devices/virtual/block/dm-0/slaves/nvme0n1p2", "../../../../pci/block/nvme0n1/nvme0n1p2"},
            {"dev/block/259:2", "../../devices/pci/block/nvme0n1/nvme0n1p2"},
            {"dev/block/8:1", "../../devices/pci/block/sda/sda1"},
            {"dev/block/253:0", "../../devices/virtual/block/dm-0"},
            {"dev/block/7:3", "../../devices/virtual/block/loop3"},
        };
        for (const auto& [pszPath, pszTarget] : links) {
            std::filesystem::create_directories(std::filesystem::path(r + "/" + pszPath).parent_path());
            ASSERT_EQ(::symlink(pszTarget, (r + "/" + pszPath).c_str()), 0) << pszPath;
        }
    }
    CTempDir m_root;
};

}  // namespace

TEST(WipeMedium, FilesystemTypes)
{
    EXPECT_NE(HVWeakFilesystem(0x9123683EU).find("btrfs"), std::string::npos);
    EXPECT_NE(HVWeakFilesystem(0x01021994U).find("tmpfs"), std::string::npos);
    EXPECT_NE(HVWeakFilesystem(0x6969U).find("network"), std::string::npos);
    EXPECT_NE(HVWeakFilesystem(0x794C7630U).find("overlay"), std::string::npos);
    EXPECT_NE(HVWeakFilesystem(0xFFFFFFFFF2F52010ULL).find("f2fs"), std::string::npos);  // sign-extended f_type
    EXPECT_TRUE(HVWeakFilesystem(0xEF53U).empty());                                      // ext4
    EXPECT_TRUE(HVWeakFilesystem(0x58465342U).empty());                                  // xfs
}

TEST_F(FakeSysfs, PartitionIsJudgedByItsDisk)
{
    const HVMediumInfo ssd = HVProbeBlockDevice(m_root.Path(), 259, 2);
    EXPECT_TRUE(ssd.bWeak);
    EXPECT_NE(ssd.strReason.find("nvme0n1"), std::string::npos) << ssd.strReason;
    const HVMediumInfo disk = HVProbeBlockDevice(m_root.Path(), 8, 1);
    EXPECT_FALSE(disk.bWeak) << disk.strReason;
    EXPECT_TRUE(disk.strReason.empty());
}

TEST_F(FakeSysfs, StackedAndLoopDevicesFollowTheirParts)
{
    const HVMediumInfo dm = HVProbeBlockDevice(m_root.Path(), 253, 0);
    EXPECT_TRUE(dm.bWeak);
    EXPECT_NE(dm.strReason.find("dm-0"), std::string::npos) << dm.strReason;
    const HVMediumInfo loop = HVProbeBlockDevice(m_root.Path(), 7, 3);
    EXPECT_TRUE(loop.bWeak);
    EXPECT_NE(loop.strReason.find("tmpfs"), std::string::npos) << loop.strReason;
    EXPECT_FALSE(HVProbeBlockDevice(m_root.Path(), 1, 99).bWeak);  // unknown device: nothing claimed
}

TEST(WipeMedium, TmpfsIsReportedWeakAndStillWiped)
{
    CTempDir dir("/dev/shm");
    ASSERT_TRUE(dir.IsValid());
    ASSERT_TRUE(WriteFile(dir / "f", MakeContent(100)));
    CWipeManager wipe;
    ASSERT_NE(wipe.WipeFile(dir / "f", 100), 0) << wipe.GetLastError();
    EXPECT_TRUE(wipe.WasWeakMedium());
    EXPECT_NE(wipe.GetWeakMediumReason().find("tmpfs"), std::string::npos) << wipe.GetWeakMediumReason();
    EXPECT_FALSE(Exists(dir / "f"));
}

// On a small ext4 image: the marker is in the raw image before the wipe and gone after it.
// The image lives on tmpfs, so the loop device is reported as weak on the way.
TEST(WipeMedium, LoopImageLosesTheOldContent)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "a loop mount needs root";
    }
    CTempDir work("/dev/shm");
    ASSERT_TRUE(work.IsValid());
    const std::string strImage = work / "disk.img";
    const std::string strMount = work / "mnt";
    ASSERT_TRUE(std::filesystem::create_directory(strMount));
    const std::string strQuiet = " >/dev/null 2>&1";
    if (std::system(("truncate -s 16M '" + strImage + "' && mkfs.ext4 -q -F '" + strImage + "'" + strQuiet).c_str())
        != 0) {
        GTEST_SKIP() << "mkfs.ext4 is not available";
    }
    const std::string strMountCmd = "mount -o loop '" + strImage + "' '" + strMount + "'" + strQuiet;
    const std::string strUmountCmd = "umount '" + strMount + "'" + strQuiet;
    if (std::system(strMountCmd.c_str()) != 0) {
        GTEST_SKIP() << "this machine does not allow a loop mount";
    }
    struct SUnmountAtEnd
    {
        std::string strMount;
        ~SUnmountAtEnd()
        {
            [[maybe_unused]] const int nRc = std::system(("umount '" + strMount + "' >/dev/null 2>&1").c_str());
        }
    } unmountAtEnd{strMount};  // an early return must not leave the image mounted
    const std::string strMarker = "HV-WIPE-MARKER-7f3a9c-";
    std::string strText;
    while (strText.size() < 3 * kChunk + 5) {
        strText += strMarker + std::to_string(strText.size()) + "\n";
    }
    const std::string strFile = strMount + "/secret.txt";
    ASSERT_TRUE(hvtest::WriteText(strFile, strText));
    ASSERT_EQ(std::system(strUmountCmd.c_str()), 0);
    auto imageHasMarker = [&] {
        const std::vector<std::uint8_t> raw = ReadFile(strImage);
        return std::search(raw.begin(), raw.end(), strMarker.begin(), strMarker.end()) != raw.end();
    };
    ASSERT_TRUE(imageHasMarker());

    ASSERT_EQ(std::system(strMountCmd.c_str()), 0);
    CWipeManager wipe;
    const int nResult = wipe.WipeFile(strFile, strText.size());
    const bool bWeak = wipe.WasWeakMedium();
    const std::string strReason = wipe.GetWeakMediumReason();
    const bool bGone = !Exists(strFile) && List(strMount) == std::vector<std::string>{"lost+found"};
    ASSERT_EQ(std::system(strUmountCmd.c_str()), 0);
    ASSERT_NE(nResult, 0) << wipe.GetLastError();
    EXPECT_TRUE(bGone);
    EXPECT_FALSE(imageHasMarker());
    EXPECT_TRUE(bWeak);
    EXPECT_NE(strReason.find("loop"), std::string::npos) << strReason;
}
