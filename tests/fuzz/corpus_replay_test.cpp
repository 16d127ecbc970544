// Every file of every fuzz target's corpus goes through the same property check as the fuzzer,
// so the inputs that once mattered keep being tried by the ordinary tests.
#include "fuzz_properties.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Target {
    const char *name;
    fuzz::Property property;
};

const Target kTargets[] = {
    {"normalize_field_text", fuzz::normalizeFieldText},
    {"keyword_splitter", fuzz::keywordSplitter},
    {"like_pattern", fuzz::likePattern},
    {"data_file_open", fuzz::dataFileOpen},
    {"query_text", fuzz::queryText},
};

} // namespace

TEST(FuzzCorpus, EveryFileOfEveryTargetKeepsItsProperty)
{
    for (const Target &target : kTargets) {
        SCOPED_TRACE(target.name);
        const QDir corpus(QStringLiteral(CC_FUZZ_CORPUS_DIR "/") + target.name);
        const QStringList files = corpus.entryList(QDir::Files);
        EXPECT_GE(files.size(), 5) << "the corpus of " << target.name << " is missing";
        for (const QString &name : files) {
            QFile file(corpus.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_EQ(target.property(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), "")
                << name.toStdString();
        }
        std::printf("fuzz corpus %s: %d files replayed\n", target.name, int(files.size()));
    }
}
