#include "herbs/herb_table.h"

#include "datastore/database.h"
#include "herbs/normalize_field_text.h"

namespace herbs {
namespace {

ds::TableRecordset seekHerb(ds::Database &db, const QString &name)
{
    ds::TableRecordset table = db.openTable(kHerbTable);
    table.setIndex(kNameIndex);
    table.seek(QStringLiteral("="), name);
    return table;
}

// The stored form first, then the typed name as it stands without its spaces.
ds::TableRecordset seekTypedHerb(ds::Database &db, const QString &typedName)
{
    ds::TableRecordset table = seekHerb(db, NormalizeFieldText(typedName));
    const QString trimmed = trimSpaces(typedName);
    if (table.noMatch() && !trimmed.isEmpty())
        table.seek(QStringLiteral("="), trimmed);
    return table;
}

HerbRecord currentHerb(const ds::TableRecordset &table)
{
    HerbRecord record;
    for (int field = 0; field < kHerbFieldCount; ++field)
        record[field] = table.field(field).toString();
    return record;
}

void writeStoredForms(ds::TableRecordset &table, const HerbRecord &texts)
{
    for (int field = 0; field < kHerbFieldCount; ++field)
        table.setField(field, NormalizeFieldText(texts[field]));
    table.update();
}

} // namespace

std::optional<HerbRecord> findHerb(ds::Database &db, const QString &name)
{
    const ds::TableRecordset table = seekHerb(db, name);
    if (table.noMatch())
        return std::nullopt;
    return currentHerb(table);
}

std::optional<HerbRecord> findTypedHerb(ds::Database &db, const QString &typedName)
{
    const ds::TableRecordset table = seekTypedHerb(db, typedName);
    if (table.noMatch())
        return std::nullopt;
    return currentHerb(table);
}

SaveOutcome addHerb(ds::Database &db, const HerbRecord &texts)
{
    ds::TableRecordset table = seekHerb(db, texts[kName]);
    if (!table.noMatch())
        return SaveOutcome::AlreadyStored;
    table.addNew();
    writeStoredForms(table, texts);
    return SaveOutcome::Added;
}

ChangeOutcome changeHerb(ds::Database &db, const HerbRecord &texts)
{
    ds::TableRecordset table = seekTypedHerb(db, texts[kName]);
    if (table.noMatch())
        return ChangeOutcome::NotStored;
    table.edit();
    writeStoredForms(table, texts);
    return ChangeOutcome::Changed;
}

bool deleteHerb(ds::Database &db, const QString &name)
{
    ds::TableRecordset table = seekTypedHerb(db, name);
    if (table.noMatch())
        return false;
    table.deleteCurrent();
    return true;
}

int herbCount(ds::Database &db)
{
    db.purgeQueries();
    db.createQuery(QStringLiteral("000"), QStringLiteral("select count(*) FROM 中医药材 "));
    const ds::Dynaset count = db.openDynaset(QStringLiteral("000"));
    return count.field(0).toInt();
}

} // namespace herbs
