#include "spreadsheet/xlsx_list.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One part of the workbook's zip, as text.
QString part(const QString &workbook, const QString &name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, name});
    unzip.waitForFinished(30000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

} // namespace

TEST(XlsxList, WritesEveryRowWithItsHeaderAndLeavesNothingOnFailure)
{
    QTemporaryDir dir;
    sheet::ListSheet list{QStringLiteral("方剂"),
                          {QStringLiteral("方剂名称"), QStringLiteral("方剂组成")},
                          {14, 40},
                          {{QStringLiteral("桂枝汤"), QStringLiteral("桂枝9g、芍药9g")},
                           {QStringLiteral("小柴胡汤"), QStringLiteral("柴胡24g\x01、黄芩9g")}}};
    const QString path = dir.filePath(QStringLiteral("方剂.xlsx"));
    ASSERT_EQ(sheet::writeXlsx(list, path), sheet::WriteResult::Written);
    const QString strings = part(path, QStringLiteral("xl/sharedStrings.xml"));
    for (const char *text : {"方剂名称", "桂枝汤", "小柴胡汤", "柴胡24g、黄芩9g"})
        EXPECT_TRUE(strings.contains(QString::fromUtf8(text))) << text;
    const QString page = part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(page.contains(QStringLiteral("ySplit=\"1\""))) << "the header stays in view";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no scratch file left";

    // A folder in the file's place stays as it was; so does a list with a text no cell holds.
    const QString taken = dir.filePath(QStringLiteral("taken.xlsx"));
    ASSERT_TRUE(QDir().mkdir(taken));
    EXPECT_EQ(sheet::writeXlsx(list, taken), sheet::WriteResult::CannotWrite);
    EXPECT_TRUE(QFileInfo(taken).isDir());
    list.rows[0][1] = QString(sheet::kMaxCellText + 1, QChar(0x836F));
    EXPECT_EQ(sheet::writeXlsx(list, path), sheet::WriteResult::TextTooLong);
    EXPECT_TRUE(part(path, QStringLiteral("xl/sharedStrings.xml")).contains(QStringLiteral("桂枝汤")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
