#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {

enum class Paper { A5, A4 };

// A page to print, as rich text (the subset QTextDocument reads). The text is set in 宋体 unless
// the markup names another face; the preview opens on the paper given, and the user may switch
// between A5 and A4 there.
struct PrintRequest {
    QString title; // the preview window's caption
    QString html;
    Paper paper = Paper::A5;
    double points = 11; // the body text's size
};

// The print preview: print to any printer the system knows, page set-up, A5 or A4, and
// "保存为PDF". Returns when the preview is closed.
void printPreview(const PrintRequest &request, QWidget *parent);

// Writes the page as a PDF file whose text can be selected and searched; false when the file
// cannot be written (the caller tells the user).
bool writePdf(const PrintRequest &request, const QString &path);

// Replaces the preview (tests take the request, and may write it as a PDF, without a modal
// loop); an empty handler brings the real preview back.
using PrintPreviewHandler = std::function<void(const PrintRequest &)>;
void setPrintPreviewHandler(PrintPreviewHandler handler);

} // namespace ui
