#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TempHome.h"

// A fresh temporary folder per test, removed afterwards.
class GlobalTempTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString Path(const QString& rel) const { return m_dir.path() + QLatin1Char('/') + rel; }

    // Creates a file (and its folders) with the given bytes.
    QString Touch(const QString& rel, const QByteArray& bytes = "x") const
    {
        EXPECT_TRUE(hvtest::WriteFile(Path(rel), bytes)) << rel.toStdString();
        return Path(rel);
    }
    static QByteArray ReadAll(const QString& path) { return hvtest::ReadFile(path); }

    QTemporaryDir m_dir;
};
