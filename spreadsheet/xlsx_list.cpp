#include "spreadsheet/xlsx_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace sheet {
namespace {

constexpr double kDefaultWidth = 16;

struct WorkbookCloser {
    void operator()(lxw_workbook *book) const
    {
        if (book)
            workbook_close(book);
    }
};

// XML 1.0 has no place for control characters other than tab and line breaks; a workbook
// holding one does not open at all.
QByteArray cellText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            clean.append(c);
    }
    return clean.toUtf8();
}

bool fits(const ListSheet &list)
{
    for (const QStringList &row : list.rows) {
        for (const QString &text : row) {
            if (text.size() > kMaxCellText)
                return false;
        }
    }
    return true;
}

bool fill(lxw_workbook *book, const ListSheet &list)
{
    lxw_worksheet *page = workbook_add_worksheet(book, cellText(list.name).constData());
    lxw_format *header = workbook_add_format(book);
    format_set_bold(header);
    format_set_bg_color(header, 0xE8E8E8);
    format_set_border(header, LXW_BORDER_THIN);
    lxw_format *body = workbook_add_format(book);
    format_set_text_wrap(body);
    format_set_align(body, LXW_ALIGN_VERTICAL_TOP);
    if (!page || !header || !body)
        return false;

    const int columns = int(list.columns.size());
    for (int column = 0; column < columns; ++column) {
        const double width = column < list.widths.size() ? list.widths[column] : kDefaultWidth;
        if (worksheet_set_column(page, lxw_col_t(column), lxw_col_t(column), width, body) != LXW_NO_ERROR)
            return false;
        if (worksheet_write_string(page, 0, lxw_col_t(column), cellText(list.columns[column]).constData(), header)
            != LXW_NO_ERROR)
            return false;
    }
    for (int row = 0; row < list.rows.size(); ++row) {
        const QStringList &texts = list.rows[row];
        for (int column = 0; column < columns && column < texts.size(); ++column) {
            if (worksheet_write_string(page, lxw_row_t(row + 1), lxw_col_t(column), cellText(texts[column]).constData(),
                                       body)
                != LXW_NO_ERROR)
                return false;
        }
    }
    worksheet_freeze_panes(page, 1, 0);
    if (columns > 0)
        worksheet_autofilter(page, 0, 0, lxw_row_t(list.rows.size()), lxw_col_t(columns - 1));
    return true;
}

} // namespace

WriteResult writeXlsx(const ListSheet &list, const QString &path)
{
    if (!fits(list))
        return WriteResult::TextTooLong;
    const QFileInfo target(path);
    // A name of our own beside the target: the rename over it is then within one file system.
    QTemporaryFile scratch(target.absoluteDir().filePath(QStringLiteral(".%1-XXXXXX").arg(target.fileName())));
    if (!scratch.open())
        return WriteResult::CannotWrite;
    scratch.close();
    const QByteArray scratchName = QFile::encodeName(scratch.fileName());

    std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new(scratchName.constData()));
    if (!book || !fill(book.get(), list))
        return WriteResult::CannotWrite;
    if (workbook_close(book.release()) != LXW_NO_ERROR)
        return WriteResult::CannotWrite;

    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadWrite) || !written.flush() || ::fsync(written.handle()) != 0)
        return WriteResult::CannotWrite;
    written.close();
    if (std::rename(scratchName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return WriteResult::CannotWrite;
    scratch.setAutoRemove(false);
    return WriteResult::Written;
}

QString writeMessage(WriteResult result, const QString &path, const QString &what)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (result) {
    case WriteResult::Written:
        return QStringLiteral("已经把 %1导出到“%2”。").arg(what, file);
    case WriteResult::TextTooLong:
        return QStringLiteral("有的内容超过了 Excel 一个单元格能容纳的 %1 个字，没有导出。").arg(kMaxCellText);
    case WriteResult::CannotWrite:
        break;
    }
    return QStringLiteral("不能写入“%1”：这个位置不能写入、磁盘已满，或者文件正被其他程序打开。没有导出。").arg(file);
}

} // namespace sheet
