#include "ui/workbook_export.h"

#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/pointer.h"

#include <QDir>

namespace ui {

void exportWorkbook(const WorkbookExport &what, int rows, const std::function<sheet::ListSheet()> &makeList)
{
    if (rows == 0) {
        msgBox(QStringLiteral("列表中没有%1，没有导出。").arg(what.noun), Icon::Information);
        return;
    }
    const QString path = chooseFile({FileDialogMode::Save, what.title, QDir::home().filePath(what.fileName),
                                     QStringLiteral("Excel 工作簿(*.xlsx)"), QStringLiteral("xlsx")});
    if (path.isEmpty())
        return;
    sheet::ListSheet list;
    sheet::WriteResult result;
    {
        const BusyPointer busy;
        list = makeList();
        result = sheet::writeXlsx(list, path);
    }
    msgBox(sheet::writeMessage(result, path, QStringLiteral("%1 %2%3").arg(list.rows.size()).arg(what.measure, what.noun)),
           result == sheet::WriteResult::Written ? Icon::Information : Icon::Exclamation);
}

} // namespace ui
