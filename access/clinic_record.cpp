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
    const char16_t *enterWarning;
    const char16_t *saveWarning;
};

// The Enter warnings and the save warnings of address and telephone are worded differently
// on purpose; each is shown where the screen's users know it.
const FieldRules &rules(ClinicField field)
{
    static const std::array<FieldRules, 4> table{{
        {35, 4, u"请输入门诊名称全称", u"请输入门诊名称全称"},
        {35, 4, u"请输入门诊的详细地址", u"请输入门诊详细地址"},
        {35, 7, u"请输入门诊对外联系电话", u"请输入门诊对外电话"},
        {10, 2, u"请输入使用者的姓名", u"请输入系统用户名称"},
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

QString enterWarning(ClinicField field)
{
    return QString::fromUtf16(rules(field).enterWarning);
}

QString saveWarning(ClinicField field)
{
    return QString::fromUtf16(rules(field).saveWarning);
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
