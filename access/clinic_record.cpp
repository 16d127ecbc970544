#include "access/clinic_record.h"
#include "datastore/text_trim.h"

#include "datastore/errors.h"
#include "datastore/sql_text.h"

#include <QStringList>

namespace users {
namespace {

struct FieldRules {
    int longest;
    int shortest;
    const char16_t *refusal; // what a text shorter than shortest is told, at Enter and at the save
};

const FieldRules &rules(ClinicField field)
{
    static const std::array<FieldRules, 4> table{{
        {35, 4, u"门诊名称至少要4个字"},
        {35, 4, u"门诊地址至少要4个字"},
        {35, 7, u"电话号码至少要7位"},
        {10, 2, u"用户姓名至少要2个字"},
    }};
    return table[std::size_t(field)];
}

} // namespace

ClinicInfo ClinicInfo::trimmed() const
{
    ClinicInfo result;
    for (ClinicField field : kClinicFields)
        result[field] = ds::trimSpaces((*this)[field]);
    return result;
}

int longestInput(ClinicField field)
{
    return rules(field).longest;
}

int shortestInput(ClinicField field)
{
    return rules(field).shortest;
}

bool enterMovesOn(ClinicField field, const QString &text)
{
    return text.size() >= shortestInput(field);
}

QString tooShortMessage(ClinicField field)
{
    return QString::fromUtf16(rules(field).refusal);
}

std::optional<ClinicField> firstShortField(const ClinicInfo &info)
{
    for (ClinicField field : kClinicFields) {
        if (info[field].size() < shortestInput(field))
            return field;
    }
    return std::nullopt;
}

QString saveQuestion()
{
    return QStringLiteral("保存或修改已经输入的内容吗");
}

std::optional<ClinicInfo> loadClinic(ds::Database &db)
{
    const QString query = QStringLiteral("000");
    db.purgeQueries();
    db.createQuery(query, QStringLiteral("SELECT * FROM 用户资料"));
    const ds::Dynaset row = db.openDynaset(query);
    if (ds::isEmptyResult(row))
        return std::nullopt;
    ClinicInfo info;
    for (ClinicField field : kClinicFields)
        info[field] = row.text(int(field));
    return info;
}

QString clinicInsertText(const ClinicInfo &info)
{
    QStringList quoted;
    for (ClinicField field : kClinicFields)
        quoted.append(ds::sqlEscape(info[field]));
    return QStringLiteral("INSERT INTO 用户资料 VALUES('") + quoted.join(QStringLiteral("','")) + QStringLiteral("')");
}

void saveClinic(ds::Database &db, const ClinicInfo &info)
{
    ds::Transaction replace(db);
    db.execute(QStringLiteral("delete * FROM 用户资料"));
    db.execute(clinicInsertText(info));
    replace.commit();
}

} // namespace users
