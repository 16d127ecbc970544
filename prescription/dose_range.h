#pragma once

#include <QString>

#include <optional>

namespace rx {

// The dose a herb's 用法 gives for one day's decoction: "煎服，3～9克" gives 3 to 9 g.
struct DoseRange {
    double low = 0;
    double high = 0;
    QString unit; // "g" for 克 and g, "毫升" for ml; otherwise as written (枚, 个, 片 …)
    QString text; // as the 用法 writes it: "3～9克"
};

// Reads the range from a 用法 text as the herb texts word it and as a clinic may retype it
// ("3-9g", "3至9克"). Of several ranges, the first one said of a decoction (煎服, 煎汤, 入煎,
// 另煎; not "不入煎剂"), else the first one not said of outward use (外用); a single amount
// ("每次1克") when the text gives no range. Nothing when no amount can be read: no limit is then
// known.
std::optional<DoseRange> doseRange(const QString &usage);

// A dose as the prescription writes it, in the range's terms: "" and "g" are grams; "ml" is 毫升.
QString doseUnit(const QString &written);

// An amount without trailing zeros: 1.5, 10.
QString amountText(double amount);

// Full-width digits, point and Latin letters as their ASCII twins, one for one.
QString asciiTwins(const QString &text);

} // namespace rx
