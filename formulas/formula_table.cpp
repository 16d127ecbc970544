#include "formulas/formula_table.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/statement.h"
#include "datastore/text_trim.h"
#include "formulas/composition.h"
#include "formulas/herb_names.h"
#include "herbs/normalize_field_text.h"

namespace formulas {
namespace {

const QChar kMiddleDot(0x00B7); // ·

// The row of the formula with that typed name: its stored form first, then the name as typed
// without its spaces.
std::optional<qint64> rowOf(ds::Database &db, const QString &typedName)
{
    ds::Statement find(db.handle(), QStringLiteral("SELECT rowid FROM 中医方剂 WHERE 方剂名称 = ?1"));
    const QString trimmed = ds::trimSpaces(typedName);
    for (const QString &name : {herbs::NormalizeFieldText(typedName), trimmed}) {
        if (name.isEmpty())
            continue;
        find.reset();
        find.bind(1, name);
        if (find.step())
            return find.integer(0);
    }
    return std::nullopt;
}

// The texts as stored: the composition in its one form, the others as every text is stored.
FormulaRecord storedForms(FormulaRecord texts, const HerbNames &names)
{
    const CompositionCheck check = checkComposition(texts[kComposition], names);
    if (!check.fits())
        throw ds::RunError(ds::ErrorCode::ValidationRuleViolated, check.message());
    texts[kComposition] = writeComposition(parseComposition(texts[kComposition]).ingredients);
    if (ds::trimSpaces(texts[kChapter]).isEmpty())
        texts[kChapter] = kClinicChapter;
    for (int field = 0; field < kFormulaFieldCount; ++field) {
        if (field != kComposition)
            texts[field] = herbs::NormalizeFieldText(texts[field]);
    }
    return texts;
}

void bindTexts(ds::Statement &statement, const FormulaRecord &texts)
{
    for (int field = 0; field < kFormulaFieldCount; ++field)
        statement.bind(field + 1, texts[field]);
}

[[noreturn]] void refuseDuplicate(const QString &name)
{
    throw ds::RunError(ds::ErrorCode::DuplicateName,
                       QStringLiteral("已经有一首方剂叫“%1”，请换一个名称。").arg(ds::trimSpaces(name)));
}

} // namespace

QString chapterOf(const QString &remark)
{
    QString chapter = remark.section(kMiddleDot, 0, 0).trimmed();
    if (chapter.endsWith(QChar(0x3002)))
        chapter.chop(1);
    return chapter;
}

QString CompositionCheck::message() const
{
    QStringList lines;
    if (empty)
        lines.append(QStringLiteral("方剂组成是空的，请写出方中的每味药和它的剂量，如“桂枝9g、芍药9g”。"));
    if (!unknownNames.isEmpty())
        lines.append(QStringLiteral("方剂组成中的“%1”不是药材表中的药名、别名或辅料。请改用药材表中的名称，或先在“中医药材登录”中加入这味药。")
                         .arg(unknownNames.join(QStringLiteral("”、“"))));
    if (!unreadable.isEmpty())
        lines.append(QStringLiteral("方剂组成中有看不懂的地方：“%1”。每味药写成药名加剂量，如“桂枝9g”，药与药之间用“、”分开。")
                         .arg(unreadable.join(QStringLiteral("”、“"))));
    if (lines.isEmpty())
        return {};
    lines.append(QStringLiteral("方剂没有保存。"));
    return lines.join(QLatin1Char('\n'));
}

CompositionCheck checkComposition(const QString &typed, const HerbNames &names)
{
    CompositionCheck check;
    const Composition read = parseComposition(typed);
    check.empty = read.ingredients.isEmpty() && read.unread.isEmpty();
    for (const Ingredient &ingredient : read.ingredients) {
        if (names.resolve(ingredient.name).kind == NameKind::Unknown && !check.unknownNames.contains(ingredient.name))
            check.unknownNames.append(ingredient.name);
    }
    for (const UnreadFragment &fragment : read.unread)
        check.unreadable.append(fragment.text);
    return check;
}

std::optional<FormulaRecord> findFormula(ds::Database &db, const QString &typedName)
{
    const std::optional<qint64> row = rowOf(db, typedName);
    if (!row)
        return std::nullopt;
    ds::Statement read(db.handle(), QStringLiteral("SELECT * FROM 中医方剂 WHERE rowid = ?1"));
    read.bind(1, *row);
    if (!read.step())
        return std::nullopt;
    FormulaRecord record;
    for (int field = 0; field < kFormulaFieldCount; ++field)
        record[field] = read.value(field).toString();
    return record;
}

FormulaSave addFormula(ds::Database &db, FormulaRecord texts, const HerbNames &names)
{
    if (rowOf(db, texts[kFormulaName]))
        return FormulaSave::AlreadyStored;
    const FormulaRecord stored = storedForms(std::move(texts), names);
    ds::Statement insert(db.handle(), QStringLiteral("INSERT INTO 中医方剂 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    bindTexts(insert, stored);
    insert.run();
    return FormulaSave::Added;
}

bool changeFormula(ds::Database &db, const QString &storedName, FormulaRecord texts, const HerbNames &names)
{
    const std::optional<qint64> row = rowOf(db, storedName);
    if (!row)
        return false;
    const std::optional<qint64> named = rowOf(db, texts[kFormulaName]);
    if (named && *named != *row)
        refuseDuplicate(texts[kFormulaName]);
    const FormulaRecord stored = storedForms(std::move(texts), names);
    ds::Statement update(db.handle(), QStringLiteral("UPDATE 中医方剂 SET 方剂名称 = ?1, 方剂组成 = ?2, 方剂功用 = ?3, "
                                                     "方剂主治 = ?4, 方剂用法 = ?5, 方剂来源 = ?6, 方剂备注 = ?7, "
                                                     "方剂心得 = ?8 WHERE rowid = ?9"));
    bindTexts(update, stored);
    update.bind(9, *row);
    update.run();
    return true;
}

bool deleteFormula(ds::Database &db, const QString &typedName)
{
    const std::optional<qint64> row = rowOf(db, typedName);
    if (!row)
        return false;
    ds::Statement remove(db.handle(), QStringLiteral("DELETE FROM 中医方剂 WHERE rowid = ?1"));
    remove.bind(1, *row);
    remove.run();
    return true;
}

} // namespace formulas
