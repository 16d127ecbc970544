#include "herbs/print_text.h"
#include "herbs/print_to_word.h"
#include "print_office.h"
#include "qstring_printer.h"

#include "datastore/errors.h"
#include "message_recorder.h"
#include "ui/print_preview.h"
#include "word_processor_on_path.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char *name, const QString &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

struct Launch {
    QString program;
    QStringList arguments;
    QString clipboardAtStart;
};

// Every test records the launches instead of opening a word processor window, handing the
// document to a stand-in desktop word processor; only the conversions below run the installed
// LibreOffice, headless.
class PrintHandOff : public ::testing::Test {
protected:
    void SetUp() override
    {
        herbs::setProgramLauncher([this](const QString &program, const QStringList &arguments) {
            launches.append({program, arguments, QGuiApplication::clipboard()->text()});
            return launcherStarts;
        });
        ui::setPrintPreviewHandler([this](const ui::PrintRequest &request) { previews.append(request); });
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier clipboard"));
    }
    void TearDown() override
    {
        herbs::setProgramLauncher({});
        ui::setPrintPreviewHandler({});
        for (const Launch &launch : launches) {
            for (const QString &argument : launch.arguments) {
                if (argument.endsWith(QLatin1String(".odt")))
                    QFile::remove(argument);
            }
        }
    }

    // Prints with a desktop word processor on PATH.
    void print(const QString &text, bool canShowWindows = true)
    {
        WordProcessorOnPath office(canShowWindows);
        officeProgram = office.program();
        herbs::PrintToWord(text);
    }

    // The document of the one recorded launch.
    QString handedDocument() const
    {
        if (launches.size() != 1 || launches[0].arguments.isEmpty())
            return {};
        return launches[0].arguments.last();
    }

    static QString herbText()
    {
        QStringList fields{QStringLiteral("人参。"),         QStringLiteral("脾、肺、心经。"),
                           QStringLiteral("甘、微苦，微温。"), QStringLiteral("大补元气，复脉固脱。"),
                           QStringLiteral("体虚欲脱。"),       QStringLiteral("煎服，３～９克。"),
                           QString(),
                           // Spaces and a tab inside the notes must survive the document.
                           QStringLiteral("久病虚羸。\n  二行  有空格 a b\r\n\t三行")};
        return herbs::buildPrintText(fields, QDate(2026, 12, 6));
    }

    static QString errorText(ds::ErrorCode code)
    {
        return QStringLiteral("错误号码： %1\r\n错误内容：").arg(static_cast<int>(code)) + ds::describe(code);
    }

    MessageRecorder messages;
    QList<Launch> launches;
    QList<ui::PrintRequest> previews;
    bool launcherStarts = true;
    QString officeProgram;
};

QStringList lines(const QByteArray &converted)
{
    QString text = QString::fromUtf8(converted);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    QStringList all = herbs::printLines(text);
    if (!all.isEmpty() && all.last().isEmpty()) // the converter ends its last line
        all.removeLast();
    return all;
}

} // namespace

TEST_F(PrintHandOff, OpensTheDocumentInTheWordProcessorWithTheTextOnTheClipboard)
{
    const QString text = herbText();
    print(text);

    EXPECT_TRUE(messages.messages.isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches[0].program, officeProgram);
    EXPECT_EQ(launches[0].clipboardAtStart, text);
    const QFileInfo document(handedDocument());
    EXPECT_TRUE(document.isFile());
    EXPECT_GT(document.size(), 0);
    EXPECT_EQ(document.suffix(), QStringLiteral("odt"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);

    // Each hand-off gets a file of its own: the first may still be open in the word processor.
    print(text);
    ASSERT_EQ(launches.size(), 2);
    EXPECT_NE(launches[1].arguments.last(), launches[0].arguments.last());
    EXPECT_TRUE(QFileInfo::exists(launches[0].arguments.last()));
}

TEST_F(PrintHandOff, DocumentConvertsBackToThePrintText)
{
    ASSERT_FALSE(HeadlessOffice::program().isEmpty()) << "LibreOffice (soffice) must be installed";
    const QString text = herbText();
    print(text);
    ASSERT_FALSE(handedDocument().isEmpty());

    HeadlessOffice office;
    QString error;
    const QByteArray converted = office.convert(handedDocument(), QStringLiteral("txt:Text"), QStringLiteral("txt"), &error);
    ASSERT_FALSE(converted.isEmpty()) << error.toStdString();
    EXPECT_EQ(lines(converted), herbs::printLines(text));
}

TEST_F(PrintHandOff, EveryParagraphIsSongti11NotBold)
{
    ASSERT_FALSE(HeadlessOffice::program().isEmpty()) << "LibreOffice (soffice) must be installed";
    print(herbText());
    ASSERT_FALSE(handedDocument().isEmpty());

    HeadlessOffice office;
    QString error;
    const QByteArray flat = office.convert(handedDocument(), QStringLiteral("fodt"), QStringLiteral("fodt"), &error);
    ASSERT_FALSE(flat.isEmpty()) << error.toStdString();
    const QList<TextFont> fonts = bodyFonts(flat);
    ASSERT_EQ(fonts.size(), herbs::printLines(herbText()).size()); // one paragraph a line, no spans
    for (const TextFont &font : fonts) {
        SCOPED_TRACE(font.where.toStdString());
        EXPECT_EQ(font.family, QStringLiteral("宋体"));
        EXPECT_EQ(font.familyAsian, QStringLiteral("宋体"));
        EXPECT_EQ(font.size, QStringLiteral("11pt"));
        EXPECT_EQ(font.sizeAsian, QStringLiteral("11pt"));
        EXPECT_TRUE(font.weight.isEmpty() || font.weight == QStringLiteral("normal")) << font.weight.toStdString();
        EXPECT_TRUE(font.weightAsian.isEmpty() || font.weightAsian == QStringLiteral("normal"))
            << font.weightAsian.toStdString();
    }
}

TEST_F(PrintHandOff, WithoutAWordProcessorTheOwnPrintPreviewIsOfferedWithTheClinicAtTheTop)
{
    QTemporaryDir emptyFolder;
    EnvironmentGuard path("PATH", emptyFolder.path());
    ASSERT_TRUE(herbs::findWordProcessor().isEmpty());

    messages.answerNext(ui::Answer::No);
    herbs::PrintToWord(herbText(), QStringLiteral("二号中医诊所"));
    ASSERT_EQ(messages.messages.size(), 1);
    const ui::Message &box = messages.last();
    EXPECT_TRUE(box.text.startsWith(errorText(ds::ErrorCode::CannotStartWordProcessor) + QStringLiteral("\r\n\r\n")));
    EXPECT_EQ(box.buttons, ui::Buttons::YesNo);
    EXPECT_TRUE(previews.isEmpty());
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), herbText()); // as the help says, in every case

    // 是: the same text under the clinic's name, every line, in the program's own preview.
    herbs::PrintToWord(herbText(), QStringLiteral("二号中医诊所"));
    ASSERT_EQ(previews.size(), 1);
    QTextDocument page;
    page.setHtml(previews[0].html);
    EXPECT_EQ(herbs::printLines(page.toPlainText()),
              QStringList{QStringLiteral("二号中医诊所")} + herbs::printLines(herbText()));
}

TEST_F(PrintHandOff, AWordProcessorThatWillNotStartIsReportedAndLeavesNoFileAndTheClipboard)
{
    launcherStarts = false;
    print(herbText());

    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(errorText(ds::ErrorCode::CannotStartWordProcessor)));
    ASSERT_EQ(launches.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(launches[0].arguments.last()));
}

TEST_F(PrintHandOff, TheHandedDocumentsGoWhenTheProgramEnds)
{
    print(herbText());
    print(herbText());
    ASSERT_EQ(launches.size(), 2);
    herbs::removeHandedDocuments(); // what the program's end runs
    for (const Launch &launch : launches)
        EXPECT_FALSE(QFileInfo::exists(launch.arguments.last()));
}

TEST_F(PrintHandOff, AWordProcessorThatCannotShowAWindowIsNotStarted)
{
    const QDir temporary(QDir::tempPath());
    const QStringList before = temporary.entryList({QStringLiteral("herb-print-*")});
    print(herbText(), false);

    ASSERT_EQ(messages.messages.size(), 1);
    const QString box = messages.last().text;
    EXPECT_TRUE(box.startsWith(QStringLiteral("错误号码： 429\r\n错误内容："))) << box.toStdString();
    EXPECT_TRUE(box.contains(QStringLiteral("libreoffice-writer"))) << box.toStdString();
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(temporary.entryList({QStringLiteral("herb-print-*")}), before);

    // What is told apart: the plug-in beside the program, also behind a link or a launcher
    // script in a bin folder.
    WordProcessorOnPath desktop;
    WordProcessorOnPath server(false);
    EXPECT_TRUE(herbs::wordProcessorCanShowWindows(desktop.program()));
    EXPECT_FALSE(herbs::wordProcessorCanShowWindows(server.program()));
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("lib/libreoffice/program"));
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QFile(desktop.program()).link(root.filePath(QStringLiteral("bin/soffice-link")));
    EXPECT_TRUE(herbs::wordProcessorCanShowWindows(root.filePath(QStringLiteral("bin/soffice-link"))));
    QFile(server.program()).copy(root.filePath(QStringLiteral("bin/lowriter")));
    EXPECT_FALSE(herbs::wordProcessorCanShowWindows(root.filePath(QStringLiteral("bin/lowriter"))));
    QFile(root.filePath(QStringLiteral("lib/libreoffice/program/libvclplug_gtk3lo.so"))).open(QIODevice::WriteOnly);
    EXPECT_TRUE(herbs::wordProcessorCanShowWindows(root.filePath(QStringLiteral("bin/lowriter"))));
}

TEST_F(PrintHandOff, ADocumentThatCannotBeWrittenIsReported)
{
    QTemporaryDir base;
    const QString missing = base.filePath(QStringLiteral("no-such-folder"));
    {
        EnvironmentGuard tmp("TMPDIR", missing);
        print(herbText());
    }
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(errorText(ds::ErrorCode::CannotWriteFile)));
    EXPECT_TRUE(launches.isEmpty());

    try {
        herbs::writePrintDocument(herbText(), missing + QStringLiteral("/herb.odt"));
        ADD_FAILURE() << "writing into a missing folder did not fail";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), static_cast<int>(ds::ErrorCode::CannotWriteFile));
    }
}
