#include "dictionaries/rebuild_progress.h"

namespace dict {

qint64 roundHalfToEven(qint64 numerator, qint64 denominator)
{
    qint64 quotient = numerator / denominator;
    const qint64 twice = 2 * (numerator % denominator);
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

PassProgress::PassProgress(int base, int span, qint64 count)
    : m_step(count > 0 ? roundHalfToEven(span * kScale, count) : 0)
    , m_units(base * kScale)
{
}

QString PassProgress::percentText() const
{
    return QString::number(roundHalfToEven(m_units, kScale)) + QLatin1Char('%');
}

} // namespace dict
