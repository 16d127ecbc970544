#include "datastore/change_stamp.h"

#include "datastore/database.h"

#include <sqlcipher/sqlite3.h>

namespace ds {
namespace {

constexpr int kFirstPageBytes = 1024; // the cipher's page size

} // namespace

QByteArray changeStamp(Database &db)
{
    sqlite3_file *file = nullptr;
    if (!db.handle() || sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return {};
    QByteArray page(kFirstPageBytes, '\0');
    if (file->pMethods->xRead(file, page.data(), kFirstPageBytes, 0) != SQLITE_OK)
        return {};
    return page;
}

} // namespace ds
