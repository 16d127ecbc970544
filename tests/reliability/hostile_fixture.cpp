#include "hostile_places.h"

#include "access/clinic_record.h"
#include "access/password_record.h"
#include "datastore/data_file.h"
#include "datastore/dynaset.h"
#include "datastore/errors.h"
#include "herbs/gbk_bytes.h"

#include <QAction>
#include <QFile>
#include <QPushButton>

namespace hostile {
namespace {

const QStringList kScratchQueries{QStringLiteral("000"), QStringLiteral("001"), QStringLiteral("yhmc"),
                                  QStringLiteral("yhmm")};

bool holdsChinese(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

// Rows put in and taken out, counted as multisets: a table has no order of its own.
TableChange changeOf(const QList<QVariantList> &before, const QList<QVariantList> &after)
{
    QMap<QString, int> count;
    for (const QVariantList &row : before)
        ++count[rowKey(row)];
    TableChange change;
    for (const QVariantList &row : after) {
        const QString key = rowKey(row);
        if (count.value(key) > 0)
            --count[key];
        else
            change.added.append(row);
    }
    for (const QVariantList &row : before) {
        const QString key = rowKey(row);
        if (count.value(key) > 0) {
            --count[key];
            change.removed.append(row);
        }
    }
    return change;
}

QString shown(const QString &text)
{
    QString out;
    for (QChar c : text.left(40)) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0xD800 && c.unicode() < 0xE000) || c.unicode() == 0xFEFF)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return text.size() > 40 ? out + QStringLiteral("…(%1)").arg(text.size()) : out;
}

// Every row of a dynaset, each as its values in column order.
QList<QVariantList> rowsOf(ds::Dynaset rows)
{
    QList<QVariantList> all;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        QVariantList row;
        for (int i = 0; i < rows.fieldCount(); ++i)
            row.append(rows.field(i));
        all.append(row);
    }
    return all;
}

} // namespace

QString rowKey(const QVariantList &row)
{
    QString key;
    for (const QVariant &value : row) {
        if (value.isNull())
            key += QStringLiteral("N|");
        else if (value.typeId() == QMetaType::QByteArray)
            key += QStringLiteral("B%1|").arg(QString::fromLatin1(value.toByteArray().toHex()));
        else
            key += QStringLiteral("T%1:%2|").arg(value.toString().size()).arg(value.toString());
    }
    return key;
}

QString describeRow(const QVariantList &row)
{
    QStringList texts;
    for (const QVariant &value : row)
        texts.append(value.isNull() ? QStringLiteral("<null>") : shown(value.toString()));
    return texts.join(QStringLiteral(" | "));
}

QString boxText(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return combo->currentText();
    if (auto *text = qobject_cast<QPlainTextEdit *>(box))
        return text->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return {};
}

void Attempt::fail(const QString &why) const
{
    failures.append(QStringLiteral("%1 / %2: %3").arg(place.label, input.label, why));
}

HostileFixture::HostileFixture()
{
    {
        ds::Database db = ds::openDataFile(dataFile);
        users::savePassword(db, QStringLiteral("王医生"), QStringLiteral("abcd1234"));
        users::saveClinic(db, users::ClinicInfo{{QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"),
                                                 QStringLiteral("5550123"), QStringLiteral("王医生")}});
    }
    QFile::copy(dataFile, baselineFile);
}

HostileFixture::~HostileFixture()
{
    deleteLeftoverWindows();
}

void HostileFixture::restoreDataFile() const
{
    QFile::remove(dataFile);
    QFile::remove(dataFile + QStringLiteral("-journal"));
    QFile::copy(baselineFile, dataFile);
}

FileState HostileFixture::stateOf(const QString &path) const
{
    FileState state;
    ds::Database db = ds::openDataFile(path);
    const QList<QVariantList> schema = rowsOf(db.openDynaset(QStringLiteral(
        "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name")));
    QStringList tables;
    for (const QVariantList &row : schema) {
        if (row[0].toString() == QLatin1String("view") && kScratchQueries.contains(row[1].toString()))
            continue;
        state.schema.append(rowKey(row));
        if (row[0].toString() == QLatin1String("table") && !row[1].toString().startsWith(QLatin1String("sqlite_")))
            tables.append(row[1].toString());
    }
    for (const QString &table : tables)
        state.rows.insert(table, rowsOf(db.openDynaset(table)));
    return state;
}

void HostileFixture::checkLimit(const Attempt &run, const QStringList &held) const
{
    for (const QString &text : held) {
        if (run.place.limit > 0) {
            const int size = run.place.limitInBytes ? herbs::gbkByteCount(text) : int(text.size());
            if (size > run.place.limit)
                run.fail(QStringLiteral("the box holds %1 past its limit of %2").arg(size).arg(run.place.limit));
        }
        if (run.input.kind == Input::AtLimit && text != run.input.text)
            run.fail(QStringLiteral("a text at the limit was cut to %1").arg(shown(text)));
    }
}

bool HostileFixture::checkAfter(const Attempt &run, const FileState &baseline, const QStringList &fields)
{
    const FileState after = stateOf(dataFile);
    if (after.schema != baseline.schema)
        run.fail(QStringLiteral("the schema changed"));
    TableChange placeChange;
    for (auto it = baseline.rows.cbegin(); it != baseline.rows.cend(); ++it) {
        const TableChange change = changeOf(it.value(), after.rows.value(it.key()));
        if (run.place.table && it.key() == QString::fromUtf8(run.place.table))
            placeChange = change;
        else if (!change.isEmpty())
            run.fail(QStringLiteral("table %1 changed: %2 rows out, %3 in")
                         .arg(it.key())
                         .arg(change.removed.size())
                         .arg(change.added.size()));
    }
    for (const ui::Message &message : recorder.messages) {
        if (!holdsChinese(message.text))
            run.fail(QStringLiteral("a message without a Chinese word: %1").arg(shown(message.text)));
        // The engine could not read the statement: the text reached it as SQL, not as a value.
        for (ds::ErrorCode code : {ds::ErrorCode::SyntaxError, ds::ErrorCode::MultipleStatements}) {
            if (message.text.contains(ds::describe(code)))
                run.fail(QStringLiteral("the text broke the statement: %1").arg(shown(message.text)));
        }
    }
    bool stored = false;
    if (run.place.table) {
        if (!placeChange.isEmpty()) {
            const QString why = run.place.readBack(*this, fields, placeChange);
            stored = why.isEmpty();
            if (!stored)
                run.fail(why);
        } else if (recorder.messages.isEmpty()) {
            run.fail(QStringLiteral("nothing stored and nothing said"));
        }
    }
    if (run.place.afterPress) {
        const QString why = run.place.afterPress();
        if (!why.isEmpty())
            run.fail(why);
    }
    return stored;
}

void HostileFixture::press(QWidget *screen, const char *name)
{
    const QString objectName = QString::fromLatin1(name);
    if (auto *button = screen->findChild<QPushButton *>(objectName))
        QTest::mouseClick(button, Qt::LeftButton);
    else if (auto *action = screen->findChild<QAction *>(objectName))
        action->trigger();
    else if (QWidget *box = screen->findChild<QWidget *>(objectName))
        QTest::keyClick(box, Qt::Key_Return);
}

} // namespace hostile
