#include "access/clinic_record.h"
#include "access/password_record.h"
#include "datastore/data_file.h"
#include "formulas/formula_table.h"
#include "message_recorder.h"
#include "pdf_text.h"
#include "prescription/herb_lines_model.h"
#include "prescription/register_prescription_screens.h"
#include "qstring_printer.h"
#include "startup/screens.h"
#include "temp_data.h"
#include "typing.h"
#include "ui/input_box.h"
#include "ui/print_preview.h"
#include "windows.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// The pad as its menu opens it, on a copy of the seed with the clinic's details.
class PrescriptionPad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds::Database db = ds::openDataFile(home.installSeed());
        users::savePassword(db, "王医生", "abcd1234");
        users::saveClinic(db, users::ClinicInfo{{"澄川中医门诊部", "澄川市杏林路8号", "5550123", "王医生"}});
        db.close();
        rx::registerPrescriptionScreens();
        pad = startup::showScreen("Frmkcf");
        ASSERT_TRUE(pad && QTest::qWaitForWindowActive(pad));
        ui::setPrintPreviewHandler([this](const ui::PrintRequest &request) { printed.append(request); });
    }
    void TearDown() override
    {
        ui::setPrintPreviewHandler({});
        ui::setTextRequestHandler({});
        delete pad.data();
    }

    QWidget *focus() const { return QApplication::focusWidget(); }
    // Types into what has the keyboard and presses Enter.
    void enter(const QString &text = QString())
    {
        typeText(focus(), text);
        QTest::keyClick(focus(), Qt::Key_Return);
    }
    // The lines as "name dose unit note", one a line.
    QStringList lines() const
    {
        QStringList shown;
        for (const rx::RxLine &line : model()->lines())
            shown.append(QStringList{line.name, line.dose, line.unit, line.note}.join(' ').trimmed());
        return shown;
    }
    rx::HerbLinesModel *model() const
    {
        return qobject_cast<rx::HerbLinesModel *>(namedControl<QTableView>(pad, "Grdcf")->model());
    }
    QString findings() const { return namedControl<QTextEdit>(pad, "Txtjg")->toPlainText(); }
    void click(const char *button) { QTest::mouseClick(namedControl<QPushButton>(pad, button), Qt::LeftButton); }

    TempHome home;
    MessageRecorder messages;
    QPointer<QWidget> pad;
    QList<ui::PrintRequest> printed;
};

TEST_F(PrescriptionPad, TypedByKeyboardWithCompletionAndCheckedAsItGoes)
{
    // The Enter chain through the patient onto the first herb line.
    enter("张三");
    EXPECT_EQ(focus()->objectName(), "Cboxb");
    QTest::keyClick(focus(), Qt::Key_Return);
    enter("32");
    QTest::keyClick(focus(), Qt::Key_Space); // 孕妇
    QTest::keyClick(focus(), Qt::Key_Return);
    enter("脾虚湿盛");
    ASSERT_EQ(focus()->objectName(), "Txtmc") << focus()->metaObject()->className()  << " parent " << focus()->parentWidget()->parentWidget()->objectName().toStdString() << qobject_cast<QAbstractItemView*>(focus()->parentWidget()->parentWidget())->itemDelegate()->metaObject()->className();

    // Initials offer the alias with its herb; Enter takes it and moves to the dose.
    typeText(focus(), "yl");
    auto *completion = namedControl<QListView>(pad, "Lstbm");
    ASSERT_TRUE(completion->isVisible());
    EXPECT_TRUE(completion->model()->index(0, 0).data().toString().contains("云苓 → 茯苓"));
    QTest::keyClick(focus(), Qt::Key_Return);
    EXPECT_EQ(focus()->objectName(), "Txtjl");
    enter("15");
    enter("川军"); // the exact name heads the list
    enter("6");
    // Herbs typed with their doses in one go become lines as a paste does.
    ASSERT_EQ(focus()->objectName(), "Txtmc");
    enter("甘草6 甘遂1.5 桃仁6");
    EXPECT_EQ(lines(), QStringList({"云苓 15 g", "川军 6 g", "甘草 6 g", "甘遂 1.5 g", "桃仁 6 g"}));
    EXPECT_TRUE(findings().contains("十八反（禁忌）：甘草与甘遂相反")) << findings().toStdString();
    EXPECT_TRUE(findings().contains("【宜忌】甘遂：")) << findings().toStdString();
    EXPECT_TRUE(findings().contains("妊娠慎用（慎用）：桃仁")) << findings().toStdString();
    EXPECT_EQ(model()->index(2, rx::HerbLinesModel::Marks).data().toString(), "禁忌：十八反");

    // Enter on the empty line ends the lines: 剂数, then 用法.
    QTest::keyClick(focus(), Qt::Key_Return);
    EXPECT_EQ(focus()->objectName(), "Txtjs");
}

TEST_F(PrescriptionPad, PastedPrescriptionsAndFormulasBecomeLines)
{
    click("Cmdnew");
    ASSERT_EQ(focus()->objectName(), "Txtmc");
    QApplication::clipboard()->setText("柴胡12g、黄芩9g、法夏9g\n焦三仙30g 仙丹草6\n龙牡各30g（先煎）");
    QTest::keyClick(focus(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(lines(), QStringList({"柴胡 12 g", "黄芩 9 g", "法夏 9 g", "焦山楂 10 g", "焦神曲 10 g", "焦麦芽 10 g",
                                    "仙丹草 6 g", "龙骨 30 g 先煎", "牡蛎 30 g 先煎"}));
    EXPECT_TRUE(findings().contains("未知（提示）：“仙丹草”")) << findings().toStdString();

    // 新处方 asks first, 否 keeps the lines.
    messages.answerNext(ui::Answer::No);
    click("Cmdnew");
    EXPECT_EQ(messages.last().defaultAnswer, ui::Answer::No);
    EXPECT_EQ(model()->lines().size(), 9);

    // The formula screen's "以此方开方" hands over the composition; the browse detail a herb.
    ds::Database db = ds::openDataFile();
    const QString composition = (*formulas::findFormula(db, "小柴胡汤"))[formulas::kComposition];
    db.close();
    ASSERT_TRUE(startup::sendToScreen("Frmkcf", composition)); // the pad asks before it replaces
    EXPECT_EQ(lines().size(), 7);
    EXPECT_EQ(lines().constFirst(), "柴胡 24 g");
    ASSERT_TRUE(startup::sendToScreen("Frmkcf", "人参。"));
    EXPECT_EQ(lines().constLast(), "人参");
    EXPECT_EQ(focus()->objectName(), "Txtjl");
}

TEST_F(PrescriptionPad, PrintsASheetThatAsksFirstAndSavesAClinicFormulaWithoutThePatient)
{
    namedControl<QLineEdit>(pad, "Txtxm")->setText("李<四>");
    startup::sendToScreen("Frmkcf", "甘草6g、甘遂1.5g、茯苓12g、白术9g");
    messages.answerNext(ui::Answer::No);
    click("Cmdprnt");
    ASSERT_TRUE(printed.isEmpty());
    EXPECT_EQ(messages.last().text, "处方中有配伍禁忌：十八反：甘草与甘遂相反。仍要打印吗？");
    EXPECT_EQ(messages.last().defaultAnswer, ui::Answer::No);
    click("Cmdprnt");
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].paper, ui::Paper::A5);
    const QString pdf = home.file("sheet.pdf");
    ASSERT_TRUE(ui::writePdf(printed[0], pdf));
    const QString text = pdfText(pdf);
    for (const char *shown : {"澄川中医门诊部", "处 方 笺", "李<四>", "甘草", "甘遂", "茯苓", "白术", "医师：王医生"})
        EXPECT_TRUE(text.contains(shown)) << shown << "\n" << text.toStdString();

    ui::setTextRequestHandler([](const ui::TextRequest &) { return QString("健脾方"); });
    click("Cmdsave");
    ds::Database db = ds::openDataFile();
    const formulas::FormulaRecord stored = *formulas::findFormula(db, "健脾方");
    EXPECT_EQ(stored[formulas::kComposition], "甘草6g、甘遂1.5g、茯苓12g、白术9g。");
    for (const QString &column : stored)
        EXPECT_FALSE(column.contains("四"));
    db.close();

    // A name no table knows is refused by name and nothing is stored; leaving unprinted asks.
    startup::sendToScreen("Frmkcf", "仙丹草9g");
    ui::setTextRequestHandler([](const ui::TextRequest &) { return QString("新方"); });
    click("Cmdsave");
    EXPECT_TRUE(messages.last().text.contains("仙丹草")) << messages.last().text.toStdString();
    db = ds::openDataFile();
    EXPECT_FALSE(formulas::findFormula(db, "新方"));
    messages.answerNext(ui::Answer::No);
    pad->close();
    EXPECT_TRUE(pad && pad->isVisible());
    EXPECT_EQ(messages.last().defaultAnswer, ui::Answer::No);
}

} // namespace
