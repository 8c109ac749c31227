// Every input the fuzz targets keep, replayed through the same checks in the normal build: the seed corpus
// from real output, and every input that once crashed a target or broke a property.
#include "FuzzChecks.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString FuzzDir = QStringLiteral(REELPOCKET_SOURCE_DIR "/fuzz");

QStringList FilesIn(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

void PrintTo(const FuzzCheck& check, std::ostream* out)
{
    *out << check.name;
}

namespace {

class FuzzInputs : public testing::TestWithParam<FuzzCheck>
{
};

} // namespace

TEST_P(FuzzInputs, KeepEveryProperty)
{
    const FuzzCheck check = GetParam();
    const QString name = QString::fromLatin1(check.name);
    const QStringList seeds = FilesIn(FuzzDir + QStringLiteral("/corpus/") + name);
    // A target without seeds would pass here while checking nothing.
    ASSERT_FALSE(seeds.isEmpty()) << "no seed corpus for " << check.name;
    // A target's regressions folder appears with its first finding.
    const QStringList regressions = FilesIn(FuzzDir + QStringLiteral("/regressions/") + name);
    for (const QString& path : seeds + regressions)
        EXPECT_EQ(check.check(ReadBytes(path)), std::string()) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, testing::ValuesIn(FuzzChecks()),
                         [](const testing::TestParamInfo<FuzzCheck>& info) { return std::string(info.param.name); });
