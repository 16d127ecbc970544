#include "datastore/errors.h"
#include "tools/seedgen/herb_rows.h"

#include <gtest/gtest.h>

namespace {

const QString kGood = QStringLiteral("甲。\t归肝经。\t苦，寒。\t清热。\t发热。\t煎服，3～9克。\t \t甲\\n乙。\n");

QString refusal(const QString &text)
{
    QList<QStringList> rows;
    QHash<QString, QString> seenAt;
    try {
        seed::appendHerbRows(QStringLiteral("a.tsv"), text, rows, seenAt);
    } catch (const ds::RunError &error) {
        return error.description();
    }
    return {};
}

TEST(HerbRows, ReadsStoredRowsAcrossFilesAndTurnsEscapesIntoLineBreaks)
{
    QList<QStringList> rows;
    QHash<QString, QString> seenAt;
    seed::appendHerbRows("a.tsv", "# 名称\t归经\n\n" + kGood, rows, seenAt);
    seed::appendHerbRows("b.tsv", QString(kGood).replace("甲。\t", "乙。\t"), rows, seenAt);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][7], "甲\r\n乙。");
    EXPECT_EQ(rows[1][0], "乙。");
    EXPECT_TRUE(refusal("").isEmpty());
}

TEST(HerbRows, ABadRowIsRefusedNamingFileAndLine)
{
    const std::pair<QString, QString> cases[] = {
        {"\n" + QString(kGood).replace("\t \t", "\t"), "a.tsv:2: 7 columns"},
        {QString(kGood).replace("苦，寒。", "苦,寒。"), "a.tsv:1: 性味"},
        {QString(kGood).replace("发热。", "发热"), "a.tsv:1: 主治"},
        {QString(kGood).replace("\t \t", "\t\t"), "a.tsv:1: 宜忌"},
        {QString(kGood).replace("甲。\t", "甲 。\t"), "a.tsv:1: 名称"},
        {kGood + "# 又一味\n" + kGood, "a.tsv:3: duplicate name 甲。, first at a.tsv:1"},
    };
    for (const auto &[text, message] : cases)
        EXPECT_TRUE(refusal(text).startsWith(message)) << refusal(text).toStdString();
}

} // namespace
