#include "ui/print_preview.h"

#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/message_box.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QTextDocument>
#include <QToolBar>

namespace ui {
namespace {

PrintPreviewHandler &handler()
{
    static PrintPreviewHandler instance;
    return instance;
}

QPageSize pageSize(Paper paper)
{
    return QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::A5);
}

// Narrow enough for a prescription pad's printed frame, wide enough for any printer's edge.
QPageLayout pageLayout(Paper paper)
{
    return QPageLayout(pageSize(paper), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

void renderPage(const PrintRequest &request, QPagedPaintDevice *device)
{
    QTextDocument document;
    document.setDefaultFont(chineseFont(QStringLiteral("宋体"), request.points));
    document.setHtml(request.html);
    // Laid out on the paper's printable area, in the pixels the document measures fonts in.
    // Without a page size of its own the document would add margins of 2 cm inside the paper's
    // (an A5 sheet kept little more than half its width) and number the page.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? qRound(screen->logicalDotsPerInchX()) : 96;
    document.setPageSize(device->pageLayout().paintRectPoints().size() * (dpi / 72));
    document.print(device);
}

// Asks where, writes, and says how it went: a PDF that silently failed would be missed only
// when it is needed.
void saveAsPdf(const PrintRequest &request)
{
    FileDialogRequest where;
    where.mode = FileDialogMode::Save;
    where.title = QStringLiteral("保存为PDF");
    where.folder = QDir::homePath();
    where.filter = QStringLiteral("PDF文件(*.pdf)");
    where.defaultSuffix = QStringLiteral("pdf");
    const QString path = chooseFile(where);
    if (path.isEmpty())
        return;
    if (writePdf(request, path))
        msgBox(QStringLiteral("已保存为PDF文件：%1").arg(path), Icon::Information);
    else
        msgBox(QStringLiteral("不能保存PDF文件：%1\n请检查文件夹是否存在、是否可以写入，磁盘是否已满。").arg(path), Icon::Exclamation);
}

class PreviewDialog : public QPrintPreviewDialog {
public:
    PreviewDialog(const PrintRequest &request, QPrinter *printer, QWidget *parent)
        : QPrintPreviewDialog(printer, parent)
        , m_request(request)
        , m_printer(printer)
    {
        setObjectName(QStringLiteral("PrintPreview"));
        setWindowTitle(request.title);
        connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *to) { renderPage(m_request, to); });
        if (auto *tools = findChild<QToolBar *>())
            addOwnTools(tools);
    }

private:
    void addOwnTools(QToolBar *tools)
    {
        tools->addSeparator();
        auto *papers = new QActionGroup(this);
        for (Paper paper : {Paper::A5, Paper::A4}) {
            QAction *choice = tools->addAction(paper == Paper::A5 ? QStringLiteral("A5") : QStringLiteral("A4"));
            choice->setObjectName(paper == Paper::A5 ? QStringLiteral("PaperA5") : QStringLiteral("PaperA4"));
            choice->setCheckable(true);
            choice->setChecked(paper == m_request.paper);
            papers->addAction(choice);
            connect(choice, &QAction::triggered, this, [this, paper] { choosePaper(paper); });
        }
        tools->addSeparator();
        QAction *pdf = tools->addAction(QStringLiteral("保存为PDF"));
        pdf->setObjectName(QStringLiteral("SavePdf"));
        connect(pdf, &QAction::triggered, this, [this] { saveAsPdf(m_request); });
    }

    void choosePaper(Paper paper)
    {
        m_request.paper = paper;
        m_printer->setPageLayout(pageLayout(paper));
        if (auto *preview = findChild<QPrintPreviewWidget *>())
            preview->updatePreview();
    }

    PrintRequest m_request;
    QPrinter *m_printer;
};

} // namespace

bool writePdf(const PrintRequest &request, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(request.title);
        writer.setCreator(QStringLiteral("澄川本草"));
        writer.setPageLayout(pageLayout(request.paper));
        renderPage(request, &writer);
    }
    return file.commit();
}

void printPreview(const PrintRequest &request, QWidget *parent)
{
    if (handler()) {
        handler()(request);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(request.title);
    printer.setPageLayout(pageLayout(request.paper));
    PreviewDialog dialog(request, &printer, parent);
    dialog.exec();
}

void setPrintPreviewHandler(PrintPreviewHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace ui
