#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ui {

QTranslator *installToolkitTranslation()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        qWarning("The toolkit's Chinese translation (qtbase_zh_CN.qm) is not installed; its dialogs stay in English.");
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace ui
