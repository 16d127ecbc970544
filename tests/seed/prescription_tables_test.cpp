#include "datastore/errors.h"
#include "prescription/shipped_tables.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QSet<QString> kShipped{"甲", "乙", "丙"};

QString refusal(const std::function<void()> &read)
{
    try {
        read();
    } catch (const ds::RunError &error) {
        return error.description();
    }
    return {};
}

TEST(PrescriptionTables, ABadLineIsRefusedNamingFileAndLine)
{
    const auto pairs = [](const QString &text) { return [=] { rx::parseIncompatibilities(text, "t", &kShipped); }; };
    const auto pregnancy = [](const QString &text) { return [=] { rx::parsePregnancyTable(text, "t", &kShipped); }; };
    const auto compounds = [](const QString &text) { return [=] { rx::parseCompoundNames(text, "t", &kShipped); }; };
    const std::pair<std::function<void()>, QString> cases[] = {
        {pairs("# 注\n十八反\t甲\t乙\r\n十九畏\t乙、丙\t甲\n"), "t:3: 乙 × 甲 again, first at line 2"},
        {pairs("十八反\t甲\t甲、乙"), "t:1: 甲 in both groups"},
        {pairs("十八反\t甲\t丁"), "t:1: 丁 is not a shipped herb"},
        {pairs("十八反\t甲\t乙 "), "t:1: \"乙 \" holds a space"},
        {pairs("相反\t甲\t乙"), "t:1: \"相反\" is neither"},
        {pairs("十九畏\t甲、乙"), "t:1: 十九畏 needs 3 columns"},
        {pairs("古方\t某汤\t甲\t丙\n十八反\t甲\t乙"), "t:1: 甲 × 丙 is no incompatible pair"},
        {pregnancy("甲\t禁用\n\n甲\t慎用"), "t:3: 甲 again, first at line 1"},
        {pregnancy("甲\t忌用"), "t:1: \"忌用\" is neither"},
        {pregnancy("甲、乙\t慎用"), "t:1: one herb a line"},
        {compounds("二甲\t甲"), "t:1: a compound name needs two herbs"},
        {compounds("甲乙\t甲、乙\t焦甲"), "t:1: 2 herbs but 1 written forms"},
        {compounds("甲乙\t甲、乙\n乙甲、甲乙\t乙、甲"), "t:2: 甲乙 again, first at line 1"},
        {compounds("甲\t甲、乙"), "t:1: 甲 is the name of a shipped herb"},
    };
    for (const auto &[read, message] : cases)
        EXPECT_TRUE(refusal(read).startsWith(message)) << refusal(read).toStdString();
}

} // namespace
