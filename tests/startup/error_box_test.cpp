#include "datastore/errors.h"
#include "message_recorder.h"
#include "ui/error_box.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using ui::ErrorBoxForm;

TEST(ErrorBox, EachFormToTheCharacter)
{
    const QString d = "找不到数据文件。";
    EXPECT_EQ(ui::errorBoxText(3024, d, ErrorBoxForm::SignedNumberLine), "错误号码： 3024\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(-5, d, ErrorBoxForm::SignedNumberLine), "错误号码：-5\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(0, d, ErrorBoxForm::SignedNumberLine), "错误号码： 0\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(3024, d, ErrorBoxForm::RunOnInformation), "错误号码：3024错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(3024, d, ErrorBoxForm::LineInformation), "错误号码：3024\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(3024, d, ErrorBoxForm::LineExclamation), "错误号码：3024\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(3024, d, ErrorBoxForm::TwoLines), "错误号码：3024\r\n\r\n错误内容：找不到数据文件。");
    EXPECT_EQ(ui::errorBoxText(-1, d, ErrorBoxForm::TwoLinesInformation), "错误号码：-1\r\n\r\n错误内容：找不到数据文件。");
}

TEST(ErrorBox, IconsButtonsAndTitle)
{
    MessageRecorder recorder;
    const ds::RunError error(ds::ErrorCode::DiskFull);
    const std::pair<ErrorBoxForm, ui::Icon> forms[] = {
        {ErrorBoxForm::SignedNumberLine, ui::Icon::None},
        {ErrorBoxForm::RunOnInformation, ui::Icon::Information},
        {ErrorBoxForm::LineInformation, ui::Icon::Information},
        {ErrorBoxForm::LineExclamation, ui::Icon::Exclamation},
        {ErrorBoxForm::TwoLines, ui::Icon::None},
        {ErrorBoxForm::TwoLinesInformation, ui::Icon::Information},
    };
    for (const auto &[form, icon] : forms)
        ui::showErrorBox(error, form);
    ASSERT_EQ(recorder.messages.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(recorder.messages[i].icon, forms[i].second) << i;
        EXPECT_EQ(recorder.messages[i].buttons, ui::Buttons::Ok);
        EXPECT_EQ(recorder.messages[i].title, QString());
        EXPECT_TRUE(recorder.messages[i].text.endsWith(ds::describe(ds::ErrorCode::DiskFull)));
    }
}

TEST(ErrorBox, CatalogueHasAChineseDescriptionForEveryNumber)
{
    for (int code : {75, 429, 3020, 3021, 3022, 3024, 3026, 3027, 3031, 3051, 3053, 3054, 3075, 3078, 3142, 3146, 3163,
                     3260, 3343, 3344, 3345, 3346, 3347}) {
        const QString text = ds::describe(ds::ErrorCode(code));
        EXPECT_NE(text, "未知错误。") << code;
        EXPECT_TRUE(text.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]"))) << code;
    }
}
