#pragma once

#include <QString>

namespace ds {
class AliasTable;
}

// The condition on a name column that the browse query and the entry screen's condition search
// both build from a typed name.
namespace browse {

// "column like '*name*'", the name trimmed of ASCII spaces and its quotes doubled. A name of
// ASCII letters alone also finds the herbs whose names' pinyin initials hold those letters, by
// the materia medica's reading or the everyday one (ds::searchedInitials: zl and cl both find
// 重楼): "(名称 like '*dg*' or pinyin_initials(名称) like '*dg*')".
QString nameCondition(const QString &column, const QString &typedName);

// Whether a stored name meets nameCondition's condition for the typed name, as the engine judges it.
bool nameMeets(const QString &storedName, const QString &typedName);

// nameCondition's, and, when aliases match the typed name (AliasTable::herbsMatching), the herbs
// they name joined by OR, compared by their names without spaces, with and without the final
// "。": "(名称 like '*川军*' or trim(名称) in ('大黄','大黄。'))".
QString aliasedNameCondition(const QString &column, const QString &typedName, const ds::AliasTable &aliases);

} // namespace browse
