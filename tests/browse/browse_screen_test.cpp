#include "browse/column_widths.h"
#include "browse_screen_fixture.h"
#include "file_dialog_recorder.h"
#include "startup/screens.h"
#include "startup/run_mode.h"
#include "ui/pointer.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include "startup/frmhelp.h"

#include <QLabel>
#include <QProcess>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

namespace {

const QList<QVariantList> kHerbs{
    {"人参。", "归脾经。", "甘，微温。", "大补元气，生津。 ", "体虚欲脱。", "煎服。", "实证忌用。", "心得"},
    {"党参。", "归脾、肺经。", "甘，平。", "补脾益肺，生津。", "脾虚食少。"},
    {"黄连。", "归心经。", "苦，寒。", "清热燥湿。", "湿热痞满。"},
    {"无主治。", "归肝经。", "甘，温。", "补血。", QVariant()},
};

} // namespace

TEST_F(BrowseScreen, OpensOnAnEmptyTableWithTheMessageAndTheDefaultWidths)
{
    setHerbs({});
    open();
    EXPECT_EQ(messages.texts(), QStringList{"没有符合条件的药材。"});
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(messages.last().title, QString());
    EXPECT_EQ(grid()->model()->rowCount(), 0);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(combo("CboPxnr")->currentText(), "名称");
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(grid()->columnWidth(column), ui::twips(browse::kDefaultColumnWidths[size_t(column)])) << column;
    EXPECT_EQ(grid()->horizontalHeader()->height(), std::max(ui::twips(300), ui::rowHeight(grid()->font())));
}

TEST_F(BrowseScreen, ControlsCarryTheirCaptionsAndTooltips)
{
    setHerbs(kHerbs);
    open();
    EXPECT_EQ(screen->windowTitle(), "中医药材内容浏览");
    EXPECT_EQ(tabs()->tabText(0), "药材查询");
    EXPECT_EQ(tabs()->tabText(1), "查询结果浏览");
    const QList<std::pair<const char *, QString>> captions{
        {"Cmdseek", "查询&L"}, {"Cmdqcls", "清屏&Q"}, {"Cmdexit", "退出&E"}, {"CmdHelp", "使用帮助&H"},
        {"Cmdedit", "返回首页&B"}, {"CmdLink", "导入至处方"}, {"Label1", "名称"}, {"Label4", "功效1"},
        {"Label9", "主治3"}, {"Labbq1", "归经"}, {"Labbq7", "应用心得"},
    };
    for (const auto &[name, text] : captions) {
        QWidget *control = child<QWidget>(name);
        const QString shown = qobject_cast<QPushButton *>(control) ? qobject_cast<QPushButton *>(control)->text()
                                                                  : qobject_cast<QLabel *>(control)->text();
        EXPECT_EQ(shown, text) << name;
    }
    EXPECT_EQ(grid()->toolTip(), "点击鼠标选取要浏览的药材");
    EXPECT_EQ(combo("CboPxnr")->toolTip(), "点击选取升序排序条件");
    QPushButton *link = child<QPushButton>("CmdLink");
    EXPECT_FALSE(link->isEnabled());
    EXPECT_FALSE(link->isHidden());
    const QStringList sorts{"名称", "性味", "归经", "功效"};
    for (int i = 0; i < sorts.size(); ++i)
        EXPECT_EQ(combo("CboPxnr")->itemText(i), sorts[i]);
    EXPECT_EQ(grid()->model()->headerData(0, Qt::Horizontal).toString(), "  药 材 名 称");
}

TEST_F(BrowseScreen, OpensWithTheHerbsTheEmptyQueryFindsAndPickLists)
{
    setHerbs(kHerbs);
    setDictionary("药材功效", {"生津", "补气", "生津"});
    open();
    EXPECT_TRUE(messages.texts().isEmpty());
    // The herb without 主治 too: an empty condition asks nothing of its column.
    EXPECT_EQ(gridNames(), QStringList({"党参。", "黄连。", "人参。", "无主治。"}));
    EXPECT_EQ(grid()->rowHeight(0), std::max(ui::twips(300), ui::rowHeight(grid()->font())));
    for (const char *name : {"Cboycgx1", "Cboycgx2", "Cboycgx3"}) {
        EXPECT_EQ(combo(name)->count(), 2) << name;
        EXPECT_EQ(combo(name)->currentText(), "") << name;
    }
    EXPECT_EQ(combo("Cboycxw")->count(), 4);
}

TEST_F(BrowseScreen, SortChoiceRerunsTheQueryAndTheClearButtonResets)
{
    setHerbs(kHerbs);
    open();
    child<QLineEdit>("Txtmcyc")->setText("参");
    QTest::keyClick(child<QLineEdit>("Txtmcyc"), Qt::Key_Return); // Enter in a condition is 查询
    EXPECT_EQ(gridNames(), QStringList({"党参。", "人参。"}));
    EXPECT_EQ(child<QLabel>("Labsl")->text(), "共 2 味");
    combo("CboPxnr")->setCurrentIndex(1); // 性味: 甘，平 before 甘，微温
    EXPECT_EQ(gridNames(), QStringList({"党参。", "人参。"}));
    combo("CboPxnr")->setCurrentIndex(3); // 功效: 补脾益肺 before 大补元气
    EXPECT_EQ(gridNames(), QStringList({"党参。", "人参。"}));
    combo("Cboycgx1")->setEditText("大补");
    QTest::keyClick(combo("Cboycgx1"), Qt::Key_Enter);
    EXPECT_EQ(gridNames(), QStringList({"人参。"}));
    combo("CboPxnr")->setCurrentIndex(2);
    EXPECT_EQ(gridNames(), QStringList({"人参。"}));
    EXPECT_EQ(child<QLineEdit>("Txtmcyc")->text(), "参");
    // The grid reloads from the query the search left behind, as the table stands now.
    ds::openDataFile(dataFile).execute("INSERT INTO 中医药材 VALUES ('西洋参。', '归肺经。', '甘。', '大补气阴。', "
                                       "'气虚。', ' ', ' ', ' ')");
    screen->MsfGridYccx();
    EXPECT_EQ(gridNames(), QStringList({"西洋参。", "人参。"})); // by 归经

    click("Cmdqcls");
    EXPECT_EQ(child<QLineEdit>("Txtmcyc")->text(), "");
    EXPECT_EQ(combo("Cboycgx1")->currentText(), "");
    EXPECT_EQ(gridNames().size(), kHerbs.size() + 1); // the whole table, 主治 or not
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(BrowseScreen, AQueryThatFindsNothingSaysSoAndResets)
{
    setHerbs(kHerbs);
    open();
    combo("Cboycgx1")->setEditText("生津");
    combo("Cboycgx2")->setEditText("清热");
    child<QLineEdit>("Txtmcyc")->setText("人'");
    click("Cmdseek");
    EXPECT_EQ(messages.texts(), QStringList{"没有符合条件的药材。"});
    EXPECT_EQ(combo("Cboycgx1")->currentText(), "");
    EXPECT_EQ(combo("Cboycgx2")->currentText(), "");
    EXPECT_EQ(child<QLineEdit>("Txtmcyc")->text(), "");
    EXPECT_EQ(gridNames().size(), kHerbs.size());
    EXPECT_EQ(tabs()->currentIndex(), 0);
}

TEST_F(BrowseScreen, ClicksShowTheHerbOnlyForDataRows)
{
    setHerbs({kHerbs[0], kHerbs[1], {"   ", "归肝经。", "甘。", "补。", "治。"}});
    open();
    ASSERT_EQ(gridNames(), QStringList({"", "党参。", "人参。"}));

    QTest::mouseClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(ui::twips(2000), 5));
    const QRect last = grid()->visualRect(grid()->model()->index(2, 3));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, 3 * last.height()));
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_TRUE(messages.texts().isEmpty());

    clickCell(0, 0);
    EXPECT_EQ(messages.texts(), QStringList{"未有要查询的药材"});
    EXPECT_EQ(tabs()->currentIndex(), 0);

    clickCell(2, 3); // any column of the row
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(grid()->model()->index(2, 3).data().toString(), "大补元气，生津。");
    const QList<std::pair<const char *, QString>> shown{
        {"TxtYcmc", "人参。"}, {"Txtycxw", "甘，微温。"}, {"Txtycgj", "归脾经。"}, {"Txtycgy", "大补元气，生津。 "},
        {"Txtyczz", "体虚欲脱。"}, {"Txtycyj", "实证忌用。"}, {"Txtycyf", "煎服。"}, {"Txtycxd", "心得"},
    };
    for (const auto &[name, text] : shown)
        EXPECT_EQ(detail(name), text) << name;

    click("Cmdedit");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_FALSE(child<QPushButton>("CmdLink")->isEnabled());
    for (const auto &[name, text] : shown)
        EXPECT_EQ(detail(name), "") << name;
    EXPECT_TRUE(child<QPushButton>("Cmdseek")->hasFocus());
    EXPECT_EQ(gridNames().size(), 3);

    clickCell(1, 0); // on the frozen column
    EXPECT_EQ(detail("TxtYcmc"), "党参。");
    // 导入至处方 hands the herb shown to the prescription pad, and only while one is shown.
    QStringList handed;
    startup::registerScreen("Frmkcf", [](QWidget *) { return new QWidget; });
    startup::registerInbox("Frmkcf", [&handed](QWidget *, const QString &text) { handed.append(text); });
    click("CmdLink");
    startup::unregisterScreen("Frmkcf");
    EXPECT_EQ(handed, QStringList{"党参。"});
}

TEST_F(BrowseScreen, ANameWithSpacesAroundItShowsItsHerbOnClick)
{
    setHerbs({{" 甘草。  ", "归心经。"}, {"甘草。", "归脾经。"}}); // imported beside a herb of the trimmed name
    open();
    ASSERT_EQ(gridNames(), QStringList({"甘草。", "甘草。"}));
    clickCell(0, 1);
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_EQ(detail("TxtYcmc"), " 甘草。  ");
    EXPECT_EQ(detail("Txtycgj"), "归心经。");
    click("Cmdedit");
    clickCell(1, 0);
    EXPECT_EQ(detail("Txtycgj"), "归脾经。");
}

TEST_F(BrowseScreen, NameConditionFindsHerbsByTheirAliasesAndTheirTooltipsListThem)
{
    setHerbs({kHerbs[0], {"茯苓。", "归心、肺、脾、肾经。"}, {"大黄。", "归脾、胃经。"}});
    open();
    const std::pair<QString, QString> found[] = {{"川军", "大黄。"}, {"yl", "茯苓。"}, {"云", "茯苓。"}};
    for (const auto &[typed, herb] : found) {
        child<QLineEdit>("Txtmcyc")->setText(typed);
        click("Cmdseek");
        EXPECT_EQ(gridNames(), QStringList{herb}) << typed.toStdString();
    }
    EXPECT_TRUE(messages.texts().isEmpty());
    const QString tip = grid()->model()->index(0, 0).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith("别名：") && tip.endsWith("\n由别名“云苓”查到")) << tip.toStdString();
    clickCell(0, 2);
    EXPECT_EQ(child<QLineEdit>("TxtYcmc")->toolTip(), tip.section('\n', 0, 0));
    click("Cmdedit");
    EXPECT_EQ(child<QLineEdit>("TxtYcmc")->toolTip(), "");
}

TEST_F(BrowseScreen, ExportSavesTheHerbsTheGridLists)
{
    setHerbs(kHerbs);
    open();
    child<QLineEdit>("Txtmcyc")->setText("参");
    click("Cmdseek");
    FileDialogRecorder files;
    files.answerNext(home.file("药材.xlsx"));
    click("Cmdexpt");
    EXPECT_TRUE(messages.texts().last().startsWith("已经把 2 味药材导出到")) << messages.texts().join('|').toStdString();
    QProcess unzip;
    unzip.start("unzip", {"-p", home.file("药材.xlsx"), "xl/sharedStrings.xml"});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString strings = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(strings.contains("<t>党参。</t>") && strings.contains("<t>归脾、肺经。</t>") && !strings.contains("黄连"));
}

TEST_F(BrowseScreen, DetailBoxesAreReadOnlyAndEnterWalksToTheBackButton)
{
    setHerbs(kHerbs);
    open();
    clickCell(2, 1);
    ASSERT_EQ(tabs()->currentIndex(), 1);
    const char *chain[] = {"TxtYcmc", "Txtycxw", "Txtycgj", "Txtycgy", "Txtyczz", "Txtycyj", "Txtycyf", "Txtycxd"};
    QWidget *first = child<QWidget>(chain[0]);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Space);
    QTest::keyClicks(first, "a b");
    EXPECT_EQ(detail(chain[0]), "人参。");
    for (size_t i = 1; i < std::size(chain); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), child<QWidget>(chain[i])) << chain[i];
        if (auto *box = qobject_cast<QPlainTextEdit *>(child<QWidget>(chain[i])))
            EXPECT_EQ(box->textCursor().selectedText(), box->toPlainText()) << chain[i];
        else
            EXPECT_EQ(child<QLineEdit>(chain[i])->selectedText(), detail(chain[i])) << chain[i];
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("Cmdedit"));
    EXPECT_EQ(detail("Txtycxd"), "心得"); // Enter put no line break in
}

TEST_F(BrowseScreen, WidthsSavedByExitAndRestoredOnReopen)
{
    setHerbs(kHerbs);
    open();
    grid()->setColumnWidth(0, 120);
    grid()->setColumnWidth(2, 0);
    grid()->setColumnWidth(4, 55);
    click("Cmdexit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());

    const browse::StoredWidths stored = browse::ReadColW(dataFile);
    EXPECT_EQ(stored, (browse::StoredWidths{1800, 2000, 0, 3000, 825, 3500, 3600})); // unmoved ones as read

    open();
    EXPECT_EQ(grid()->columnWidth(0), 120);
    EXPECT_EQ(grid()->frozenView()->columnWidth(0), 120);
    EXPECT_EQ(grid()->columnWidth(2), 0); // narrowed to nothing: hidden
    EXPECT_EQ(grid()->columnWidth(4), 55);
    EXPECT_EQ(grid()->columnWidth(6), ui::twips(3600));
}

TEST_F(BrowseScreen, NameColumnStaysWhileTheOthersScrollSideways)
{
    setHerbs(kHerbs);
    open();
    QTableView *frozen = grid()->frozenView();
    ASSERT_TRUE(frozen->isVisible());
    const int frozenLeft = frozen->geometry().left();
    for (int column = 1; column < 7; ++column)
        EXPECT_TRUE(frozen->isColumnHidden(column)) << column;
    grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum());
    EXPECT_GT(grid()->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(frozen->geometry().left(), frozenLeft);
    EXPECT_EQ(frozen->width(), grid()->columnWidth(0));
    EXPECT_EQ(frozen->horizontalHeader()->height(), grid()->horizontalHeader()->height());
    EXPECT_EQ(frozen->rowViewportPosition(2), grid()->rowViewportPosition(2));
    // The frozen column's own header resizes the column under it too.
    frozen->horizontalHeader()->resizeSection(0, 150);
    EXPECT_EQ(grid()->columnWidth(0), 150);
    grid()->verticalHeader()->resizeSection(1, 44);
    EXPECT_EQ(frozen->rowHeight(1), 44);
}

TEST_F(BrowseScreen, HelpOpensTheBrowseSectionInHelpMode)
{
    setHerbs(kHerbs);
    open();
    startup::setHelpPageUrl(QUrl::fromLocalFile(QStringLiteral(CC_HELP_PAGE)));
    click("CmdHelp");
    startup::setHelpPageUrl({});
    QPointer<QWidget> help = visibleWindow(QStringLiteral("FrmHelp"));
    ASSERT_TRUE(help);
    EXPECT_EQ(namedControl<QTextBrowser>(help, QStringLiteral("TxtHelp"))->source().fragment(), "browse");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(startup::runMode(), "Y-C");
    EXPECT_TRUE(screen->isEnabled());
    startup::setRunMode(QString());
    delete help.data();
}

TEST_F(BrowseScreen, AFailingQueryShowsTheErrorBoxAndKeepsGridAndConditions)
{
    setHerbs(kHerbs);
    open();
    child<QLineEdit>("Txtmcyc")->setText("参");
    click("Cmdseek");
    ds::openDataFile(dataFile).execute("ALTER TABLE 中医药材 RENAME TO 旧药材");
    combo("Cboycgx1")->setEditText("生津");
    click("Cmdseek");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith("错误号码：")) << messages.last().text.toStdString();
    EXPECT_FALSE(messages.last().text.contains('\n')); // number and description on one line
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(gridNames(), QStringList({"党参。", "人参。"}));
    EXPECT_EQ(combo("Cboycgx1")->currentText(), "生津");
    EXPECT_FALSE(ui::isPointerBusy());
}

TEST_F(BrowseScreen, OpensCentredAtTheTopOfAWideMainWindowAndAtTheLeftOfANarrowOne)
{
    setHerbs(kHerbs);
    QWidget main;
    for (const int width : {ui::twips(12120) - 1, ui::twips(12120), 1200}) {
        main.setGeometry(100, 50, width, 700);
        browse::Frmzyll placed(&main);
        const int expectedLeft = width < ui::twips(12120) ? 0 : (width - placed.width()) / 2;
        EXPECT_EQ(placed.x() - main.x(), expectedLeft) << width;
    }
}

TEST_F(BrowseScreen, GrowsSoTheGridShowsMoreRowsAndTheDetailBoxesMoreLines)
{
    setHerbs(kHerbs);
    open();
    const QSize designed(ui::twips(11880), ui::twips(7680));
    EXPECT_EQ(screen->size(), designed);
    EXPECT_EQ(screen->minimumSize(), designed);
    QWidget *queryPage = tabs()->widget(0);
    QWidget *detailPage = tabs()->widget(1);
    const QRect gridAt = grid()->geometry();
    const QStringList tall{"Txtycgy", "Txtyczz", "Txtycyj", "Txtycyf", "Txtycxd"};
    QList<QRect> tallAt;
    for (const QString &name : tall)
        tallAt.append(child<QWidget>(name.toLatin1())->geometry());
    const auto fromCorner = [](QWidget *control) {
        return control->parentWidget()->rect().bottomRight() - control->geometry().bottomRight();
    };
    const QPoint exitFromCorner = fromCorner(child<QWidget>("Cmdexit"));
    const auto rowsShown = [this] { return grid()->viewport()->height() / grid()->rowHeight(0); };
    const int designedRows = rowsShown();

    // A 1920×1080 display, maximized below the task bar.
    screen->resize(1920, 1040);
    const QSize extra = screen->size() - designed;
    EXPECT_EQ(grid()->geometry(), gridAt.adjusted(0, 0, extra.width(), extra.height()));
    EXPECT_GE(rowsShown(), designedRows * 5 / 2) << designedRows; // 35 rows rather than 13
    EXPECT_EQ(fromCorner(child<QWidget>("Cmdexit")), exitFromCorner);
    for (QWidget *page : {queryPage, detailPage}) {
        tabs()->setCurrentWidget(page); // a tab's page takes its size when it is shown
        for (QWidget *control : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(page->rect().contains(control->geometry())) << control->objectName().toStdString();
    }
    int below = 0;
    for (qsizetype i = 0; i < tall.size(); ++i) {
        const QRect box = child<QWidget>(tall[i].toLatin1())->geometry();
        EXPECT_GT(box.height(), tallAt[i].height() + extra.height() / 10) << tall[i].toStdString();
        EXPECT_GT(box.top(), below) << tall[i].toStdString(); // no box lies over the one above it
        below = box.bottom();
    }
    EXPECT_LT(below, child<QWidget>("Cmdedit")->geometry().top());
    EXPECT_LT(child<QWidget>("TxtYcmc")->geometry().right(), child<QWidget>("Labbq2")->geometry().left());
    // The columns share the extra width out in proportion to their own.
    EXPECT_NEAR(double(grid()->columnWidth(4)) / grid()->columnWidth(1), 3500.0 / 2000, 0.05);
    EXPECT_GT(grid()->columnWidth(1), ui::twips(2000) * 3 / 2);

    screen->resize(designed); // and back as it was designed
    EXPECT_EQ(grid()->geometry(), gridAt);
    EXPECT_EQ(child<QWidget>("Txtyczz")->geometry(), tallAt[1]);
    tabs()->setCurrentWidget(queryPage);
    EXPECT_EQ(grid()->columnWidth(1), ui::twips(2000));

    // Left at another size, it opens at that size again.
    screen->resize(designed + QSize(8, 40));
    click("Cmdexit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    open();
    EXPECT_EQ(screen->size(), designed + QSize(8, 40));
}
