#include "herbs/print_text.h"

namespace herbs {

bool printFieldsComplete(const QStringList &)
{
    return false;
}

QString buildPrintText(const QStringList &, const QDate &)
{
    return {};
}

} // namespace herbs
