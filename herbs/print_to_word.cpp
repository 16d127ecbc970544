#include "herbs/print_to_word.h"

#include "datastore/errors.h"
#include "herbs/odt_document.h"
#include "herbs/print_text.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/print_preview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace herbs {
namespace {

ProgramLauncher &launcher()
{
    static ProgramLauncher current;
    return current;
}

bool launch(const QString &program, const QStringList &arguments)
{
    if (launcher())
        return launcher()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void writeDocument(QFileDevice &file, const QString &text)
{
    const QByteArray bytes = odtTextDocument(text, DocumentFont{QStringLiteral("宋体"), 11, false});
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile);
}

// The word processor reads its document after this program has gone on, so each stays until
// the program ends.
QStringList &handedDocuments()
{
    static QStringList documents;
    return documents;
}

void keepUntilTheEnd(const QString &document)
{
    if (handedDocuments().isEmpty() && QCoreApplication::instance())
        qAddPostRoutine(removeHandedDocuments);
    handedDocuments().append(document);
}

// The hand-off's failure, and the program's own print preview in its place.
void offerOwnPrint(const ds::RunError &error, const QString &text, const QString &clinic)
{
    ui::Message offer;
    offer.text = ui::errorBoxText(error.number(), error.description(), ui::ErrorBoxForm::SignedNumberLine)
                 + QStringLiteral("\r\n\r\n药材资料已经放在剪贴板上。要用本系统的打印预览来打印吗？（可以选 A5 或 A4 纸，也可以保存为PDF）");
    offer.icon = ui::Icon::Question;
    offer.buttons = ui::Buttons::YesNo;
    if (ui::msgBox(offer) != ui::Answer::Yes)
        return;
    ui::PrintRequest page;
    page.title = QStringLiteral("药材资料打印");
    page.html = printPageHtml(clinic, text);
    page.paper = ui::Paper::A4;
    ui::printPreview(page, QApplication::activeWindow());
}

QString writeDocumentToTemporaryFolder(const QString &text)
{
    // An unusable temporary folder (TMPDIR naming a missing one) comes back as an empty path,
    // which would put the file at the root.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile);
    QTemporaryFile file(folder + QStringLiteral("/herb-print-XXXXXX.odt"));
    file.setAutoRemove(false);
    if (!file.open())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile);
    try {
        writeDocument(file, text);
    } catch (...) {
        file.remove();
        throw;
    }
    file.close();
    return file.fileName();
}

} // namespace

void writePrintDocument(const QString &text, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ds::RunError(ds::ErrorCode::CannotWriteFile);
    writeDocument(file, text);
    if (!file.commit())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile);
}

QString findWordProcessor()
{
    for (const char *name : {"soffice", "libreoffice", "lowriter"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return program;
    }
    return {};
}

bool wordProcessorCanShowWindows(const QString &program)
{
    const QFileInfo found(QFileInfo(program).canonicalFilePath());
    // A launcher script in a bin folder starts the suite installed beside it.
    const QStringList folders{found.absolutePath(),
                              found.absolutePath() + QStringLiteral("/../lib/libreoffice/program")};
    for (const QString &folder : folders) {
        if (!QDir(folder).entryList({QStringLiteral("libvclplug_*")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

void setProgramLauncher(ProgramLauncher newLauncher)
{
    launcher() = std::move(newLauncher);
}

void removeHandedDocuments()
{
    for (const QString &document : handedDocuments())
        QFile::remove(document);
    handedDocuments().clear();
}

void PrintToWord(const QString &text, const QString &clinic)
{
    // As the help says: whatever becomes of the hand-off, the text can be pasted elsewhere.
    if (qGuiApp)
        QGuiApplication::clipboard()->setText(text);
    try {
        const QString program = findWordProcessor();
        if (program.isEmpty())
            throw ds::RunError(ds::ErrorCode::CannotStartWordProcessor);
        if (!wordProcessorCanShowWindows(program)) {
            throw ds::RunError(ds::ErrorCode::CannotStartWordProcessor,
                               QStringLiteral("已安装的文字处理程序（%1）是不能显示窗口的版本，无法打开文档。"
                                              "请安装 libreoffice-writer（sudo apt install libreoffice-writer）后再打印。")
                                   .arg(program));
        }
        const QString document = writeDocumentToTemporaryFolder(text);
        if (!launch(program, {document})) {
            QFile::remove(document);
            throw ds::RunError(ds::ErrorCode::CannotStartWordProcessor);
        }
        keepUntilTheEnd(document);
    } catch (const ds::RunError &error) {
        offerOwnPrint(error, text, clinic);
    }
}

} // namespace herbs
