#include "entry_screen_fixture.h"

#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>

#include <functional>

namespace {

void commit(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

QPoint cursorPoint(QWidget *box)
{
    return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
}

// Every way text reaches a box at its cursor.
struct Way {
    const char *name;
    std::function<void(QWidget *, const QString &)> put;
};

const Way kWays[] = {
    {"input method", [](QWidget *box, const QString &text) { commit(box, text); }},
    {"Ctrl+V",
     [](QWidget *box, const QString &text) {
         QApplication::clipboard()->setText(text);
         QTest::keySequence(box, QKeySequence::Paste);
     }},
    {"Shift+Ins",
     [](QWidget *box, const QString &text) {
         QApplication::clipboard()->setText(text);
         QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
     }},
    // The middle button pastes the primary selection through these (the offscreen platform
    // has no primary selection to click with).
    {"middle button",
     [](QWidget *box, const QString &text) {
         if (auto *line = qobject_cast<QLineEdit *>(box))
             line->insert(text);
         else
             static_cast<QPlainTextEdit *>(box)->insertPlainText(text);
     }},
    {"drop",
     [](QWidget *box, const QString &text) {
         QMimeData data;
         data.setText(text);
         QWidget *target = qobject_cast<QPlainTextEdit *>(box) ? static_cast<QPlainTextEdit *>(box)->viewport() : box;
         QDragEnterEvent enter(cursorPoint(box), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(target, &enter);
         QDropEvent drop(QPointF(cursorPoint(box)), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(target, &drop);
     }},
};

} // namespace

TEST_F(EntryScreen, EveryWayTextComesInIsCutToTheLimitKeepingTheCursor)
{
    const QChar bu(0x8865); // 补, two bytes
    for (const Way &way : kWays) {
        SCOPED_TRACE(way.name);
        // 名称, 10 bytes: 4 in it, 6 left; what fits goes in at the cursor.
        name()->setText("人参");
        name()->setFocus();
        name()->setCursorPosition(1);
        way.put(name(), "当归黄芪甘草");
        EXPECT_EQ(name()->text(), "人当归黄参");
        EXPECT_EQ(name()->cursorPosition(), 4);
        EXPECT_TRUE(status().contains("前 3 个字")) << status().toStdString();

        // 功效, 220 bytes: 216 in it; a line break is two bytes and goes in whole or not at all.
        QPlainTextEdit *efficacy = box("Txtycgy");
        efficacy->setPlainText(QString(108, bu));
        efficacy->setFocus();
        QTextCursor middle = efficacy->textCursor();
        middle.setPosition(54);
        efficacy->setTextCursor(middle);
        way.put(efficacy, "abc\nd");
        EXPECT_EQ(efficacy->toPlainText(), QString(54, bu) + "abc" + QString(54, bu));
        EXPECT_EQ(efficacy->textCursor().position(), 57);
        efficacy->undo(); // the cut is part of the insertion's step
        EXPECT_EQ(efficacy->toPlainText(), QString(108, bu));

        // A lone CR is stored as CR LF: 150 of them fill 220 bytes with 110 line breaks.
        efficacy->clear();
        way.put(efficacy, QString(150, QLatin1Char('\r')));
        EXPECT_EQ(efficacy->toPlainText(), QString(110, QLatin1Char('\n')));
        EXPECT_TRUE(status().contains("前 110 个字")) << status().toStdString();
    }
    // Text the program puts in stays whole even past the limit; the user cannot add to it.
    QPlainTextEdit *efficacy = box("Txtycgy");
    efficacy->setPlainText(QString(111, bu));
    efficacy->moveCursor(QTextCursor::End);
    commit(efficacy, "x");
    EXPECT_EQ(efficacy->toPlainText(), QString(111, bu));
}

TEST_F(EntryScreen, EnterWalksTheFieldsAndPromptsForEmptyRequiredBoxes)
{
    name()->setFocus();
    type(name(), "人参。");
    enter(name());
    // The exact lookup loaded the stored texts as they are: a blank shows as one space.
    EXPECT_EQ(box("Txtycgb")->toPlainText(), " ");
    EXPECT_EQ(combo("Cboycgj")->currentText(), "归脾、肺、心、肾经。");
    EXPECT_TRUE(focused(combo("Cboycxw")));
    EXPECT_EQ(combo("Cboycxw")->lineEdit()->selectedText(), "甘、微苦，微温。");

    enter(combo("Cboycxw"));
    EXPECT_TRUE(focused(combo("Cboycgj")));
    enter(combo("Cboycgj"));
    EXPECT_TRUE(focused(box("Txtycgy")));
    EXPECT_TRUE(box("Txtycgy")->textCursor().atEnd());

    const struct {
        const char *box;
        const char *next;
        QString prompt;
    } required[] = {{"Txtycgy", "Txtyczz", "请输入药材功效内容"},
                    {"Txtyczz", "Txtycyf", "请输入药材主治内容"},
                    {"Txtycyf", "Txtycyj", "请输入药材使用方法"}};
    for (const auto &step : required) {
        const QString text = box(step.box)->toPlainText();
        box(step.box)->clear();
        box(step.box)->setFocus();
        enter(box(step.box));
        ASSERT_EQ(messages.messages.size(), 1) << step.box;
        EXPECT_EQ(messages.last().text, step.prompt);
        EXPECT_EQ(messages.last().icon, ui::Icon::Information);
        EXPECT_EQ(messages.last().title, QString());
        EXPECT_TRUE(focused(box(step.box)));
        EXPECT_TRUE(box(step.box)->toPlainText().isEmpty()); // Enter typed nothing
        messages.messages.clear();

        box(step.box)->setPlainText(text);
        enter(box(step.box));
        EXPECT_TRUE(messages.messages.isEmpty());
        EXPECT_TRUE(focused(box(step.next))) << step.next;
        EXPECT_TRUE(box(step.next)->textCursor().atEnd());
        EXPECT_EQ(box(step.box)->toPlainText(), text);
    }

    // 宜忌 moves on without a test, even when empty.
    box("Txtycyj")->clear();
    enter(box("Txtycyj"));
    EXPECT_TRUE(focused(box("Txtycgb")));
    // 心得 holding only spaces: Enter goes to 保存.
    enter(box("Txtycgb"));
    EXPECT_TRUE(focused(button("Cmdsave")));
    EXPECT_EQ(box("Txtycgb")->toPlainText(), " ");
    // With text in it, Enter types a line break.
    box("Txtycgb")->setPlainText("久服");
    box("Txtycgb")->setFocus();
    box("Txtycgb")->moveCursor(QTextCursor::End);
    enter(box("Txtycgb"));
    EXPECT_EQ(box("Txtycgb")->toPlainText(), "久服\n");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(EntryScreen, EnterOnTheFocusedButtonPressesIt)
{
    // The chain ends on 保存; Enter there saves.
    fill({"党参", "", "", "补中益气", "脾肺气虚", "煎服", "", ""});
    box("Txtycgb")->setFocus();
    enter(box("Txtycgb"));
    ASSERT_TRUE(focused(button("Cmdsave")));
    enter(button("Cmdsave"));
    EXPECT_EQ(storedCount(), 13);
    EXPECT_TRUE(focused(name()));

    // Saving a stored name goes to 修改; Enter there overwrites it.
    fill({"党参。", "", "", "补中益气", "脾肺气虚", "煎服", "", "久服"});
    button("Cmdsave")->setFocus();
    enter(button("Cmdsave"));
    ASSERT_TRUE(focused(button("Cmdedit")));
    enter(button("Cmdedit"));
    EXPECT_EQ(storedCount(), 13);
    ds::Database db = ds::openDataFile();
    EXPECT_EQ(db.openDynaset("SELECT 心得 FROM 中医药材 WHERE 名称 = '党参。'").text(0), "久服。");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(EntryScreen, EnterInAnEmptyNameBoxStaysAndAnUnknownNameChangesNothing)
{
    name()->setFocus();
    enter(name());
    EXPECT_TRUE(focused(name()));

    fill({"", "归肝经", "甘", "补气", "气虚", "煎服", "孕妇", "心得"});
    name()->setText("党参");
    combo("Cboycxw")->setEditText("甘");
    enter(name());
    EXPECT_EQ(shown(), (QStringList{"党参", "归肝经", "甘", "补气", "气虚", "煎服", "孕妇", "心得"}));
    EXPECT_TRUE(focused(combo("Cboycxw")));
    EXPECT_EQ(combo("Cboycxw")->lineEdit()->selectedText(), "甘");
    EXPECT_TRUE(messages.messages.isEmpty());
}

// The name a person types finds the herb stored under its stored form, a five-character name
// (the most the box takes, with no room for the "。") included.
TEST_F(EntryScreen, EnterFindsAHerbByThePlainNameTyped)
{
    fill({"五味子果", "归肺经", "酸", "收敛", "久咳", "煎服", "", ""});
    click("Cmdsave");
    ASSERT_TRUE(listed().contains("五味子果。"));
    fill({"川贝枇杷叶", "归肺经", "苦", "清肺", "咳嗽", "煎服", "", ""});
    click("Cmdsave");
    ASSERT_TRUE(listed().contains("川贝枇杷叶。"));

    const std::pair<QString, QString> typed[] = {
        {"人参", "人参。"}, {"人参。", "人参。"}, {"五味子果", "五味子果。"}, {"川贝枇杷叶", "川贝枇杷叶。"}};
    for (const auto &[keys, stored] : typed) {
        click("Cmdqcls");
        type(name(), keys);
        ASSERT_EQ(name()->text(), keys);
        enter(name());
        EXPECT_EQ(name()->text(), stored);
        EXPECT_FALSE(box("Txtycgy")->toPlainText().isEmpty()) << keys.toStdString();
        EXPECT_TRUE(focused(combo("Cboycxw")));
    }
    // Spaces cannot be typed, but a pasted name finds its herb all the same.
    click("Cmdqcls");
    name()->setText(" 人参 ");
    enter(name());
    EXPECT_EQ(name()->text(), "人参。");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(EntryScreen, EnterWithAnAliasOrInitialsLoadsItsHerbOrListsTheHerbsToPickFrom)
{
    type(name(), "云苓");
    enter(name());
    EXPECT_EQ(name()->text(), "茯苓。");
    EXPECT_FALSE(box("Txtycgy")->toPlainText().isEmpty());
    EXPECT_EQ(child<QLabel>("Labbm")->text(), "云苓 → 茯苓");
    EXPECT_TRUE(focused(combo("Cboycxw")));

    {
        ds::Database db = ds::openDataFile();
        db.execute("INSERT INTO 中医药材 VALUES ('川贝母。', '归肺经。', ' ', ' ', ' ', ' ', ' ', ' ')");
        db.execute("INSERT INTO 中医药材 VALUES ('浙贝母。', '归心经。', ' ', ' ', ' ', ' ', ' ', ' ')");
    }
    click("Cmdqcls");
    EXPECT_EQ(child<QLabel>("Labbm")->text(), "");
    type(name(), "贝母");
    enter(name());
    EXPECT_EQ(name()->text(), "贝母"); // nothing loaded until the user picks
    EXPECT_EQ(listed(), QStringList({"川贝母。", "浙贝母。"}));
    EXPECT_EQ(child<QLabel>("Labbm")->text(), "贝母 → 川贝母、浙贝母");
    clickListEntry("浙贝母。");
    EXPECT_EQ(shown().mid(0, 2), QStringList({"浙贝母。", "归心经。"}));

    // A name that is neither stored nor an alias leaves the note empty again.
    name()->setText("没有这味药");
    enter(name());
    EXPECT_EQ(child<QLabel>("Labbm")->text(), "");
    EXPECT_TRUE(messages.messages.isEmpty());

    // Letters that are no name or alias find the herbs of those initials: one is loaded, more
    // are listed to pick from, and the count line stays the table's.
    click("Cmdqcls");
    type(name(), "dg");
    enter(name());
    EXPECT_EQ(name()->text(), "当归。");
    ds::openDataFile().execute("INSERT INTO 中医药材 VALUES ('丹桂。', ' ', ' ', ' ', ' ', ' ', ' ', ' ')");
    click("Cmdqcls");
    type(name(), "DG");
    enter(name());
    EXPECT_EQ(name()->text(), "DG");
    EXPECT_EQ(listed(), QStringList({"当归。", "丹桂。"}));
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_EQ(countLine(), "15 味");
}

TEST_F(EntryScreen, SpacesAreTypedOnlyIntoTheNotes)
{
    // Keys go where the keyboard sends them: to the widget that has the focus.
    auto typeInto = [](QWidget *control, const QString &text) {
        control->setFocus();
        type(QApplication::focusWidget(), text);
    };
    typeInto(name(), "人 参");
    EXPECT_EQ(name()->text(), "人参");
    for (const char *value : {"Cboycxw", "Cboycgj"}) {
        typeInto(combo(value), "甘 温");
        EXPECT_EQ(combo(value)->currentText(), "甘温") << value;
    }
    for (const char *other : {"Txtycgy", "Txtyczz", "Txtycyf", "Txtycyj"}) {
        typeInto(box(other), "补 气");
        EXPECT_EQ(box(other)->toPlainText(), "补气") << other;
    }
    typeInto(box("Txtycgb"), "久 服");
    EXPECT_EQ(box("Txtycgb")->toPlainText(), "久 服");
    // Enter in a combo goes on along the chain instead of adding an item.
    combo("Cboycxw")->setFocus();
    enter(QApplication::focusWidget());
    EXPECT_TRUE(focused(combo("Cboycgj")));
    EXPECT_EQ(combo("Cboycxw")->findText("甘温"), -1);
}

TEST_F(EntryScreen, ComboTextStaysAsTyped)
{
    // 甘 begins several stored 性味 values; the typed fragment must not grow into one of them.
    for (const char *value : {"Cboycxw", "Cboycgj"}) {
        ASSERT_GT(combo(value)->count(), 0) << value;
        const QString first = combo(value)->itemText(1);
        combo(value)->setFocus();
        type(QApplication::focusWidget(), first.left(1));
        EXPECT_EQ(combo(value)->currentText(), first.left(1)) << value;
        combo(value)->setEditText(QString());
    }
    // A search for the fragment finds every herb whose 性味 holds it.
    combo("Cboycxw")->setFocus();
    type(QApplication::focusWidget(), "甘");
    click("Cmdseek");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(combo("Cboycxw")->currentText(), "甘");
    EXPECT_GT(listed().size(), 1);
}

TEST_F(EntryScreen, OpensInTheNameBoxAndTabTakesUsageBeforeIndications)
{
    EXPECT_TRUE(focused(name()));
    const QStringList expected{"Txtycmc", "Cboycxw", "Cboycgj", "Txtycgy", "Txtycyf", "Txtyczz",
                               "Txtycyj", "Txtycgb", "Cmdsave", "Cmdedit", "Cmdseek", "Cmdprnt",
                               "Cmdqcls", "Cmddele", "Listycmc", "Cmdexit", "Txtycmc"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        // The edit line of a combo stands for its combo.
        visited.append(qobject_cast<QComboBox *>(now->parentWidget()) ? now->parentWidget()->objectName()
                                                                       : now->objectName());
        QTest::keyClick(now, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(EntryScreen, NameBoxTakesTenBytesOfTypedText)
{
    type(name(), "人参当归黄芪");
    EXPECT_EQ(name()->text(), "人参当归黄"); // the sixth Chinese character is refused
    name()->clear();
    type(name(), "abcdefghijk");
    EXPECT_EQ(name()->text(), "abcdefghij"); // and the eleventh ASCII character
    name()->clear();
    type(name(), "abcdefghi人");
    EXPECT_EQ(name()->text(), "abcdefghi"); // one byte left is not room for a Chinese character
    // Deleting makes room again.
    QTest::keyClick(name(), Qt::Key_Backspace);
    type(name(), "人");
    EXPECT_EQ(name()->text(), "abcdefgh人");
}

TEST_F(EntryScreen, NameBoxTakesTenBytesOfInputMethodText)
{
    name()->setFocus();
    commit(name(), "人参当归");
    EXPECT_EQ(name()->text(), "人参当归");
    commit(name(), "黄芪甘草"); // only what fits of one commit is taken
    EXPECT_EQ(name()->text(), "人参当归黄");
    commit(name(), "芪");
    EXPECT_EQ(name()->text(), "人参当归黄");
    // With the text selected, a commit replaces it and the selection's bytes count as room.
    name()->selectAll();
    commit(name(), "白术");
    EXPECT_EQ(name()->text(), "白术");
}

TEST_F(EntryScreen, TextTheScreenPutsInIsNotCut)
{
    {
        ds::Database db = ds::openDataFile();
        db.execute("INSERT INTO 中医药材 VALUES ('一二三四五六七。', ' ', ' ', '补气。', ' ', ' ', ' ', ' ')");
    }
    click("Cmdqcls");
    clickListEntry("一二三四五六七。");
    EXPECT_EQ(name()->text(), "一二三四五六七。");
    // Typing into the overlong name is refused, deleting is not.
    name()->setFocus();
    name()->end(false);
    type(name(), "八");
    EXPECT_EQ(name()->text(), "一二三四五六七。");
    QTest::keyClick(name(), Qt::Key_Backspace);
    EXPECT_EQ(name()->text(), "一二三四五六七");
}

TEST_F(EntryScreen, ManyLineBoxesCountBytesAndLineBreaksAsTwo)
{
    QPlainTextEdit *efficacy = box("Txtycgy"); // 220 bytes
    efficacy->setFocus();
    commit(efficacy, QString(109, QChar(0x8865))); // 218 bytes of 补
    commit(efficacy, "abc");
    EXPECT_EQ(efficacy->toPlainText(), QString(109, QChar(0x8865)) + "ab");
    commit(efficacy, "d");
    EXPECT_EQ(efficacy->toPlainText().size(), 111);

    QPlainTextEdit *notes = box("Txtycgb"); // 2000 bytes
    notes->setPlainText(QString(999, QChar(0x8865)) + "a");
    notes->setFocus();
    notes->moveCursor(QTextCursor::End);
    enter(notes); // a line break is CR LF: one byte left is not enough
    EXPECT_EQ(notes->toPlainText().size(), 1000);
    QTest::keyClick(notes, Qt::Key_Backspace);
    enter(notes);
    EXPECT_EQ(notes->toPlainText(), QString(999, QChar(0x8865)) + "\n");
    type(notes, "x");
    EXPECT_FALSE(notes->toPlainText().endsWith("x"));
    // A paste is cut before a line break that does not fit whole.
    notes->setPlainText(QString(999, QChar(0x8865)));
    notes->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText("a\nb");
    QTest::keySequence(notes, QKeySequence::Paste);
    EXPECT_EQ(notes->toPlainText(), QString(999, QChar(0x8865)) + "a");
}
