#include "herbs/print_to_word.h"

namespace herbs {

void PrintToWord(const QString &)
{
}

} // namespace herbs
