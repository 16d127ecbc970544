#include "datastore/errors.h"
#include "formulas/composition.h"
#include "formulas/herb_names.h"
#include "herbs/normalize_field_text.h"
#include "tools/seedgen/formula_rows.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// An ingredient as "name amount+unit(note)", the unread parts as "?text@position".
QString described(const formulas::Composition &read)
{
    QStringList parts;
    for (const formulas::Ingredient &item : read.ingredients)
        parts.append(item.name + (item.amountText.isEmpty() ? "" : " " + item.amountText + item.unit)
                     + (item.note.isEmpty() ? "" : "(" + item.note + ")"));
    for (const formulas::UnreadFragment &fragment : read.unread)
        parts.append(QStringLiteral("?%1@%2").arg(fragment.text).arg(fragment.position));
    return parts.join("、");
}

TEST(Composition, ReadsTheStoredFormAndWhatDoctorsType)
{
    const std::pair<const char *, const char *> forms[] = {
        {"桂枝9g、芍药9g、炙甘草6g、生姜9g、大枣3枚。", "桂枝 9g、芍药 9g、炙甘草 6g、生姜 9g、大枣 3枚"},
        {"石膏50g（先煎）、蜂蜜适量、麝香少许（冲服）", "石膏 50g(先煎)、蜂蜜 适量、麝香 少许(冲服)"},
        {"柴胡12g，黄芩9g;法夏9g\n半夏6克；人参,", "柴胡 12g、黄芩 9g、法夏 9g、半夏 6g、人参"},
        {"云苓15 川军6 甘草6 甘遂1.5", "云苓 15、川军 6、甘草 6、甘遂 1.5"},
        {"甘遂１．５ｇ　附子10G(先煎) 竹沥30ml", "甘遂 1.5g、附子 10g(先煎)、竹沥 30毫升"},
        {"生姜3片、乌梅1个、蜈蚣2条、葱白4茎、鸡子黄2只、胡椒7粒、桂枝1寸", "生姜 3片、乌梅 1个、蜈蚣 2条、葱白 4茎、鸡子黄 2只、胡椒 7粒、桂枝 1寸"},
        {"石膏30先煎 大黄6 后下 阿胶10g烊化 人参(另煎) 三七3g 研末冲服 甘草（炙）6g", "石膏 30(先煎)、大黄 6(后下)、阿胶 10g(烊化)、人参(另煎)、三七 3g(研末冲服)、甘草 6g(炙)"},
        {"柴胡12g、荆芥、防风各6g、甘草3g", "柴胡 12g、荆芥 6g、防风 6g、甘草 3g"},
        {"荆芥 防风 各6 薄荷", "荆芥 6、防风 6、薄荷"},
        {"云苓 15g 川军 6 g 龙骨30（打碎，先煎）", "云苓 15g、川军 6g、龙骨 30(打碎，先煎)"},
        // Nothing is dropped: a range, an unknown unit, an open bracket, a note or dose with no
        // item to take it; the items around them still read.
        {"柴胡12-15g、黄芩9g、人参（去芦、甘草6钱", "黄芩 9g、?柴胡12-15g@0、?人参（去芦@14、?甘草6钱@20"},
        {"先煎 石膏30（先煎） 后下 15g", "石膏 30(先煎)、?先煎@0、?后下@12、?15g@15"},
    };
    for (const auto &[text, expected] : forms)
        EXPECT_EQ(described(formulas::parseComposition(text)).toStdString(), expected);

    const formulas::Composition read = formulas::parseComposition("黄芩9g 云苓 15g（包煎）、芍药");
    ASSERT_EQ(read.ingredients.size(), 3);
    EXPECT_EQ(std::pair(read.ingredients[1].position, read.ingredients[1].length), std::pair(qsizetype(5), qsizetype(10)));
    EXPECT_EQ(read.ingredients[2].position, 16);
    EXPECT_DOUBLE_EQ(formulas::parseComposition("甘遂１．５").ingredients[0].amount, 1.5);
}

// Over texts built at random from the pieces doctors type: every character is an ingredient's, an
// unread fragment's or a separator, and the stored form reads back as the same ingredients.
TEST(Composition, NothingIsDroppedAndTheStoredFormReadsBack)
{
    const QStringList pieces{"柴胡", "云苓", "各", "12", "1.5", "１．５", "g", "克", "枚", "（先煎）", "(后下", "(", "ml", "（打碎，先煎）",
                             ")", "先煎", "适量", "、", "，", " ", "\n", "-", "钱", "。"};
    const auto key = [](const formulas::Ingredient &i) {
        // A bare figure is written in grams, a note in stored form.
        const QString unit = i.hasFigure() && i.unit.isEmpty() ? "g" : i.unit;
        return (i.name + "|" + i.amountText + "|" + unit + "|" + herbs::NormalizeFieldText(i.note)).toStdString();
    };
    std::srand(24);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int n = std::rand() % 12; n >= 0; --n)
            text += pieces[std::rand() % pieces.size()];
        const formulas::Composition read = formulas::parseComposition(text);
        QString left = text;
        for (const formulas::Ingredient &item : read.ingredients)
            left.replace(item.position, item.length, QString(item.length, ' '));
        for (const formulas::UnreadFragment &fragment : read.unread)
            left.replace(fragment.position, fragment.text.size(), QString(fragment.text.size(), ' '));
        EXPECT_TRUE(left.remove(QRegularExpression("[\\s、，,；;。]")).isEmpty()) << text.toStdString() << " leaves " << left.toStdString();
        const formulas::Composition again = formulas::parseComposition(formulas::writeComposition(read.ingredients));
        ASSERT_TRUE(again.unread.isEmpty() && again.ingredients.size() == read.ingredients.size()) << text.toStdString();
        for (qsizetype i = 0; i < read.ingredients.size(); ++i)
            EXPECT_EQ(key(again.ingredients[i]), key(read.ingredients[i])) << text.toStdString();
    }
}

TEST(Composition, WritesTheOneStoredForm)
{
    EXPECT_EQ(formulas::writeComposition(formulas::parseComposition("柴胡12克 荆芥、防风各6 石膏30(打碎, 先煎) 蜂蜜适量").ingredients),
              "柴胡12g、荆芥6g、防风6g、石膏30g（打碎，先煎）、蜂蜜适量。");
    EXPECT_EQ(formulas::writeComposition({}), " ");
}

// A name stands for a herb by its whole self only, and an alias only for the herbs there are.
TEST(HerbNames, ResolveByTheWholeNameOverTheHerbsOfTheFile)
{
    const formulas::HerbNames names({"白芍。", "赤芍", "附子。", "白附子。", "茯苓。"});
    const std::tuple<const char *, formulas::NameKind, QStringList> cases[] = {
        {"白附子", formulas::NameKind::Herb, {"白附子"}},  {" 附子。", formulas::NameKind::Herb, {"附子"}},
        {"芍药", formulas::NameKind::Alias, {"白芍", "赤芍"}}, {"云苓", formulas::NameKind::Alias, {"茯苓"}},
        {"粳米", formulas::NameKind::Auxiliary, {}},       {"川军", formulas::NameKind::Unknown, {}},
        {"附", formulas::NameKind::Unknown, {}},            {"白附", formulas::NameKind::Unknown, {}},
    };
    for (const auto &[written, kind, herbs] : cases) {
        const formulas::ResolvedName resolved = names.resolve(written);
        EXPECT_EQ(resolved.kind, kind) << written;
        QStringList found = resolved.herbs;
        found.sort();
        EXPECT_EQ(found, herbs) << written;
    }
    const formulas::ProcessedForms &forms = formulas::shippedProcessedForms();
    EXPECT_EQ(forms.withForms("半夏。"), QStringList({"半夏", "法半夏", "姜半夏", "清半夏"}));
    EXPECT_EQ(forms.withForms("法半夏"), QStringList({"法半夏"}));
    EXPECT_EQ(std::pair(forms.rootOf("炙甘草。"), forms.rootOf("地黄")), std::pair(QString("甘草"), QString("地黄")));
}

QString refusal(const std::function<void()> &read)
{
    try {
        read();
    } catch (const ds::RunError &error) {
        return error.description();
    }
    return {};
}

TEST(FormulaRows, TheSeedRefusesWhatTheProgramCouldNotRead)
{
    const formulas::AuxiliaryTable auxiliaries(formulas::parseAuxiliaries("粳米\t大米。\n", "aux"));
    const formulas::HerbNames names({"桂枝。", "白芍。", "赤芍。", "甘草。", "茯苓。"}, ds::shippedAliases(), auxiliaries);
    const QString good = "桂枝汤。\t桂枝9g、芍药9g、甘草6g、粳米9g。\t解肌。\t表虚。\t水煎服。\t《伤寒论》。\t解表剂。\t \n";
    const auto formulaRows = [&](const QString &text) {
        return refusal([&] {
            QList<QStringList> rows;
            QHash<QString, QString> seenAt;
            seed::appendFormulaRows("a.tsv", text, rows, seenAt, names);
        });
    };
    EXPECT_EQ(formulaRows("# 解表剂\n" + good), "");
    const std::pair<QString, QString> cases[] = {
        {QString(good).replace("解肌。", "解肌,"), "a.tsv:1: 方剂功用"},
        {QString(good).replace("桂枝9g", "桂枝9克"), "a.tsv:1: 桂枝汤。 方剂组成: not in stored form; stored it reads \"桂枝9g、"},
        {QString(good).replace("甘草6g", "甘草6-9g"), "a.tsv:1: 桂枝汤。 方剂组成: cannot read \"甘草6-9g\""},
        {QString(good).replace("甘草6g", "甘草"), "a.tsv:1: 桂枝汤。 方剂组成: 甘草 has no dose"},
        {QString(good).replace("桂枝9g、芍药9g、甘草6g、粳米9g。", " "), "a.tsv:1: 桂枝汤。 方剂组成: no ingredient"},
        {QString(good).replace("甘草6g", "某药6g"), "a.tsv:1: 桂枝汤。 方剂组成: 某药 is no shipped herb"},
        {QString(good).replace("甘草6g", "桂枝6g"), "a.tsv:1: 桂枝汤。 方剂组成: 桂枝 twice"},
        {good + good, "a.tsv:2: duplicate name 桂枝汤。, first at a.tsv:1"},
    };
    for (const auto &[text, message] : cases)
        EXPECT_TRUE(formulaRows(text).startsWith(message)) << formulaRows(text).toStdString();

    const QSet<QString> herbs{"半夏", "法半夏", "姜半夏", "甘草", "炙甘草"};
    const std::pair<std::function<void()>, QString> tables[] = {
        {[&] { formulas::parseAuxiliaries("粳米\n", "aux"); }, "aux:1: a 辅料 line"},
        {[&] { formulas::parseAuxiliaries("粳米\t大米。\n粳米\t又一行。", "aux"); }, "aux:2: 粳米 twice"},
        {[&] { formulas::parseAuxiliaries("米。\t大米。", "aux"); }, "aux:1: \"米。\""},
        {[&] { formulas::parseAuxiliaries("甘草\t大米。", "aux", &herbs); }, "aux:1: 甘草 is a herb's name"},
        {[&] { formulas::parseProcessedForms("半夏\t法半夏\n甘草\t法半夏", "pf"); }, "pf:2: 法半夏 is already a form of 半夏"},
        {[&] { formulas::parseProcessedForms("半夏\t法半夏\n法半夏\t姜半夏", "pf"); }, "pf:2: 法半夏 is a form of 半夏"},
        {[&] { formulas::parseProcessedForms("半夏\t制半夏", "pf", &herbs); }, "pf:1: 制半夏 is not a shipped herb"},
    };
    for (const auto &[read, message] : tables)
        EXPECT_TRUE(refusal(read).startsWith(message)) << refusal(read).toStdString();
}

} // namespace
