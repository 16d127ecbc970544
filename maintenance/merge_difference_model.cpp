#include "maintenance/merge_difference_model.h"

namespace maint {

MergeDifferenceModel::MergeDifferenceModel(ImportKind kind, const QList<Difference> &differences, QObject *parent)
    : QAbstractTableModel(parent)
    , m_kind(kind)
    , m_differences(differences)
{
    for (qsizetype i = 0; i < differences.size(); ++i) {
        for (const int field : differences[i].fields)
            m_lines.append({i, field});
    }
}

int MergeDifferenceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int MergeDifferenceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QString MergeDifferenceModel::text(const Line &line, int column) const
{
    const Difference &difference = m_differences[line.difference];
    switch (column) {
    case 0:
        return difference.theirs.value(0);
    case 1:
        return fieldNames(m_kind).value(line.field);
    case 2:
        return difference.ours.value(line.field);
    default:
        return difference.theirs.value(line.field);
    }
}

QVariant MergeDifferenceModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QString whole = text(m_lines[index.row()], index.column());
    // A stored text of nothing is a single space: say so rather than show an empty cell.
    if (whole.trimmed().isEmpty())
        return QStringLiteral("（空）");
    if (role == Qt::ToolTipRole)
        return whole;
    return QString(whole).replace(QLatin1String("\r\n"), QLatin1String(" "));
}

QVariant MergeDifferenceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
        return {};
    static const char16_t *const kHeaders[] = {u"项目", u"本机内容", u"导入的内容"};
    return section == 0 ? fieldNames(m_kind).value(0) : QString::fromUtf16(kHeaders[section - 1]);
}

} // namespace maint
