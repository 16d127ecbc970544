#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace startup {

// The help page shipped with the program: beside it, or in its share folder once installed.
QUrl helpPageUrl();
// Makes the help page another one (tests read the page of the build tree); empty restores.
void setHelpPageUrl(const QUrl &page);

// The help window: the help page shipped with the program, read inside the program, so a
// clinic computer without a web browser (or with a broken default one) gets its help too. One
// window serves every request; a screen's help button opens it at that screen's section, and
// the window that asked gets the keyboard back when it closes.
class FrmHelp : public QWidget {
    Q_OBJECT
public:
    // Shows the page at the section's anchor (the top when empty), in the open help window or
    // a new one. A missing page is told to the user; then nullptr.
    static FrmHelp *showSection(const QUrl &page, const QString &section);

    // The page and section shown.
    QUrl source() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    explicit FrmHelp(QWidget *mainWindow);
    void show(const QUrl &place);
    void openInBrowser();

    QTextBrowser *m_page;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPointer<QWidget> m_returnTo;
};

} // namespace startup
