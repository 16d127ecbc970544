#include "prescription/pad_data.h"

#include "datastore/data_file.h"
#include "datastore/database.h"

#include <QFile>

#include <sys/stat.h>

#include <tuple>

namespace rx {
namespace {

// A file's state as the file system tells it; any write through SQLite changes its times.
using FileState = std::tuple<dev_t, ino_t, off_t, long, long, long, long>;

FileState stateOf(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {status.st_dev,          status.st_ino,          status.st_size,          status.st_mtim.tv_sec,
            status.st_mtim.tv_nsec, status.st_ctim.tv_sec,  status.st_ctim.tv_nsec};
}

} // namespace

PadData::PadData(HerbFactTable facts, const ds::AliasTable &aliases)
    : m_facts(std::move(facts))
    , m_names(m_facts.names(), aliases)
    , m_check(m_names, m_facts)
    , m_completion(m_facts, aliases)
{
}

PadData::PadData(ds::Database &db)
    : PadData(HerbFactTable::ofDataFile(db))
{
}

std::shared_ptr<const PadData> PadData::of(const QString &path)
{
    static QString keptPath;
    static FileState keptState;
    static std::shared_ptr<const PadData> kept;
    const FileState state = stateOf(path);
    if (kept && path == keptPath && state == keptState && state != FileState())
        return kept;
    std::shared_ptr<const PadData> read;
    {
        ds::Database db = ds::openDataFile(path);
        read = std::make_shared<const PadData>(db);
    }
    kept = read;
    keptPath = path;
    // The state before the read: a change while it read is met by the next call.
    keptState = state;
    return kept;
}

} // namespace rx
