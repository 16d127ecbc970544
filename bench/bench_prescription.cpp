// The prescription pad at 50,000 herbs and 100,000 aliases: the check of 30 lines with 孕 ticked
// and one keystroke's completion list, each over what the pad reads once for a state of the data
// file; and a 30-herb 处方笺 written as a PDF.

#include "datastore/data_file.h"
#include "generated_herbs.h"
#include "prescription/pad_data.h"
#include "prescription/prescription_sheet.h"
#include "seed_copy.h"
#include "ui/fonts.h"
#include "ui/print_preview.h"

#include "figures.h"

#include <QApplication>
#include <QFile>
#include <QStringListModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kHerbs = 50000;
constexpr int kAliases = 100000;

// Thirty lines a doctor may write, with every rule's cases among them.
const QString kThirtyLines = QStringLiteral("柴胡12 黄芩9 法夏9 党参10 炙甘草6 生姜9 大枣4枚 桃仁10 红花6 当归10 "
                                            "川芎6 赤芍10 生地15 枳壳10 桔梗6 牛膝10 云苓15 白术10 陈皮6 藜芦0.5 "
                                            "甘草6 甘遂1 细辛10 附子20 半夏9 丁香3 郁金10 二丑6 巴豆霜0.1 仙丹草9");

// The generated herbs with the seed's own beside them, and the generated aliases with the
// shipped ones, so the thirty lines name real herbs among the 50,000.
const rx::PadData &bigPad()
{
    static const ds::AliasTable aliases = [] {
        QList<ds::AliasLine> lines = bench::generatedAliasLines(kHerbs, kAliases);
        QFile shipped(QStringLiteral(":/ccherb/aliases.tsv"));
        if (shipped.open(QIODevice::ReadOnly))
            lines += ds::parseAliasTable(QString::fromUtf8(shipped.readAll()), QStringLiteral("aliases.tsv"));
        return ds::AliasTable(lines);
    }();
    static const rx::PadData pad(
        [] {
            rx::HerbFactTable facts;
            ds::Database generated = ds::openDataFile(bench::GeneratedDataFile::shared(kHerbs).path());
            facts.addRows(generated);
            generated.close();
            QTemporaryDir dir;
            ds::Database seed = ds::openDataFile(bench::freshCopy(dir));
            facts.addRows(seed);
            return facts;
        }(),
        aliases);
    return pad;
}

// What opening the pad reads once for a state of the data file: the herbs' facts, the names and
// the completion index with every name's initials. Run once, before anything else worked out
// initials.
void BM_PadRead(benchmark::State &state)
{
    const QString path = bench::GeneratedDataFile::shared(kHerbs).path();
    const ds::AliasTable aliases = bench::generatedAliases(kHerbs, kAliases);
    for (auto _ : state) {
        ds::Database db = ds::openDataFile(path);
        const rx::PadData pad(rx::HerbFactTable::ofDataFile(db), aliases);
        benchmark::DoNotOptimize(&pad);
    }
}

void BM_PrescriptionCheck(benchmark::State &state)
{
    const rx::PadData &pad = bigPad();
    const rx::Prescription prescription {rx::linesFromText(kThirtyLines), true, QStringLiteral("水煎服")};
    if (prescription.lines.size() != 30 || pad.facts().all().size() <= kHerbs) {
        state.SkipWithError("not thirty lines over the 50,000 herbs");
        return;
    }
    qsizetype found = 0;
    for (auto _ : state)
        found = pad.check().check(prescription).size();
    state.counters["findings"] = double(found);
}

// The list as the screen makes it at a keystroke: the entries and the texts its view shows.
void BM_Completion(benchmark::State &state)
{
    const rx::PadData &pad = bigPad();
    QStringListModel list;
    for (auto _ : state) {
        QStringList texts;
        for (const rx::CompletionEntry &entry : pad.completion().complete(QStringLiteral("c")))
            texts.append(entry.text());
        list.setStringList(texts);
    }
    if (list.rowCount() == 0)
        state.SkipWithError("nothing offered for c");
}

void BM_PrescriptionSheet(benchmark::State &state)
{
    // Fonts and PDF writing need the toolkit; the other benchmarks do not.
    static int argc = 1;
    static char name[] = "ccherb-bench";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
        ui::installFontSubstitutions();
    }
    rx::PrescriptionSheet sheet{QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"), QStringLiteral("5550123"),
                                QDate(2026, 12, 7), QStringLiteral("张三"), QStringLiteral("女"), QStringLiteral("32"),
                                QStringLiteral("脾虚湿盛"), rx::linesFromText(kThirtyLines), QStringLiteral("7"),
                                QStringLiteral("水煎服，每日一剂，分两次温服"), QStringLiteral("王医生")};
    for (rx::RxLine &line : sheet.lines)
        line.note = QStringLiteral("先煎");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    for (auto _ : state) {
        if (!ui::writePdf({QStringLiteral("处方笺"), rx::sheetHtml(sheet), ui::Paper::A5, 11}, path))
            state.SkipWithError("the PDF was not written");
    }
}

} // namespace

BENCHMARK(BM_PadRead)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrescriptionCheck)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Completion)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PrescriptionSheet)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

std::vector<bench::Figure> prescriptionFigures(const bench::Medians &medians)
{
    std::vector<bench::Figure> figures;
    const std::pair<const char *, const char *> named[] = {{"BM_PrescriptionCheck", "prescription_check_50000"},
                                                           {"BM_Completion", "completion_50000"},
                                                           {"BM_PrescriptionSheet", "prescription_sheet"}};
    for (const auto &[benchmark, figure] : named) {
        if (const auto median = medians.find(benchmark); median != medians.end())
            figures.push_back({figure, median->second, "ms"});
    }
    if (const auto read = medians.find("BM_PadRead"); read != medians.end())
        std::printf("\nthe pad's first read of %d herbs and %d aliases (facts, names, completion index): %.0f ms\n",
                    kHerbs, kAliases, read->second);
    if (figures.size() == 3)
        std::printf("\nprescription pad at %d herbs and %d aliases, median: check of 30 lines %.3f ms (aim 5), "
                    "completion of \"c\" %.3f ms (aim 16); a 30-herb sheet as PDF %.1f ms (aim 300)\n",
                    kHerbs, kAliases, figures[0].value, figures[1].value, figures[2].value);
    return figures;
}

const int registered = bench::registerClosing(&prescriptionFigures);

} // namespace
