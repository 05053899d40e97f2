// The master password through a whole terminal start, in this process: read from its file, set
// as the new master password, checked, handed to the runner and the engine, a file encrypted
// under it. Afterwards no copy of it, as UTF-8 or as UTF-16, is in memory a core dump holds.
#include "app/CTerminalFrontEnd.h"

#include <QFileInfo>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sodium.h>
#include <unistd.h>

#include "../app/AppTestSupport.h"
#include "DumpScan.h"
#include "FaultProcess.h"

namespace {

// A password made here in secure memory, so that no literal of this program holds it.
CSecureBuffer RandomPassword()
{
    CSecureBuffer utf8(20);
    randombytes_buf(utf8.data(), utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        utf8.data()[i] = static_cast<std::uint8_t>('a' + utf8.data()[i] % 26);
    }
    return utf8;
}

CSecureBuffer Utf16Of(const CSecureBuffer& ascii)
{
    CSecureBuffer utf16(ascii.size() * 2);
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        utf16.data()[2 * i] = ascii.data()[i];
    }
    return utf16;
}

TEST(SecretsInMemory, MasterPasswordLeavesNoCopyAfterATerminalRun)
{
    if (faults::SanitizerBuild()) {
        GTEST_SKIP() << "the address sanitizer's terabytes of mappings are no process image to scan";
    }
    apptest::CTempHome home;
    const CSecureBuffer password = RandomPassword();
    const CSecureBuffer utf16 = Utf16Of(password);
    const QString strPasswordFile = home.Path() + QStringLiteral("/master.txt");
    {
        const int fd = ::open(QFile::encodeName(strPasswordFile).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, password.data(), password.size()), static_cast<ssize_t>(password.size()));
        ::close(fd);
    }
    const QString strPlain = home.Path() + QStringLiteral("/letter.txt");
    {
        QFile plain(strPlain);
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write(QByteArray(70000, 'x'));
    }

    STerminalOptions options;
    ASSERT_TRUE(STerminalOptions::Parse({QStringLiteral("--master-password-file"),
                                         strPasswordFile,
                                         QStringLiteral("-e"),
                                         QStringLiteral("-fp"),
                                         strPlain},
                                        options));
    {
        CTerminalFrontEnd frontEnd(options);
        CHalvoDataSecurityApp app(frontEnd);
        app.SetSteps(apptest::TestSteps(1));
        app.SetArguments(options.lstTask);
        (void)app.Run();
        EXPECT_EQ(frontEnd.ExitStatus(app), CTerminalFrontEnd::StatusOk) << CTerminalFrontEnd::EndName(app.m_eEnd);
    }
    ASSERT_TRUE(QFileInfo::exists(strPlain + QStringLiteral(".hvnc"))) << "the run encrypted the file";

    EXPECT_EQ(faults::InDumpableMemory(password), "") << "the master password (UTF-8) is in memory a core dump holds";
    EXPECT_EQ(faults::InDumpableMemory(utf16), "") << "the master password (UTF-16) is in memory a core dump holds";
}

}  // namespace
