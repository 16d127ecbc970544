#include "startup/window_keys.h"

#include "startup/shell.h"

#include <QHash>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace startup {
namespace {

class WindowKeys : public QObject {
public:
    WindowKeys(QWidget *window, QString section)
        : QObject(window)
        , m_window(window)
        , m_section(std::move(section))
    {
    }

protected:
    // A key no control took comes on to its window.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_F1) {
            openHelp(m_section);
            return true;
        }
        if (key->key() != Qt::Key_Escape || key->isAutoRepeat())
            return false;
        QPushButton *leave = leaveButton();
        if (!leave)
            return false;
        leave->click();
        return true;
    }

private:
    QPushButton *leaveButton() const
    {
        for (QPushButton *button : m_window->findChildren<QPushButton *>()) {
            if (button->window() == m_window && button->isEnabled()
                && button->text().remove(QLatin1Char('&')).contains(QStringLiteral("退出")))
                return button;
        }
        return nullptr;
    }

    QWidget *m_window;
    QString m_section;
};

} // namespace

QString helpSection(const QString &screen)
{
    static const QHash<QString, QString> sections{
        {QStringLiteral("Frmzyyc"), QStringLiteral("entry")},     {QStringLiteral("Frmzyll"), QStringLiteral("browse")},
        {QStringLiteral("Frmmmwh"), QStringLiteral("password")},  {QStringLiteral("FrmYhzl"), QStringLiteral("clinic")},
        {QStringLiteral("Frmcopy"), QStringLiteral("backup")},    {QStringLiteral("FrmHfbf"), QStringLiteral("backup")},
        {QStringLiteral("FrmLinkDb"), QStringLiteral("import")},  {QStringLiteral("FrmJczl"), QStringLiteral("background")},
        {QStringLiteral("frmLogin"), QStringLiteral("start")},    {QStringLiteral("frmSplash"), QStringLiteral("start")},
        {QStringLiteral("frmAbout"), QStringLiteral("contact")},   {QStringLiteral("Frmkcf"), QStringLiteral("prescription")},
        {QStringLiteral("Frmfjcx"), QStringLiteral("formulas")},
    };
    return sections.value(screen);
}

void installWindowKeys(QWidget *window, const QString &helpSection)
{
    window->installEventFilter(new WindowKeys(window, helpSection));
}

} // namespace startup
