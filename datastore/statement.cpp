#include "datastore/statement.h"

#include "datastore/connection_link.h"
#include "datastore/engine_text.h"
#include "datastore/errors.h"

#include <sqlcipher/sqlite3.h>

namespace ds {
namespace {

bool onlyBlanksAndSemicolons(const char *tail)
{
    for (; tail && *tail; ++tail) {
        const char c = *tail;
        if (c != ';' && c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

} // namespace

void throwEngineError(sqlite3 *db, int resultCode, const QString &context)
{
    // Errors a clinic user can act on get our description alone (with the file when known);
    // the rest carry the engine's own words as a detail for whoever supports the clinic.
    const QString engineText = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode));
    ErrorCode code = ErrorCode::DatabaseFailure;
    QString detail = context;
    switch (resultCode & 0xff) {
    case SQLITE_FULL:
        code = ErrorCode::DiskFull;
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        code = ErrorCode::FileInUse;
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        code = ErrorCode::FileReadOnly;
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        code = *fileStateCode(resultCode);
        break;
    case SQLITE_CANTOPEN:
        code = ErrorCode::FileCannotBeOpened;
        break;
    case SQLITE_TOOBIG:
        code = ErrorCode::ValueTooLong;
        break;
    case SQLITE_CONSTRAINT:
        // Only a unique key refused is a duplicate; an empty required value or a broken rule
        // is another mistake with its own message.
        switch (db ? sqlite3_extended_errcode(db) : resultCode) {
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            code = ErrorCode::DuplicateName;
            break;
        case SQLITE_CONSTRAINT_NOTNULL:
            code = ErrorCode::RequiredValueMissing;
            break;
        case SQLITE_CONSTRAINT_CHECK:
            code = ErrorCode::ValidationRuleViolated;
            break;
        default:
            code = ErrorCode::DatabaseFailure;
            break;
        }
        detail = engineText;
        break;
    case SQLITE_ERROR:
        code = engineText.startsWith(QLatin1String("no such table")) || engineText.startsWith(QLatin1String("no such column"))
                   ? ErrorCode::ObjectNotFound
                   : ErrorCode::SyntaxError;
        detail = engineText;
        break;
    default:
        detail = engineText;
        break;
    }
    throw RunError(code, detail.isEmpty() ? describe(code) : describe(code) + QStringLiteral("（%1）").arg(detail));
}

sqlite3 *liveHandle(const ConnectionLink &link)
{
    if (!link || !*link)
        throw RunError(ErrorCode::DatabaseFailure, describe(ErrorCode::DatabaseFailure) + QStringLiteral("（数据文件已经关闭）"));
    return *link;
}

Statement::Statement(sqlite3 *db, const QString &sql)
    : m_db(db)
{
    const QByteArray text = toEngineText(sql);
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, &tail);
    if (rc != SQLITE_OK)
        throwEngineError(db, rc);
    if (!m_stmt)
        throw RunError(ErrorCode::SyntaxError, describe(ErrorCode::SyntaxError) + QStringLiteral("（空语句）"));
    if (!onlyBlanksAndSemicolons(tail)) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw RunError(ErrorCode::MultipleStatements);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = toEngineText(value.toString());
            rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throwEngineError(m_db, rc);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwEngineError(m_db, rc);
}

int Statement::run()
{
    while (step()) {
    }
    return sqlite3_changes(m_db);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::isReadOnly() const
{
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_TEXT: {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QVariant(fromEngineText(data, sqlite3_column_bytes(m_stmt, column)));
    }
    default:
        return QVariant();
    }
}

QVariantList Statement::row() const
{
    QVariantList values;
    const int count = columnCount();
    values.reserve(count);
    for (int column = 0; column < count; ++column)
        values.append(value(column));
    return values;
}

std::string_view Statement::utf8(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(m_stmt, column))) : std::string_view();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

bool Statement::isText(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_TEXT;
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

} // namespace ds
