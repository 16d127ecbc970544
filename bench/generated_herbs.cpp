#include "generated_herbs.h"

#include "datastore/data_file.h"

#include <QFile>
#include <QRandomGenerator>

#include <map>
#include <memory>

namespace bench {
namespace {

// Verbs and what they act on, put together into efficacy keywords ("清热", "活血化瘀").
const QString kActions = QStringLiteral("清补凉活化止利祛散温解安养润消理益健疏平");
const QString kObjects = QStringLiteral("热气血痰湿风寒毒瘀火阴阳肝脾肺肾心胃神津");
// Body parts and complaints, put together into indication keywords ("头痛", "胸闷腹胀").
const QString kParts = QStringLiteral("头胸腹腰咽目耳鼻口齿胁背膝足手肢肤喉舌面");
const QString kComplaints = QStringLiteral("痛胀闷肿痒麻冷热干涩晕咳喘泻呕烦汗疮血虚");
// Characters of the free texts and names: common ones, none of them a keyword separator.
const QString kCommon = QStringLiteral("本品性味甘苦辛酸咸微寒温平归肝心脾肺肾经用量煎服外适研末调敷"
                                       "孕妇慎忌生冷油腻久服宜少量配伍常与同用可增强效果临床多见于各"
                                       "种病症入药炮制后去皮切片晒干备用每日次分早晚饭前后温开水送下");

const QStringList kFlavours = {QStringLiteral("甘"), QStringLiteral("苦"), QStringLiteral("辛"), QStringLiteral("酸"),
                               QStringLiteral("咸"), QStringLiteral("微苦"), QStringLiteral("甘、微苦"), QStringLiteral("辛、苦")};
const QStringList kNatures = {QStringLiteral("寒"), QStringLiteral("微寒"), QStringLiteral("温"), QStringLiteral("微温"),
                              QStringLiteral("平"), QStringLiteral("凉"), QStringLiteral("热")};
const QString kOrgans = QStringLiteral("肝心脾肺肾胃胆");

// "甘、微苦，温。": one of a few dozen values.
QString natureText(QRandomGenerator &random)
{
    return kFlavours[random.bounded(int(kFlavours.size()))] + QChar(0xFF0C) + kNatures[random.bounded(int(kNatures.size()))]
           + QChar(0x3002);
}

// "归肝、脾经。": one to three organs.
QString meridianText(QRandomGenerator &random)
{
    const int count = random.bounded(1, 4);
    QStringList organs;
    while (organs.size() < count) {
        const QString organ = kOrgans.mid(random.bounded(int(kOrgans.size())), 1);
        if (!organs.contains(organ))
            organs.append(organ);
    }
    return QStringLiteral("归") + organs.join(QChar(0x3001)) + QStringLiteral("经。");
}

QStringList pairs(const QString &first, const QString &second)
{
    QStringList all;
    for (const QChar a : first) {
        for (const QChar b : second)
            all.append(QString(a) + b);
    }
    return all;
}

QString keywordText(QRandomGenerator &random, const QStringList &words)
{
    const int count = random.bounded(4, 13);
    QStringList chosen;
    for (int i = 0; i < count; ++i) {
        // Most keywords are two characters, some four ("清热解毒").
        QString word = words[random.bounded(int(words.size()))];
        if (random.bounded(3) == 0)
            word += words[random.bounded(int(words.size()))];
        chosen.append(word);
    }
    return chosen.join(QChar(0xFF0C)) + QChar(0x3002);
}

QString freeText(QRandomGenerator &random)
{
    const int length = random.bounded(20, 201);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length - 1; ++i)
        text.append(i % 9 == 8 ? QChar(0xFF0C) : kCommon[random.bounded(int(kCommon.size()))]);
    return text + QChar(0x3002);
}

} // namespace

QStringList efficacyKeywords()
{
    static const QStringList words = pairs(kActions, kObjects);
    return words;
}

QStringList indicationKeywords()
{
    static const QStringList words = pairs(kParts, kComplaints);
    return words;
}

// The characters of the free texts, each once: the digits of names, the stuff of aliases.
const QString &nameCharacters()
{
    static const QString unique = [] {
        QString once;
        for (const QChar c : kCommon) {
            if (!once.contains(c))
                once.append(c);
        }
        return once;
    }();
    return unique;
}

QString generatedHerbName(int index)
{
    // The index written with at least three digits, each digit a different character: unique
    // and 3 to 4 characters long, like real names.
    const QString &digits = nameCharacters();
    const int base = int(digits.size());
    QString name;
    int rest = index;
    for (int digit = 0; digit < 3 || rest > 0; ++digit) {
        name.prepend(digits[rest % base]);
        rest /= base;
    }
    return name + QChar(0x3002);
}

ds::AliasTable generatedAliases(int herbs, int count, quint32 seed)
{
    return ds::AliasTable(generatedAliasLines(herbs, count, seed));
}

QList<ds::AliasLine> generatedAliasLines(int herbs, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    const QString &characters = nameCharacters();
    QList<ds::AliasLine> lines(herbs);
    for (int i = 0; i < count; ++i) {
        ds::AliasLine &line = lines[i % herbs];
        if (line.herb.isEmpty())
            line.herb = ds::aliasKey(generatedHerbName(i % herbs));
        QString alias;
        for (int length = random.bounded(2, 4); alias.size() < length;)
            alias.append(characters[random.bounded(int(characters.size()))]);
        line.aliases.append(alias);
    }
    return lines;
}

void generateHerbs(const QString &dataFile, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    ds::Database db = ds::openDataFile(dataFile);
    ds::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE * FROM 中医药材"));
    const QString insert = QStringLiteral("INSERT INTO 中医药材 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (int i = 0; i < count; ++i) {
        db.execute(insert, {generatedHerbName(i), meridianText(random), natureText(random),
                            keywordText(random, efficacyKeywords()), keywordText(random, indicationKeywords()),
                            freeText(random), freeText(random), freeText(random)});
    }
    transaction.commit();
}

GeneratedDataFile::GeneratedDataFile(int count, quint32 seed)
    : m_path(m_dir.filePath(ds::kDataFileName))
    , m_count(count)
{
    QFile::copy(QStringLiteral(CC_SEED_FILE), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    generateHerbs(m_path, count, seed);
}

const GeneratedDataFile &GeneratedDataFile::shared(int count)
{
    static std::map<int, std::unique_ptr<GeneratedDataFile>> files;
    auto &file = files[count];
    if (!file)
        file = std::make_unique<GeneratedDataFile>(count);
    return *file;
}

QString GeneratedDataFile::copy(const QString &name) const
{
    const QString target = m_dir.filePath(name);
    QFile::remove(target);
    QFile::copy(m_path, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

} // namespace bench
