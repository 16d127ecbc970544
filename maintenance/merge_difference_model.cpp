#include "maintenance/merge_difference_model.h"

#include <algorithm>

namespace maint {
namespace {

constexpr int kNameColumn = 0;
constexpr int kFieldColumn = 1;

} // namespace

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
    case kNameColumn:
        return difference.theirs.value(0);
    case kFieldColumn:
        return fieldNames(m_kind).value(line.field);
    case 2:
        return difference.ours.value(line.field);
    default:
        return difference.theirs.value(line.field);
    }
}

Qt::CheckState MergeDifferenceModel::differenceState(qsizetype difference) const
{
    int lines = 0;
    int taken = 0;
    for (const Line &line : m_lines) {
        if (line.difference == difference) {
            ++lines;
            taken += line.taken ? 1 : 0;
        }
    }
    return taken == 0 ? Qt::Unchecked : taken == lines ? Qt::Checked : Qt::PartiallyChecked;
}

QVariant MergeDifferenceModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Line &line = m_lines[index.row()];
    if (role == Qt::CheckStateRole) {
        if (index.column() == kNameColumn)
            return differenceState(line.difference);
        if (index.column() == kFieldColumn)
            return line.taken ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QString whole = text(line, index.column());
    // A stored text of nothing is a single space: say so rather than show an empty cell.
    if (whole.trimmed().isEmpty())
        return QStringLiteral("（空）");
    if (role == Qt::ToolTipRole)
        return whole;
    return QString(whole).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

bool MergeDifferenceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || index.column() > kFieldColumn)
        return false;
    const bool take = value.toInt() != Qt::Unchecked;
    const qsizetype difference = m_lines[index.row()].difference;
    // The herb's lines all change: its own tick shows on each of them.
    int first = index.row();
    int last = index.row();
    for (int row = 0; row < m_lines.size(); ++row) {
        Line &line = m_lines[row];
        if (line.difference != difference)
            continue;
        if (index.column() == kNameColumn || row == index.row())
            line.taken = take;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    emit dataChanged(this->index(first, kNameColumn), this->index(last, kFieldColumn), {Qt::CheckStateRole});
    emit takenChanged();
    return true;
}

Qt::ItemFlags MergeDifferenceModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() <= kFieldColumn ? shown | Qt::ItemIsUserCheckable : shown;
}

QVariant MergeDifferenceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
        return {};
    static const char16_t *const kHeaders[] = {u"项目", u"本机内容", u"导入的内容"};
    return section == kNameColumn ? fieldNames(m_kind).value(0) : QString::fromUtf16(kHeaders[section - 1]);
}

QList<std::pair<int, int>> MergeDifferenceModel::differenceLines() const
{
    QList<std::pair<int, int>> spans;
    for (int row = 0; row < m_lines.size(); ++row) {
        if (row == 0 || m_lines[row].difference != m_lines[row - 1].difference)
            spans.append({row, 0});
        ++spans.last().second;
    }
    return spans;
}

TakenTexts MergeDifferenceModel::taken() const
{
    TakenTexts taken(m_differences.size());
    for (const Line &line : m_lines) {
        if (line.taken)
            taken[line.difference].append(line.field);
    }
    return taken;
}

bool MergeDifferenceModel::anyTaken() const
{
    return std::any_of(m_lines.cbegin(), m_lines.cend(), [](const Line &line) { return line.taken; });
}

} // namespace maint
