#include "maintenance/picture_store.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/statement.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace maint {
namespace {

const QString kFirstRow = QStringLiteral("SELECT rowid, \"03\" FROM 系统资料 ORDER BY rowid LIMIT 1");

[[noreturn]] void throwFileError(ds::ErrorCode code, const QString &what, const QString &path)
{
    throw ds::RunError(code, QStringLiteral("%1（%2）").arg(what, path));
}

// The engine's handle on the column's bytes, closed when it goes away.
class BlobWriter {
public:
    BlobWriter(sqlite3 *db, qint64 rowId)
        : m_db(db)
    {
        const int rc = sqlite3_blob_open(db, "main", "系统资料", "03", rowId, 1, &m_blob);
        if (rc != SQLITE_OK) {
            sqlite3_blob_close(m_blob);
            ds::throwEngineError(db, rc);
        }
    }
    ~BlobWriter() { sqlite3_blob_close(m_blob); }
    BlobWriter(const BlobWriter &) = delete;
    BlobWriter &operator=(const BlobWriter &) = delete;

    void write(const QByteArray &piece, qint64 offset)
    {
        const int rc = sqlite3_blob_write(m_blob, piece.constData(), int(piece.size()), int(offset));
        if (rc != SQLITE_OK)
            ds::throwEngineError(m_db, rc);
    }

private:
    sqlite3 *m_db;
    sqlite3_blob *m_blob = nullptr;
};

// The most the engine keeps in one value on this connection (10^9 bytes unless lowered).
qint64 engineLimit(ds::Database &db)
{
    return sqlite3_limit(db.handle(), SQLITE_LIMIT_LENGTH, -1);
}

[[noreturn]] void throwTooLarge(qint64 size, qint64 limit, const QString &path)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    throw ds::RunError(ds::ErrorCode::ValueTooLong,
                       QStringLiteral("图片文件太大，不能保存：它有 %1 字节（约 %2 MB），数据文件中的图片最多只能有 %3 字节（%4）。")
                           .arg(chinese.toString(size), QString::number(double(size) / 1e6, 'f', 1), chinese.toString(limit),
                                path));
}

qint64 firstRowId(ds::Database &db)
{
    {
        ds::Statement find(db.handle(), kFirstRow);
        if (find.step())
            return find.integer(0);
    }
    db.execute(QStringLiteral("INSERT INTO 系统资料 DEFAULT VALUES"));
    return sqlite3_last_insert_rowid(db.handle());
}

} // namespace

StoreResult storePictureFile(ds::Database &db, const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throwFileError(ds::ErrorCode::FileNotFound, QStringLiteral("找不到图片文件"), path);
    if (!file.open(QIODevice::ReadOnly))
        throwFileError(ds::ErrorCode::FileCannotBeOpened, QStringLiteral("图片文件不能打开"), path);
    const qint64 size = file.size();
    if (size == 0)
        return StoreResult::EmptyFile;
    const qint64 limit = engineLimit(db);
    if (size > limit)
        throwTooLarge(size, limit, path);

    ds::Transaction transaction(db);
    const qint64 rowId = firstRowId(db);
    try {
        db.execute(QStringLiteral("UPDATE 系统资料 SET \"03\" = zeroblob(?1) WHERE rowid = ?2"), {size, rowId});
    } catch (const ds::RunError &error) {
        // The picture fits the limit but its row, with the other columns, does not.
        if (error.number() == int(ds::ErrorCode::ValueTooLong))
            throwTooLarge(size, limit, path);
        throw;
    }
    {
        // Closed before the commit: an open handle on the column would hold the commit up.
        BlobWriter blob(db.handle(), rowId);
        for (qint64 offset = 0; offset < size; offset += kPicturePiece) {
            const qint64 wanted = std::min(kPicturePiece, size - offset);
            const QByteArray piece = file.read(wanted);
            if (piece.size() != wanted)
                throwFileError(ds::ErrorCode::CannotCopyFile, QStringLiteral("图片文件读取时发生了变化，没有保存"), path);
            blob.write(piece, offset);
        }
    }
    transaction.commit();
    return StoreResult::Stored;
}

QByteArray readStoredPicture(ds::Database &db)
{
    ds::Statement read(db.handle(), kFirstRow);
    return read.step() ? read.value(1).toByteArray() : QByteArray();
}

QString emptyPictureMessage(const QString &path)
{
    return path + QStringLiteral("无 内 容 或 不 存 在 !");
}

} // namespace maint
