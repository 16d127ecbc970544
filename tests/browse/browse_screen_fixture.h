#pragma once

#include "browse/frmzyll.h"
#include "browse/frozen_column_table.h"
#include "browse_fixture.h"
#include "message_recorder.h"
#include "windows.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

// The browse screen on a data file whose herbs each test sets before opening it, with every
// message box recorded.
class BrowseScreen : public BrowseData {
protected:
    MessageRecorder messages;
    QPointer<browse::Frmzyll> screen;

    void TearDown() override
    {
        delete screen.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void open()
    {
        delete screen.data();
        screen = new browse::Frmzyll(nullptr);
        screen->show();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    }

    template <typename T> T *child(const char *name) const { return namedControl<T>(screen, QLatin1String(name)); }
    browse::FrozenColumnTable *grid() const { return child<browse::FrozenColumnTable>("Msfgrid"); }
    QTabWidget *tabs() const { return child<QTabWidget>("SSTab1"); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }

    // Column 0 of every grid row.
    QStringList gridNames() const
    {
        QStringList names;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            names.append(grid()->model()->index(row, 0).data().toString());
        return names;
    }
    void clickCell(int row, int column)
    {
        QTableView *view = column == 0 ? grid()->frozenView() : static_cast<QTableView *>(grid());
        const QModelIndex cell = view->model()->index(row, column);
        view->scrollTo(cell);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    }
    // The text of a detail box, as the box holds it.
    QString detail(const char *name) const
    {
        QWidget *box = child<QWidget>(name);
        if (auto *line = qobject_cast<QLineEdit *>(box))
            return line->text();
        return qobject_cast<QPlainTextEdit *>(box)->toPlainText();
    }
};
