#include "formulas/frmycda.h"

#include "formulas/herb_formula_link.h"
#include "startup/window_keys.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace formulas {

QWidget *showHerbRecord(QWidget *owner, const herbs::HerbRecord &record)
{
    auto *window = new QWidget(owner, Qt::Dialog);
    window->setObjectName(QStringLiteral("Frmycda"));
    window->setWindowTitle(QStringLiteral("药材资料"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    ui::fixClientSizeTwips(window, 8400, 6360);
    // Boxes in the order of the entry screen: name, nature and meridian in a row, then the texts.
    struct Box {
        int field;
        const char *name; // as the browse screen's detail names its boxes
        const char16_t *caption;
        int left, top, width, height;
    };
    static const Box boxes[] = {
        {herbs::kName, "TxtYcmc", u"名称", 720, 120, 1800, 330},
        {herbs::kNature, "Txtycxw", u"性味", 3240, 120, 1800, 330},
        {herbs::kMeridian, "Txtycgj", u"归经", 5760, 120, 2520, 330},
        {herbs::kEfficacy, "Txtycgy", u"功效", 720, 570, 7560, 900},
        {herbs::kIndications, "Txtyczz", u"主治", 720, 1590, 7560, 900},
        {herbs::kUsage, "Txtycyf", u"用法", 720, 2610, 7560, 900},
        {herbs::kCautions, "Txtycyj", u"宜忌", 720, 3630, 7560, 900},
        {herbs::kNotes, "Txtycxd", u"心得", 720, 4650, 7560, 1020},
    };
    const QFont boxFont = ui::chineseFont(QStringLiteral("宋体"), 10.5);
    for (const Box &box : boxes) {
        const QString text = herbs::trimSpaces(record[size_t(box.field)]).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QWidget *control;
        if (box.height > 330) {
            auto *lines = new QPlainTextEdit(text, window);
            lines->setReadOnly(true);
            lines->setTabChangesFocus(true);
            control = lines;
        } else {
            auto *line = new QLineEdit(text, window);
            line->setReadOnly(true);
            line->setCursorPosition(0);
            control = line;
        }
        control->setObjectName(QLatin1String(box.name));
        control->setFont(boxFont);
        ui::placeTwips(control, box.left, box.top, box.width, box.height);
        ui::placeTwips(new QLabel(QString::fromUtf16(box.caption), window), box.left - 600, box.top + 60, 480, 255);
    }
    auto *link = new HerbFormulaLink(window);
    ui::placeTwips(link, 720, 5850, 2760, 375);
    link->setHerb(record[herbs::kName]);
    auto *leave = new QPushButton(QStringLiteral("退出&E"), window);
    leave->setObjectName(QStringLiteral("Cmdexit"));
    leave->setAutoDefault(true);
    ui::placeTwips(leave, 7155, 5850, 1125, 375);
    QObject::connect(leave, &QPushButton::clicked, window, &QWidget::close);
    startup::installWindowKeys(window, startup::helpSection(QStringLiteral("Frmfjcx")));
    ui::centreOnMain(window, owner->window()->parentWidget(), 0, 0);
    window->show();
    window->raise();
    window->activateWindow();
    leave->setFocus();
    return window;
}

} // namespace formulas
