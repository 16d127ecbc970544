#include "datastore/herb_aliases.h"

#include "datastore/engine_text.h"
#include "datastore/errors.h"
#include "datastore/jet_like.h"
#include "datastore/pinyin_initials.h"
#include "datastore/table_lines.h"
#include "datastore/text_trim.h"

#include <QFile>
#include <QtDebug>

#include <string_view>

namespace ds {
namespace {

const QChar kFullStop(0x3002);
const QChar kListComma(0x3001);

[[noreturn]] void refuse(const QString &where, const QString &what)
{
    throw RunError(ErrorCode::SyntaxError, where + QStringLiteral(": ") + what);
}

// A name as the table must write it: not empty, no space of any width, no "。".
void checkText(const QString &where, const QString &text)
{
    if (text.isEmpty())
        refuse(where, QStringLiteral("an empty name"));
    for (QChar c : text) {
        if (c.isSpace() || c == kFullStop)
            refuse(where, QStringLiteral("\"%1\" holds a space or \"。\"").arg(text));
    }
}

AliasLine readLine(const QString &where, int number, const QString &line, const QSet<QString> *shippedHerbs)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        refuse(where, QStringLiteral("no tab between the herb and its aliases"));
    AliasLine read{number, line.left(tab), line.mid(tab + 1).split(kListComma)};
    checkText(where, read.herb);
    if (shippedHerbs && !shippedHerbs->contains(read.herb))
        refuse(where, QStringLiteral("%1 is not a shipped herb").arg(read.herb));
    QSet<QString> seen;
    for (const QString &alias : read.aliases) {
        checkText(where, alias);
        if (seen.contains(alias))
            refuse(where, QStringLiteral("alias %1 twice").arg(alias));
        seen.insert(alias);
        if (shippedHerbs && shippedHerbs->contains(alias))
            refuse(where, QStringLiteral("alias %1 is the name of a shipped herb").arg(alias));
    }
    return read;
}

AliasTable readShippedTable()
{
    QFile file(QStringLiteral(":/ccherb/aliases.tsv"));
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw RunError(ErrorCode::FileNotFound, file.fileName());
        return AliasTable(parseAliasTable(QString::fromUtf8(file.readAll()), QStringLiteral("aliases.tsv")));
    } catch (const RunError &error) {
        // The seed build checked this very file; names are then found by themselves alone.
        qWarning() << "alias table:" << error.description();
        return {};
    }
}

} // namespace

// The typed name as herbsMatching matches it against an alias, read once for many aliases.
class AliasTable::Matcher {
public:
    explicit Matcher(const QString &name)
        : m_pattern(toEngineText(name + QLatin1Char('*'))) // as the SQL side reads it
        // The pattern's characters that no other character folds to (the Chinese ones) are
        // looked for byte by byte first: most aliases are passed over without being decoded.
        , m_like(std::string_view(m_pattern.constData(), size_t(m_pattern.size())))
        , m_initials(isLatinLetters(name) ? name.toLower().toLatin1() : QByteArray())
        , m_laterReading(' ' + m_initials)
    {
    }
    bool matches(const Alias &alias) const
    {
        // An alias's initials hold its everyday reading after a space when it has one of its own.
        return (!m_initials.isEmpty() && (alias.initials.startsWith(m_initials) || alias.initials.contains(m_laterReading)))
               || m_like.matches(std::string_view(alias.text.constData(), size_t(alias.text.size())));
    }

private:
    QByteArray m_pattern;
    LikePattern m_like;
    QByteArray m_initials;
    QByteArray m_laterReading;
};

QList<AliasLine> parseAliasTable(const QString &text, const QString &label, const QSet<QString> *shippedHerbs)
{
    QList<AliasLine> lines;
    for (const TableLine &line : tableLines(text, label))
        lines.append(readLine(line.where, line.number, line.text, shippedHerbs));
    return lines;
}

QString aliasKey(const QString &name)
{
    QString key = trimSpaces(name);
    if (key.endsWith(kFullStop))
        key.chop(1);
    return key;
}

AliasTable::AliasTable(const QList<AliasLine> &lines)
{
    for (const AliasLine &line : lines) {
        auto index = m_herbIndex.constFind(line.herb);
        if (index == m_herbIndex.cend()) {
            index = m_herbIndex.insert(line.herb, int(m_herbs.size()));
            m_herbs.append(line.herb);
            m_aliasesOfHerb.append(QStringList());
        }
        const int herb = *index;
        for (const QString &alias : line.aliases) {
            QList<int> &named = m_herbsOfAlias[alias];
            if (named.contains(herb))
                continue;
            named.append(herb);
            m_aliasesOfHerb[herb].append(alias);
            // Read once here: a query then only compares bytes.
            m_aliases.push_back({alias.toUtf8(), searchedInitials(alias).toLatin1(), herb});
        }
    }
}

QStringList AliasTable::herbsNamedBy(const QString &name) const
{
    QStringList herbs;
    for (int herb : m_herbsOfAlias.value(aliasKey(name)))
        herbs.append(m_herbs[herb]);
    return herbs;
}

QStringList AliasTable::aliasesOf(const QString &herbName) const
{
    const auto index = m_herbIndex.constFind(aliasKey(herbName));
    return index == m_herbIndex.cend() ? QStringList() : m_aliasesOfHerb[*index];
}

bool AliasTable::isWholeName(const QString &key) const
{
    return m_herbIndex.contains(key) || m_herbsOfAlias.contains(key);
}

QStringList AliasTable::herbsMatching(const QString &typedName) const
{
    const QString name = trimSpaces(typedName);
    if (name.isEmpty() || m_aliases.empty())
        return {};
    if (isWholeName(aliasKey(name)))
        return herbsNamedBy(name);
    const Matcher matcher(name);
    std::vector<bool> found(size_t(m_herbs.size()), false);
    for (const Alias &alias : m_aliases) {
        if (!found[size_t(alias.herb)] && matcher.matches(alias))
            found[size_t(alias.herb)] = true;
    }
    QStringList herbs;
    for (size_t herb = 0; herb < found.size(); ++herb) {
        if (found[herb])
            herbs.append(m_herbs[qsizetype(herb)]);
    }
    return herbs;
}

QString AliasTable::aliasMatching(const QString &herbName, const QString &typedName) const
{
    const QString name = trimSpaces(typedName);
    const auto herb = m_herbIndex.constFind(aliasKey(herbName));
    if (name.isEmpty() || herb == m_herbIndex.cend())
        return {};
    const QString key = aliasKey(name);
    if (isWholeName(key))
        return m_aliasesOfHerb[*herb].contains(key) ? key : QString();
    const Matcher matcher(name);
    for (const Alias &alias : m_aliases) {
        if (alias.herb == *herb && matcher.matches(alias))
            return QString::fromUtf8(alias.text);
    }
    return {};
}

const AliasTable &shippedAliases()
{
    static const AliasTable table = readShippedTable();
    return table;
}

} // namespace ds
