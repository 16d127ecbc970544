#include "herbs/unsaved_changes.h"

#include "datastore/herb_aliases.h"

namespace herbs {

std::optional<QString> unsavedHerb(const HerbRecord &shown, const HerbRecord &now, const QString &loaded)
{
    const QString herb = ds::aliasKey(loaded.isEmpty() ? now[kName] : loaded);
    if (herb.isEmpty())
        return std::nullopt;
    for (int field = kName + 1; field < kHerbFieldCount; ++field) {
        if (trimSpaces(shown[field]) != trimSpaces(now[field]))
            return herb;
    }
    return std::nullopt;
}

QString dropChangesQuestion(const QString &herb)
{
    return QStringLiteral("药材“%1”的修改还没有保存，放弃这些修改吗？").arg(herb);
}

QString aliasSaveQuestion(const QString &name, const QStringList &herbs)
{
    return QStringLiteral("“%1”是“%2”的别名，仍然作为新药材保存吗？")
        .arg(ds::aliasKey(name), herbs.join(QStringLiteral("”、“")));
}

QString cutNotice(qsizetype kept)
{
    if (kept == 0)
        return QStringLiteral("本栏已经写满，输入的内容没有加入");
    return QStringLiteral("粘贴的内容超过了本栏的长度，只保留了前 %1 个字").arg(kept);
}

} // namespace herbs
