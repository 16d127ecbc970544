#pragma once

#include "spreadsheet/xlsx_list.h"

#include <QString>

#include <functional>

namespace ui {

// What a screen's 导出 saves: the file dialog's title, the file name it offers in the home folder,
// and the rows' noun and measure ("方剂", "首").
struct WorkbookExport {
    QString title;
    QString fileName;
    QString noun;
    QString measure;
};

// Asks where to save (a list of no row is refused first), makes the list only then, under the
// busy pointer, writes it as an Excel workbook and tells what was saved where or why nothing was.
// A RunError of makeList reaches the caller.
void exportWorkbook(const WorkbookExport &what, int rows, const std::function<sheet::ListSheet()> &makeList);

} // namespace ui
