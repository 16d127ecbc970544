#pragma once

#include "herbs/herb_record.h"

#include <QStringList>

#include <optional>

namespace herbs {

// The herb the entry screen would drop changes of: the loaded herb, or the one whose name is
// typed, when one of its seven texts (the name is what is looked up, not a change) differs from
// what was shown once it was loaded, cleared or searched for, spaces around them aside. Nothing
// without a name to ask about: texts typed without one are search conditions.
std::optional<QString> unsavedHerb(const HerbRecord &shown, const HerbRecord &now, const QString &loaded);

QString dropChangesQuestion(const QString &herb);

// The question before a new herb is saved under a name that is an alias of stored herbs.
QString aliasSaveQuestion(const QString &name, const QStringList &herbs);

// What the status line says once text put into a box was cut to the box's limit: how many
// characters of what came in were kept.
QString cutNotice(qsizetype kept);

inline const QString kAlreadyStoredNotice = QStringLiteral("这味药材已经存在，保存修改请按“修改”");

} // namespace herbs
