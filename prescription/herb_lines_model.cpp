#include "prescription/herb_lines_model.h"

namespace rx {
namespace {

QString *field(RxLine &line, int column)
{
    switch (column) {
    case HerbLinesModel::Name:
        return &line.name;
    case HerbLinesModel::Dose:
        return &line.dose;
    case HerbLinesModel::Unit:
        return &line.unit;
    case HerbLinesModel::Note:
        return &line.note;
    default:
        return nullptr;
    }
}

} // namespace

bool HerbLinesModel::holdsHerbs() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const RxLine &line) { return !line.isEmpty(); });
}

void HerbLinesModel::setLines(const QList<RxLine> &lines)
{
    beginResetModel();
    m_lines = lines;
    m_marks.clear();
    m_levels.clear();
    endResetModel();
    emit linesChanged();
}

void HerbLinesModel::replaceRow(int row, const QList<RxLine> &lines)
{
    if (row < 0 || row > m_lines.size())
        return;
    beginResetModel();
    if (row < m_lines.size())
        m_lines.remove(row);
    for (qsizetype i = 0; i < lines.size(); ++i)
        m_lines.insert(row + i, lines[i]);
    m_marks.clear();
    m_levels.clear();
    endResetModel();
    emit linesChanged();
}

void HerbLinesModel::removeRow(int row)
{
    if (row < 0 || row >= m_lines.size())
        return;
    beginRemoveRows({}, row, row);
    m_lines.remove(row);
    if (row < m_marks.size())
        m_marks.remove(row);
    if (row < m_levels.size())
        m_levels.remove(row);
    endRemoveRows();
    emit linesChanged();
}

void HerbLinesModel::setFindings(const QList<Finding> &findings)
{
    m_marks = QList<QStringList>(m_lines.size());
    m_levels = QList<int>(m_lines.size(), -1);
    for (const Finding &finding : findings) {
        for (int row : finding.lines) {
            if (row < 0 || row >= m_lines.size())
                continue;
            if (!m_marks[row].contains(ruleWord(finding.rule)))
                m_marks[row].append(ruleWord(finding.rule));
            if (m_levels[row] < 0 || int(finding.level) < m_levels[row])
                m_levels[row] = int(finding.level);
        }
    }
    if (!m_lines.isEmpty())
        emit dataChanged(index(0, Marks), index(int(m_lines.size()) - 1, Marks));
}

int HerbLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size()) + 1;
}

int HerbLinesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HerbLinesModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= m_lines.size())
        return {};
    if (index.column() == Marks) {
        // The gravest level in words, then every rule found on the line: "禁忌：十九畏、毒性".
        if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && row < m_marks.size() && !m_marks[row].isEmpty())
            return QStringLiteral("%1：%2").arg(levelWord(Level(m_levels[row])), m_marks[row].join(QStringLiteral("、")));
        if (role == kLevelRole && row < m_levels.size() && m_levels[row] >= 0)
            return m_levels[row];
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    RxLine line = m_lines[row];
    const QString *text = field(line, index.column());
    return text ? *text : QVariant();
}

QVariant HerbLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char16_t *const captions[] = {u"名称", u"剂量", u"单位", u"脚注", u"核对"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(captions[section]) : QVariant();
}

Qt::ItemFlags HerbLinesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == Marks)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool HerbLinesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() > m_lines.size())
        return false;
    const QString text = value.toString().trimmed();
    const int row = index.row();
    if (row == m_lines.size()) {
        if (text.isEmpty())
            return false;
        beginInsertRows({}, row + 1, row + 1); // the empty row moves down one
        m_lines.append(RxLine());
        endInsertRows();
    }
    RxLine &line = m_lines[row];
    QString *edited = field(line, index.column());
    if (!edited || *edited == text)
        return false;
    *edited = text;
    // A figure without a unit is grams, as the sheet will print it.
    if (index.column() == Dose && line.unit.isEmpty() && line.amount())
        line.unit = QStringLiteral("g");
    emit dataChanged(this->index(row, 0), this->index(row, Marks));
    emit linesChanged();
    return true;
}

} // namespace rx
