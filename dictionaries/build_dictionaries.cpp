#include "dictionaries/build_dictionaries.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "dictionaries/keyword_store.h"
#include "dictionaries/rebuild_progress.h"

#include <optional>

namespace dict {
namespace {

const QString kEfficacyPhase = QStringLiteral("正在生成药材功效词典......");
const QString kIndicationPhase = QStringLiteral("正在生成药材主治词典......");

// One pass over a column of the herb table: which stored query reads it, where its share of
// the bar lies, and which dictionary it fills.
struct Pass {
    QString query;
    QString sql;
    QString phase;
    int base;
    int span;
    void (KeywordStore::*add)(const QString &);
    void (KeywordStore::*finish)();
};

class Rebuild {
public:
    Rebuild(startup::ProgressSink &sink, const std::function<void()> &yield)
        : m_sink(sink)
        , m_yield(yield)
    {
    }

    void run(const QString &dataFile)
    {
        // Every step that fails is left out and the next one runs; only the window's steps
        // always happen, so the progress window is shown and unloaded whatever the file does.
        ds::skipOnFailure([&] { m_db.emplace(ds::openDataFile(dataFile)); });
        if (m_db) {
            ds::skipOnFailure([&] { m_db->purgeQueries(); });
            // One transaction for the whole rebuild; without it nothing is written at all.
            if (ds::skipOnFailure([&] { m_db->beginTransaction(); }) && !ds::skipOnFailure([&] { m_store.emplace(*m_db); }))
                ds::skipOnFailure([&] { m_db->rollback(); });
        }
        // The dictionaries are not emptied first: each pass compares what its table holds with
        // the keywords as they come and writes only from the first herb that differs.
        pause();
        const Pass efficacy{QStringLiteral("000"), QStringLiteral("select 功效 FROM 中医药材 "), kEfficacyPhase, 0, 50,
                            &KeywordStore::AddEfficacyKeywords, &KeywordStore::finishEfficacy};
        const Pass indication{QStringLiteral("001"), QStringLiteral("select 主治 FROM 中医药材 "), kIndicationPhase, 50,
                              49, &KeywordStore::AddIndicationKeywords, &KeywordStore::finishIndication};
        createQuery(efficacy);
        m_sink.show();
        m_sink.setPercentText(QString());
        m_sink.setPhaseText(QString());
        pause();
        m_sink.setValue(0);
        pause();
        walk(efficacy);
        pause();
        createQuery(indication);
        walk(indication);
        finish();
        pause();
        m_sink.unload();
        pause();
    }

private:
    void pause()
    {
        if (m_yield)
            m_yield();
    }

    void createQuery(const Pass &pass)
    {
        if (m_db)
            ds::skipOnFailure([&] { m_db->createQuery(pass.query, pass.sql); });
        pause();
    }

    // The texts of the pass's column. A Null reads as the empty text: both add nothing.
    QStringList readTexts(const Pass &pass)
    {
        QStringList texts;
        if (m_db)
            ds::skipOnFailure([&] { texts = m_db->readColumn(pass.query, 0).texts; });
        return texts;
    }

    void walk(const Pass &pass)
    {
        // Every row counts, also after a first row whose text is Null: one herb imported
        // without a text must not hide the keywords of all the others.
        const QStringList texts = readTexts(pass);
        walkTexts(pass, texts);
        // A pass that read nothing leaves its dictionary empty.
        if (m_store && !m_store->transactionLost())
            (*m_store.*pass.finish)();
    }

    void walkTexts(const Pass &pass, const QStringList &texts)
    {
        if (texts.isEmpty())
            return;
        PassProgress progress(pass.base, pass.span, texts.size());
        m_sink.setPhaseText(pass.phase);
        for (const QString &text : texts) {
            progress.next();
            m_sink.setValue(progress.value());
            m_sink.setPercentText(progress.percentText());
            pause();
            if (m_store && !m_store->transactionLost())
                (*m_store.*pass.add)(text);
        }
    }

    void finish()
    {
        if (!m_db)
            return;
        if (m_store && !m_store->transactionLost() && m_db->inTransaction()) {
            m_store.reset();
            // A commit that fails leaves the dictionaries as they were before the rebuild.
            if (!ds::skipOnFailure([&] { m_db->commit(); }))
                ds::skipOnFailure([&] { m_db->rollback(); });
        }
        m_store.reset();
        m_db->close();
    }

    startup::ProgressSink &m_sink;
    const std::function<void()> &m_yield;
    std::optional<ds::Database> m_db;
    std::optional<KeywordStore> m_store;
};

} // namespace

void BuildDictionaries(const QString &dataFile, startup::ProgressSink &sink, const std::function<void()> &yield)
{
    Rebuild(sink, yield).run(dataFile);
}

} // namespace dict
