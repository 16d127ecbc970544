#pragma once

#include <QByteArray>
#include <QString>

namespace ds {
class Database;
}

namespace maint {

// The main window's background lives in column "03" of the first row of 系统资料, as the
// bytes of the picture file, whole.
inline constexpr qint64 kPicturePiece = 4096;

enum class StoreResult {
    Stored,
    EmptyFile // the file holds nothing; the stored picture stays as it was
};

// Writes the bytes of the file at path into the picture column in pieces of 4096 bytes,
// adding the row when the table has none; all or nothing. A missing or unreadable file is
// a RunError.
StoreResult storePictureFile(ds::Database &db, const QString &path);

// The stored picture's bytes; empty when there is no row or the column is empty.
QByteArray readStoredPicture(ds::Database &db);

// The message for a file that holds nothing: its path followed by the system's words.
QString emptyPictureMessage(const QString &path);

} // namespace maint
