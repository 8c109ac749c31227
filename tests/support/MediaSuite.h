#pragma once

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A test suite whose sources are made once, in a folder of its own (SetUpTestSuite of the suite fills
// dir_ and sets ok_), and whose every test writes into a fresh output folder.
template <typename Suite> class MediaSuite : public ::testing::Test
{
protected:
    static void TearDownTestSuite() { dir_.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(ok_) << "test media could not be made";
        ASSERT_TRUE(out_.isValid());
    }

    static QString Source(const QString& name) { return dir_->filePath(name); }
    QString Out(const QString& name) const { return out_.filePath(name); }
    // Every file the test left in its output folder, hidden ones included.
    QStringList OutputFolder() const { return QDir(out_.path()).entryList(QDir::Files | QDir::Hidden); }

    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline bool ok_ = false;
    QTemporaryDir out_;
};
