// The toolkit's own dialogs and menus, as the program shows them, speak Chinese in any locale:
// the translation is loaded as the program loads it, and the real file dialogs open.
#include "qstring_printer.h"
#include "screen_fixture.h"
#include "ui/translation.h"
#include "wait.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTranslator>

#include <functional>

namespace {

// A word of Latin letters, which only an untranslated text holds here; file names and their
// patterns (ccyc.mdb, *.jpg) and a menu entry's shortcut after its tab (Ctrl+Z) are no words.
bool english(const QString &text)
{
    static const QRegularExpression fileName(QStringLiteral("\\S*\\.(mdb|bmp|jpe?g|png)\\b"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    return text.section(QLatin1Char('\t'), 0, 0).remove(fileName).remove(QLatin1Char('&')).contains(word);
}

// The English texts a window shows: captions, labels, tooltips, menu entries and column heads.
QStringList englishIn(const QWidget *window)
{
    QStringList texts;
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        texts << button->text() << button->toolTip();
    for (const QLabel *label : window->findChildren<QLabel *>())
        texts << label->text();
    for (const QAction *action : window->findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    for (const QHeaderView *header : window->findChildren<QHeaderView *>()) {
        for (int section = 0; header->model() && section < header->model()->columnCount(); ++section)
            texts << header->model()->headerData(section, Qt::Horizontal).toString();
    }
    QStringList found;
    for (const QString &text : texts) {
        if (english(text))
            found.append(text);
    }
    found.removeDuplicates();
    return found;
}

class ToolkitChinese : public MaintenanceScreen {
protected:
    ToolkitChinese()
        : translator(ui::installToolkitTranslation())
    {
        ui::setFileDialogHandler({}); // the real dialogs
    }
    ~ToolkitChinese() override
    {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }

    // Presses the button, which opens a real file dialog; inspect sees it, then it is cancelled.
    void openDialog(const char *button, const std::function<void(QFileDialog *)> &inspect)
    {
        bool seen = false;
        whenShown(
            screen, [] { return qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); },
            [&](QFileDialog *dialog) {
                seen = true;
                inspect(dialog);
                dialog->reject();
            });
        click(button);
        EXPECT_TRUE(seen) << button;
    }
    void expectChinese(const QWidget *window, const QString &what)
    {
        EXPECT_EQ(englishIn(window).join(QLatin1Char('|')), QString()) << what.toStdString();
    }
    // The context menu a right click opens on the control.
    void expectChineseContextMenu(QWidget *control, const QString &what)
    {
        bool seen = false;
        whenShown(
            control, [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); },
            [&](QMenu *menu) {
                seen = true;
                EXPECT_GE(menu->actions().size(), 3) << what.toStdString();
                expectChinese(menu, what);
                menu->close();
            });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(control, &event);
        EXPECT_TRUE(waitUntil([&] { return seen; })) << what.toStdString();
    }

    QTranslator *translator;
};

TEST_F(ToolkitChinese, EveryFileDialogAndItsReplaceQuestionSpeakChinese)
{
    ASSERT_NE(translator, nullptr) << "qtbase_zh_CN.qm (Debian package qt6-translations-l10n) is not installed";
    open("Frmcopy");
    openDialog("CmdPath", [&](QFileDialog *dialog) {
        expectChinese(dialog, "备份的保存对话框");
        // A name that exists: the dialog asks before replacing it.
        bool asked = false;
        QTimer::singleShot(0, dialog, [&] {
            ASSERT_TRUE(waitUntil([&] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); }));
            auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            asked = true;
            EXPECT_FALSE(english(question->text())) << question->text().toStdString();
            expectChinese(question, "替换文件的询问");
            question->reject();
        });
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(dataFile);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
        EXPECT_TRUE(asked);
    });
    QTest::mouseClick(control<QRadioButton>("Optcove"), Qt::LeftButton);
    openDialog("CmdPath", [&](QFileDialog *dialog) {
        expectChinese(dialog, "恢复的打开对话框");
        // The file list's own context menu.
        auto *list = dialog->findChild<QAbstractItemView *>("listView");
        ASSERT_NE(list, nullptr);
        // The folder is listed in the background; the menu holds a file's actions only over a file.
        ASSERT_TRUE(waitUntil([&] { return list->indexAt(QPoint(5, 5)).isValid(); }));
        expectChineseContextMenu(list->viewport(), "文件列表的右键菜单");
    });
    delete screen;

    open("FrmLinkDb");
    openDialog("CmdFileName", [&](QFileDialog *dialog) { expectChinese(dialog, "导入的打开对话框"); });
    expectChineseContextMenu(control<QLineEdit>("TxtFile"), "输入框的右键菜单");
    delete screen;

    open("FrmJczl");
    openDialog("CmdLoad", [&](QFileDialog *dialog) { expectChinese(dialog, "图片的打开对话框"); });

    // The herb texts are edited in boxes of this kind.
    QPlainTextEdit box;
    box.setPlainText(QStringLiteral("甘草。"));
    box.show();
    expectChineseContextMenu(box.viewport(), "多行文本框的右键菜单");
}

} // namespace
