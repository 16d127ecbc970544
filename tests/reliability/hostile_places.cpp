// Every place where a user's text reaches the data file: the boxes, the button, the read-back.
#include "hostile_places.h"

#include "access/password_hash.h"
#include "datastore/engine_text.h"
#include "datastore/text_trim.h"
#include "herbs/normalize_field_text.h"
#include "tests/maintenance/maintenance_fixture.h"

namespace hostile {
namespace {

// Sets the boxes of a screen as the program would (no typing limit applies).
void setBoxes(QWidget *screen, const std::vector<std::pair<const char *, QString>> &texts)
{
    for (const auto &[name, text] : texts) {
        auto *control = screen->findChild<QWidget *>(QLatin1String(name));
        if (auto *line = qobject_cast<QLineEdit *>(control))
            line->setText(text);
        else if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->setEditText(text);
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
            plain->setPlainText(text);
    }
}

// Exactly one row out and one in (the screen replaces the table's one row), or the count wrong.
QString oneRowReplaced(const TableChange &change)
{
    if (change.removed.size() != 1 || change.added.size() != 1)
        return QStringLiteral("%1 rows out and %2 in, not one replaced")
            .arg(change.removed.size())
            .arg(change.added.size());
    return {};
}

QString expectRow(const TableChange &change, const QVariantList &expected)
{
    if (!change.removed.isEmpty() || change.added.size() != 1)
        return QStringLiteral("%1 rows out and %2 in, not one added")
            .arg(change.removed.size())
            .arg(change.added.size());
    if (rowKey(change.added.first()) != rowKey(expected))
        return QStringLiteral("stored {%1}, the stored form is {%2}")
            .arg(describeRow(change.added.first()), describeRow(expected));
    return {};
}

// ---- login: nothing is stored; no text lets anyone in.

QString stillAtLogin()
{
    return visibleWindow(QStringLiteral("frmLogin")) ? QString() : QStringLiteral("the login let the text in");
}

// The access screens store their boxes trimmed of spaces; the file holds a lone surrogate as U+FFFD.
QString accessStoredForm(const QString &box)
{
    return ds::wellFormedText(ds::trimSpaces(box));
}

// ---- password screen: 密码表 holds one row, the trimmed name and a hash of the trimmed password.

void soundPassword(HostileFixture &, QWidget *screen, const QString &)
{
    setBoxes(screen, {{"CboYhmc", QStringLiteral("李医生")}, {"TxtNpas", QStringLiteral("efgh5678")},
                      {"TxtPasn", QStringLiteral("efgh5678")}});
}

QString passwordReadBack(HostileFixture &, const QStringList &fields, const TableChange &change)
{
    if (QString why = oneRowReplaced(change); !why.isEmpty())
        return why;
    const QVariantList &row = change.added.first();
    if (row.value(0).toString() != accessStoredForm(fields[0]) || row.value(2).toString() != QLatin1String("1"))
        return QStringLiteral("stored {%1} for the name %2").arg(describeRow(row), fields[0]);
    if (!users::verifyPassword(ds::trimSpaces(fields[1]), row.value(1).toString()))
        return QStringLiteral("the stored hash does not verify the password typed");
    return {};
}

// ---- clinic screen: 用户资料 holds one row, the four boxes trimmed.

void soundClinic(HostileFixture &, QWidget *screen, const QString &)
{
    setBoxes(screen, {{"TxtMzmc", QStringLiteral("澄川中医门诊部")}, {"TxtMzdz", QStringLiteral("澄川市杏林路8号")},
                      {"TxtTele", QStringLiteral("5550123")}, {"TxtYhxm", QStringLiteral("王医生")}});
}

QString clinicReadBack(HostileFixture &, const QStringList &fields, const TableChange &change)
{
    if (QString why = oneRowReplaced(change); !why.isEmpty())
        return why;
    QVariantList expected;
    for (const QString &field : fields)
        expected.append(accessStoredForm(field));
    TableChange added{{}, change.added};
    return expectRow(added, expected);
}

// ---- herb entry screen: a new row of the eight stored forms.

// The eight field boxes in column order: typing limit, whether the 1 MB text goes in too, and
// whether the box is a condition of the search.
struct HerbBox {
    const char *column;
    const char *box;
    int limit;
    bool huge;
    bool condition;
};
constexpr HerbBox kHerbBoxes[] = {
    {"名称", "Txtycmc", 10, false, true},   {"归经", "Cboycgj", 0, true, true},    {"性味", "Cboycxw", 0, false, true},
    {"功效", "Txtycgy", 220, false, true},  {"主治", "Txtyczz", 300, false, true}, {"用法", "Txtycyf", 300, false, true},
    {"宜忌", "Txtycyj", 300, false, false}, {"心得", "Txtycgb", 2000, true, true},
};

std::vector<const char *> herbFields()
{
    std::vector<const char *> names;
    for (const HerbBox &field : kHerbBoxes)
        names.push_back(field.box);
    return names;
}

void soundHerb(HostileFixture &, QWidget *screen, const QString &)
{
    const QStringList texts{"试药", "肺经", "辛，温", "解表", "风寒", "煎服", "无", "常用"};
    for (size_t i = 0; i < std::size(kHerbBoxes); ++i)
        setBoxes(screen, {{kHerbBoxes[i].box, texts[int(i)]}});
}

QString herbReadBack(HostileFixture &, const QStringList &fields, const TableChange &change)
{
    QVariantList expected;
    for (const QString &field : fields)
        expected.append(herbs::NormalizeFieldText(field));
    return expectRow(change, expected);
}

// ---- import: a source file whose one herb holds the text in every column.

void hostileSource(HostileFixture &fixture, QWidget *screen, const QString &input)
{
    const QString source = fixture.home.file(QStringLiteral("源.mdb"));
    QFile::remove(source);
    makeFamilySource(source, {QVariantList(8, input)});
    {
        ds::Database db = ds::Database::openReadOnly(source, maint::kImportSourceConnect);
        ds::Dynaset rows = db.openDynaset(QStringLiteral("SELECT * FROM zyyc"));
        fixture.sourceRow.clear();
        for (int i = 0; i < rows.fieldCount(); ++i)
            fixture.sourceRow.append(rows.field(i));
    }
    setBoxes(screen, {{"TxtFile", source}});
}

// Imported texts are stored as if typed in.
QString importReadBack(HostileFixture &fixture, const QStringList &, const TableChange &change)
{
    QVariantList expected;
    for (const QVariant &value : fixture.sourceRow)
        expected.append(herbs::NormalizeFieldText(value.toString()));
    return expectRow(change, expected);
}

// Each herb box stored through 保存 and, where it is a condition, searched through 查询.
void addHerbPlaces(std::vector<Place> &places)
{
    for (const HerbBox &field : kHerbBoxes) {
        places.push_back({"herb " + QString::fromUtf8(field.column), "Frmzyyc", {field.box}, "Cmdsave", field.limit,
                          true, field.huge, "中医药材", herbFields(), soundHerb, herbReadBack, {}});
    }
    for (const HerbBox &field : kHerbBoxes) {
        if (field.condition)
            places.push_back({"search " + QString::fromUtf8(field.column), "Frmzyyc", {field.box}, "Cmdseek",
                              field.limit, true, field.huge, nullptr, {}, {}, {}, {}});
    }
}

Place browseSearch(const char *label, const char *box, int limit = 0, bool huge = false)
{
    return {label, "Frmzyll", {box}, "Cmdseek", limit, false, huge, nullptr, {}, {}, {}, {}};
}

Place clinicSave(const char *label, const char *field, int limit, bool huge = false)
{
    return {label,      "FrmYhzl",   {field},        "CmdSave", limit, false, huge, "用户资料",
            {"TxtMzmc", "TxtMzdz", "TxtTele", "TxtYhxm"}, soundClinic, clinicReadBack, {}};
}

} // namespace

std::vector<Place> allPlaces()
{
    const auto loginWith = [](const char *name, const char *password) {
        return [=](HostileFixture &, QWidget *screen, const QString &) {
            setBoxes(screen, {{"Cboyhmc", QString::fromUtf8(name)}, {"Txtpass", QString::fromUtf8(password)}});
        };
    };
    std::vector<Place> places{
        {"login name", "frmLogin", {"Cboyhmc"}, "cmdOK", 0, false, true, nullptr, {}, loginWith("", "abcd1234"), {},
         stillAtLogin},
        {"login password", "frmLogin", {"Txtpass"}, "cmdOK", 30, false, false, nullptr, {}, loginWith("王医生", ""), {},
         stillAtLogin},

        {"password user", "Frmmmwh", {"CboYhmc"}, "Cmdsave", 0, false, true, "密码表", {"CboYhmc", "TxtNpas"},
         soundPassword, passwordReadBack, {}},
        {"new password", "Frmmmwh", {"TxtNpas", "TxtPasn"}, "Cmdsave", 30, false, false, "密码表", {"CboYhmc", "TxtNpas"},
         soundPassword, passwordReadBack, {}},

        clinicSave("clinic name", "TxtMzmc", 35),
        clinicSave("clinic address", "TxtMzdz", 35, true),
        clinicSave("clinic telephone", "TxtTele", 35),
        clinicSave("clinic user", "TxtYhxm", 10),

        {"herb delete", "Frmzyyc", {"Txtycmc"}, "Cmddele", 10, true, false, nullptr, {}, {}, {}, {}},
        {"exact name", "Frmzyyc", {"Txtycmc"}, "Txtycmc", 10, true, false, nullptr, {}, {}, {}, {}},

        browseSearch("browse 名称", "Txtmcyc", 50),
        browseSearch("browse 性味", "Cboycxw"),
        browseSearch("browse 归经", "Cboycgj"),
        browseSearch("browse 功效1", "Cboycgx1", 0, true),
        browseSearch("browse 功效2", "Cboycgx2"),
        browseSearch("browse 功效3", "Cboycgx3"),
        browseSearch("browse 主治1", "Cboyczz1"),
        browseSearch("browse 主治2", "Cboyczz2"),
        browseSearch("browse 主治3", "Cboyczz3"),

        {"import source path", "FrmLinkDb", {"TxtFile"}, "IeAdress", 0, false, true, nullptr, {}, {}, {}, {}},
        {"imported values", "FrmLinkDb", {}, "IeAdress", 0, false, true, "中医药材", {}, hostileSource, importReadBack,
         {}},
    };
    addHerbPlaces(places);
    return places;
}

} // namespace hostile
