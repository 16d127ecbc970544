#pragma once

#include <QObject>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace herbs {

// Limits what the user types into a box to a number of bytes of code page 936: keys, input
// method commits and pastes are cut to the room left, while text the program sets is never
// cut. A text box line break counts as CR LF, two bytes.
class TypingLimit : public QObject {
public:
    static void apply(QLineEdit *box, int bytes);
    static void apply(QPlainTextEdit *box, int bytes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TypingLimit(QWidget *box, int bytes);

    int room() const;
    // Inserts what fits of the text in place of the selection; false when nothing fits.
    bool insertClipped(const QString &text);
    void pasteClipped();
    bool showMenu(const QPoint &globalPos);

    QWidget *m_box;
    int m_bytes;
    bool m_forwarding = false;
};

} // namespace herbs
