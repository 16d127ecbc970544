// Draws the pictures of the help page: each screen the page describes, opened offscreen on a
// copy of the seed file that holds a few herbs, grabbed to SCREEN.png. It runs at every build,
// so the pictures always show the screens as they are.
//
//   ccherb-helpshots SEED-FILE PICTURE-FOLDER PICTURE...
//
// A picture is a screen's form name; "Frmzyll-detail" is the browse screen on its detail tab.
#include "access/clinic_record.h"
#include "access/password_record.h"
#include "app/screen_registration.h"
#include "datastore/data_file.h"
#include "dictionaries/build_dictionaries.h"
#include "startup/progress_sink.h"
#include "startup/screens.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/window_rules.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QStringList kHerbs{QStringLiteral("人参。"), QStringLiteral("黄芪。"), QStringLiteral("当归。"),
                         QStringLiteral("甘草。"), QStringLiteral("白术。"), QStringLiteral("茯苓。"),
                         QStringLiteral("川芎。"), QStringLiteral("陈皮。")};

// The data file of a clinic past its first use, with a few herbs and their dictionaries.
bool prepareData(const QString &seed)
{
    const ds::DataPaths paths = ds::dataPaths();
    if (!QDir().mkpath(paths.dataFolder) || !QFile::copy(seed, paths.dataFile))
        return false;
    QFile::setPermissions(paths.dataFile, QFile::ReadOwner | QFile::WriteOwner);
    {
        ds::Database db = ds::openDataFile(paths.dataFile);
        QStringList quoted;
        for (const QString &name : kHerbs)
            quoted.append(QLatin1Char('\'') + name + QLatin1Char('\''));
        db.execute(QStringLiteral("DELETE FROM 中医药材 WHERE 名称 NOT IN (%1)").arg(quoted.join(QLatin1Char(','))));
        users::savePassword(db, QStringLiteral("王医生"), QStringLiteral("abcd1234"));
        users::saveClinic(db, users::ClinicInfo{{QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"),
                                                  QStringLiteral("5550123"), QStringLiteral("王医生")}});
    }
    startup::SilentProgress quiet;
    dict::BuildDictionaries(paths.dataFile, quiet);
    return true;
}

void pressEnter(QWidget *control)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
}

// Opens the screen the picture shows, brought to the state the help page describes.
QWidget *openFor(const QString &picture)
{
    const bool detail = picture == QLatin1String("Frmzyll-detail");
    QWidget *screen = startup::showScreen(detail ? QStringLiteral("Frmzyll") : picture);
    if (!screen)
        return nullptr;
    if (picture == QLatin1String("Frmzyyc")) {
        // A herb looked up by its name, as the entry screen shows one.
        if (auto *name = screen->findChild<QLineEdit *>(QStringLiteral("Txtycmc"))) {
            name->setText(QStringLiteral("人参"));
            pressEnter(name);
        }
    } else if (picture == QLatin1String("Frmfjcx")) {
        // The formulas that hold two herbs, the first of them shown.
        if (auto *herbs = screen->findChild<QLineEdit *>(QStringLiteral("Txtfjyw"))) {
            herbs->setText(QStringLiteral("人参 白术"));
            pressEnter(herbs);
        }
    } else if (picture == QLatin1String("Frmkcf")) {
        // A patient and a prescription with a duplicate and a dose above its range.
        startup::sendToScreen(picture, QStringLiteral("人参12g、白术9g、茯苓9g、云苓6g、当归9g、川芎6g、甘草6g、陈皮6g"));
        const std::pair<const char *, QString> patient[] = {{"Txtxm", QStringLiteral("张三")}, {"Txtnl", QStringLiteral("45")},
                                                            {"Txtzd", QStringLiteral("气血两虚")}};
        for (const auto &[name, text] : patient) {
            if (auto *box = screen->findChild<QLineEdit *>(QLatin1String(name)))
                box->setText(text);
        }
    } else if (detail) {
        // A click on the first herb of the grid shows it on the detail tab.
        if (auto *grid = screen->findChild<QAbstractItemView *>(QStringLiteral("Msfgrid")))
            emit grid->clicked(grid->model()->index(0, 0));
    }
    return screen;
}

} // namespace

int main(int argc, char *argv[])
{
    // A home of its own, so the screens find the data file made here and nothing else.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SEED-FILE PICTURE-FOLDER PICTURE...\n", argv[0]);
        return 2;
    }
    ui::installFontSubstitutions();
    ui::installWindowRules();
    registerScreens();
    QStringList messages;
    ui::setMessageHandler([&messages](const ui::Message &message) {
        messages.append(message.text);
        return ui::Answer::Ok;
    });
    if (!prepareData(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot make a data file from %s\n", argv[1]);
        return 1;
    }

    const QDir folder(QString::fromLocal8Bit(argv[2]));
    folder.mkpath(QStringLiteral("."));
    for (int i = 3; i < argc; ++i) {
        const QString picture = QString::fromLocal8Bit(argv[i]);
        messages.clear();
        QWidget *screen = openFor(picture);
        if (!screen) {
            std::fprintf(stderr, "no screen for the picture %s\n", argv[i]);
            return 1;
        }
        QCoreApplication::processEvents();
        if (!messages.isEmpty()) {
            // A screen that complains on a sound data file would show the complaint, not itself.
            std::fprintf(stderr, "%s said: %s\n", argv[i], qPrintable(messages.join(QLatin1Char('|'))));
            return 1;
        }
        const QString file = folder.filePath(picture + QStringLiteral(".png"));
        if (!screen->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        delete screen;
    }
    return 0;
}
