#include "maintenance/picture_store.h"

#include "datastore/database.h"
#include "datastore/errors.h"
#include "datastore/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <limits>

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
    if (size > std::numeric_limits<int>::max())
        throwFileError(ds::ErrorCode::ValueTooLong, QStringLiteral("图片文件太大，不能保存"), path);

    ds::Transaction transaction(db);
    const qint64 rowId = firstRowId(db);
    db.execute(QStringLiteral("UPDATE 系统资料 SET \"03\" = zeroblob(?1) WHERE rowid = ?2"), {size, rowId});
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
