#include "generated_formulas.h"

#include "datastore/data_file.h"
#include "generated_herbs.h"

#include <QRandomGenerator>

#include <cmath>

namespace bench {
namespace {

const QStringList kKinds = {QStringLiteral("汤"), QStringLiteral("散"), QStringLiteral("丸"), QStringLiteral("饮"), QStringLiteral("丹")};
const QStringList kNotes = {QStringLiteral("（先煎）"), QStringLiteral("（后下）"), QStringLiteral("（包煎）"), QStringLiteral("（烊化）")};
const QStringList kChapters = QStringLiteral("解表剂 泻下剂 和解剂 清热剂 祛暑剂 温里剂 补益剂 固涩剂 安神剂 开窍剂 理气剂 "
                                             "理血剂 治风剂 治燥剂 祛湿剂 祛痰剂 消食剂 驱虫剂 涌吐剂 痈疡剂")
                                  .split(QLatin1Char(' '));

QString bare(const QString &stored)
{
    return ds::aliasKey(stored);
}

// Few herbs in many formulas, most in few: the number drawn evenly between 0 and log(herbs).
int drawHerb(QRandomGenerator &random, int herbs)
{
    return std::min(herbs - 1, int(std::exp(random.generateDouble() * std::log(double(herbs)))) - 1);
}

QString ingredientName(QRandomGenerator &random, int herb, int herbs, const ds::AliasTable &aliases)
{
    if (herb < kFormedHerbs && random.bounded(3) == 0)
        return bare(generatedHerbName(herbs - 1 - 3 * herb - random.bounded(3)));
    const QString name = bare(generatedHerbName(herb));
    const QStringList other = aliases.aliasesOf(name);
    if (!other.isEmpty() && random.bounded(10) == 0)
        return other[random.bounded(int(other.size()))];
    return name;
}

QString composition(QRandomGenerator &random, int herbs, const ds::AliasTable &aliases)
{
    QStringList items;
    for (int count = random.bounded(4, 15); items.size() < count;) {
        QString item = ingredientName(random, drawHerb(random, herbs), herbs, aliases) + QString::number(random.bounded(3, 31))
                       + QLatin1Char('g');
        if (random.bounded(8) == 0)
            item += kNotes[random.bounded(int(kNotes.size()))];
        items.append(item);
    }
    return items.join(QChar(0x3001)) + QChar(0x3002);
}

QString keywords(QRandomGenerator &random, const QStringList &words)
{
    QStringList chosen;
    for (int count = random.bounded(2, 7); chosen.size() < count;)
        chosen.append(words[random.bounded(int(words.size()))]);
    return chosen.join(QChar(0xFF0C)) + QChar(0x3002);
}

} // namespace

formulas::ProcessedForms generatedProcessedForms(int herbs)
{
    QList<ds::AliasLine> lines;
    for (int herb = 0; herb < kFormedHerbs; ++herb) {
        ds::AliasLine line{herb + 1, bare(generatedHerbName(herb)), {}};
        for (int form = 0; form < 3; ++form)
            line.aliases.append(bare(generatedHerbName(herbs - 1 - 3 * herb - form)));
        lines.append(line);
    }
    return formulas::ProcessedForms(lines);
}

QString generatedFormulaName(int index)
{
    return bare(generatedHerbName(index)) + kKinds[index % kKinds.size()] + QChar(0x3002);
}

void generateFormulas(const QString &dataFile, int count, int herbs, const ds::AliasTable &aliases, quint32 seed)
{
    QRandomGenerator random(seed);
    ds::Database db = ds::openDataFile(dataFile);
    ds::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE * FROM 中医方剂"));
    const QString insert = QStringLiteral("INSERT INTO 中医方剂 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (int i = 0; i < count; ++i) {
        const QString chapter = kChapters[random.bounded(int(kChapters.size()))];
        db.execute(insert, {generatedFormulaName(i), composition(random, herbs, aliases), keywords(random, efficacyKeywords()),
                            keywords(random, indicationKeywords()), QStringLiteral("水煎服。"),
                            QStringLiteral("《方书%1》。").arg(i % 97), chapter + QStringLiteral("·生成。"), QStringLiteral(" ")});
    }
    transaction.commit();
}

} // namespace bench
