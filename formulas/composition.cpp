#include "formulas/composition.h"

#include "herbs/normalize_field_text.h"

#include <optional>

namespace formulas {
namespace {

const QChar kShared(0x5404); // 各: "荆芥、防风各6g"
const QChar kListComma(0x3001);
const QChar kFullStop(0x3002);

// What an item reads before it becomes an ingredient; an empty name is a dose or note that
// stands apart and belongs to the item before it.
struct Piece {
    QString name;
    QString amountText;
    double amount = 0;
    QString unit;
    QString note;
    bool shared = false;
};

// A character as the reader compares it: full-width digits, point, brackets and Latin letters
// as their ASCII twins, one for one, so positions stay those of the text.
QChar folded(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0xFF01 && u <= 0xFF5E ? QChar(char16_t(u - 0xFEE0)) : c;
}

QString foldedText(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = folded(text[i]);
    return out;
}

bool isSeparator(QChar c)
{
    const QChar f = folded(c);
    return f.isSpace() || f == kListComma || f == kFullStop || f == QLatin1Char(',') || f == QLatin1Char(';');
}

bool isOpen(QChar c) { return folded(c) == QLatin1Char('('); }
bool isClose(QChar c) { return folded(c) == QLatin1Char(')'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The closing bracket of the one at open, on its line and with no bracket opened between;
// -1 when there is none, and the bracket is then an ordinary character of its item.
qsizetype closingBracket(const QString &text, qsizetype open)
{
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        if (isClose(text[i]))
            return i;
        if (isOpen(text[i]) || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r'))
            return -1;
    }
    return -1;
}

struct Span {
    qsizetype start;
    qsizetype end;
};

// The items of the text: runs between separators, a bracketed note kept whole ("（打碎，先煎）").
QList<Span> itemSpans(const QString &text)
{
    QList<Span> spans;
    qsizetype i = 0;
    while (i < text.size()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && !isSeparator(text[i])) {
            const qsizetype close = isOpen(text[i]) ? closingBracket(text, i) : -1;
            i = close >= 0 ? close + 1 : i + 1;
        }
        spans.append({start, i});
    }
    return spans;
}

// The unit at the start of rest, in stored form, and how many characters it takes.
std::pair<QString, qsizetype> readUnit(QStringView rest)
{
    static const std::pair<QString, QString> written[] = {
        {QStringLiteral("毫升"), QStringLiteral("毫升")}, {QStringLiteral("ml"), QStringLiteral("毫升")},
        {QStringLiteral("g"), QStringLiteral("g")},       {QStringLiteral("克"), QStringLiteral("g")},
    };
    for (const auto &[as, stored] : written) {
        if (rest.startsWith(as, Qt::CaseInsensitive))
            return {stored, as.size()};
    }
    for (const QString &unit : units()) {
        if (rest.startsWith(unit))
            return {unit, unit.size()};
    }
    return {};
}

// The note that ends an item: "（先煎）" whole, or a note word; nullopt for anything else.
std::optional<QString> readNote(QStringView original, const QString &rest)
{
    if (rest.isEmpty())
        return QString();
    if (noteWords().contains(rest))
        return original.toString();
    if (rest.size() > 2 && rest.front() == QLatin1Char('(') && rest.indexOf(QLatin1Char(')')) == rest.size() - 1
        && rest.lastIndexOf(QLatin1Char('(')) == 0) {
        const QString note = original.mid(1, original.size() - 2).trimmed().toString();
        if (!note.isEmpty())
            return note;
    }
    return std::nullopt;
}

// The figure and unit at i of the folded item, i moved past them; false for a point without
// digits after it ("12.").
bool readFigure(const QString &f, qsizetype &i, Piece &piece)
{
    const qsizetype from = i;
    while (i < f.size() && isDigit(f[i]))
        ++i;
    if (i < f.size() && f[i] == QLatin1Char('.')) {
        if (++i == f.size() || !isDigit(f[i]))
            return false;
        while (i < f.size() && isDigit(f[i]))
            ++i;
    }
    piece.amountText = f.mid(from, i - from);
    piece.amount = piece.amountText.toDouble();
    const auto [unit, length] = readUnit(QStringView(f).mid(i));
    piece.unit = unit;
    i += length;
    return true;
}

std::optional<Piece> readPiece(QStringView original)
{
    const QString f = foldedText(original);
    Piece piece;
    if (noteWords().contains(f)) {
        piece.note = original.toString();
        return piece;
    }
    qsizetype i = 0;
    while (i < f.size() && !isDigit(f[i]) && f[i] != QLatin1Char('.') && f[i] != QLatin1Char('(') && f[i] != QLatin1Char(')'))
        ++i;
    QString name = original.left(i).toString();
    for (const QString &word : {QStringLiteral("适量"), QStringLiteral("少许")}) {
        if (name.endsWith(word)) {
            piece.amountText = word;
            name.chop(word.size());
            break;
        }
    }
    // A note may stand between name and dose: "甘草（炙）6g".
    const qsizetype close = f.indexOf(QLatin1Char(')'), i);
    if (piece.amountText.isEmpty() && i < f.size() && f[i] == QLatin1Char('(') && close > i
        && f.indexOf(QLatin1Char('('), i + 1) < 0 && close + 1 < f.size()) {
        piece.note = original.mid(i + 1, close - i - 1).trimmed().toString();
        i = close + 1;
    }
    if (piece.amountText.isEmpty() && i < f.size() && isDigit(f[i]) && !readFigure(f, i, piece))
        return std::nullopt;
    if (name.endsWith(kShared) && !piece.amountText.isEmpty()) {
        piece.shared = true;
        name.chop(1);
    }
    const std::optional<QString> note = readNote(original.mid(i), f.mid(i));
    if (!note || (!note->isEmpty() && !piece.note.isEmpty()))
        return std::nullopt;
    if (!note->isEmpty())
        piece.note = *note;
    // What is left of the name must not read as a 各 or an amount itself: "防风各各6g" is no
    // herb 防风各, and the stored form could not give the name back.
    if (name.endsWith(kShared) || name.endsWith(QStringLiteral("适量")) || name.endsWith(QStringLiteral("少许")))
        return std::nullopt;
    piece.name = name;
    if (name.isEmpty() && piece.amountText.isEmpty() && piece.note.isEmpty())
        return std::nullopt;
    return piece;
}

void giveDose(Ingredient &item, const Piece &piece)
{
    item.amountText = piece.amountText;
    item.amount = piece.amount;
    item.unit = piece.unit;
}

// Gives a dose or note standing apart to the items before it; false when none can take it.
bool attach(QList<Ingredient> &items, qsizetype undosedFrom, const Piece &piece)
{
    if (items.isEmpty())
        return false;
    Ingredient &last = items.last();
    const bool hasDose = !piece.amountText.isEmpty();
    if ((hasDose && undosedFrom >= items.size()) || (!piece.note.isEmpty() && !last.note.isEmpty()))
        return false;
    if (hasDose) {
        for (qsizetype i = piece.shared ? undosedFrom : items.size() - 1; i < items.size(); ++i)
            giveDose(items[i], piece);
    }
    if (!piece.note.isEmpty())
        last.note = piece.note;
    return true;
}

// A unit written apart from its figure: "云苓15 g".
bool attachUnit(QList<Ingredient> &items, QStringView original)
{
    if (items.isEmpty() || !items.last().hasFigure() || !items.last().unit.isEmpty())
        return false;
    const QString f = foldedText(original);
    const auto [unit, length] = readUnit(f);
    if (unit.isEmpty() || length != f.size())
        return false;
    items.last().unit = unit;
    return true;
}

} // namespace

Composition parseComposition(const QString &text)
{
    Composition read;
    QList<Ingredient> &items = read.ingredients;
    qsizetype undosedFrom = 0; // the first of the undosed items a 各 after them would dose
    bool afterItem = false;    // whether the part before was read as (part of) an ingredient
    for (const Span &span : itemSpans(text)) {
        const QStringView original = QStringView(text).mid(span.start, span.end - span.start);
        if (afterItem && attachUnit(items, original)) {
            items.last().length = span.end - items.last().position;
            continue;
        }
        const std::optional<Piece> piece = readPiece(original);
        if (piece && !piece->name.isEmpty()) {
            Ingredient item{piece->name, {}, 0, {}, piece->note, span.start, span.end - span.start};
            giveDose(item, *piece);
            if (piece->shared) {
                for (qsizetype i = undosedFrom; i < items.size(); ++i)
                    giveDose(items[i], *piece);
            }
            items.append(item);
            if (!item.amountText.isEmpty())
                undosedFrom = items.size();
            afterItem = true;
            continue;
        }
        if (afterItem && piece && attach(items, undosedFrom, *piece)) {
            if (!piece->amountText.isEmpty())
                undosedFrom = items.size();
            items.last().length = span.end - items.last().position;
            continue;
        }
        read.unread.append({original.toString(), span.start});
        undosedFrom = items.size();
        afterItem = false;
    }
    return read;
}

QString writeComposition(const QList<Ingredient> &ingredients)
{
    if (ingredients.isEmpty())
        return QStringLiteral(" ");
    QStringList parts;
    for (const Ingredient &item : ingredients) {
        QString part = item.name + item.amountText;
        if (item.hasFigure())
            part += item.unit.isEmpty() ? QStringLiteral("g") : item.unit;
        if (!item.note.isEmpty())
            part += QStringLiteral("（%1）").arg(item.note);
        parts.append(part);
    }
    // A note pasted with ASCII commas or spaces takes the stored form's punctuation.
    return herbs::NormalizeFieldText(parts.join(kListComma) + kFullStop);
}

QString storedComposition(const QString &text)
{
    const Composition read = parseComposition(text);
    if (read.unread.isEmpty() && !read.ingredients.isEmpty())
        return writeComposition(read.ingredients);
    return herbs::NormalizeFieldText(text);
}

const QStringList &units()
{
    static const QStringList all{QStringLiteral("g"),  QStringLiteral("枚"),   QStringLiteral("片"), QStringLiteral("个"),
                                 QStringLiteral("条"), QStringLiteral("毫升"), QStringLiteral("只"), QStringLiteral("粒"),
                                 QStringLiteral("茎"), QStringLiteral("寸")};
    return all;
}

const QStringList &noteWords()
{
    static const QStringList all{QStringLiteral("先煎"), QStringLiteral("后下"), QStringLiteral("包煎"),
                                 QStringLiteral("烊化"), QStringLiteral("冲服"), QStringLiteral("另煎"),
                                 QStringLiteral("兑服"), QStringLiteral("研末冲服")};
    return all;
}

} // namespace formulas
