#include "prescription/shipped_tables.h"

#include "datastore/errors.h"

#include <QFile>

namespace rx {
namespace {

QString resourceText(const QString &name)
{
    QFile file(QStringLiteral(":/ccherb/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw ds::RunError(ds::ErrorCode::FileNotFound, file.fileName());
    return QString::fromUtf8(file.readAll());
}

} // namespace

PrescriptionTables readShippedTables(const QSet<QString> *shippedHerbs)
{
    const QString incompatibilities = QStringLiteral("incompatibilities.tsv");
    const QString pregnancy = QStringLiteral("pregnancy.tsv");
    const QString compounds = QStringLiteral("compound_names.tsv");
    return {parseIncompatibilities(resourceText(incompatibilities), incompatibilities, shippedHerbs),
            parsePregnancyTable(resourceText(pregnancy), pregnancy, shippedHerbs),
            parseCompoundNames(resourceText(compounds), compounds, shippedHerbs)};
}

const PrescriptionTables &shippedTables()
{
    static const PrescriptionTables tables = readShippedTables();
    return tables;
}

} // namespace rx
