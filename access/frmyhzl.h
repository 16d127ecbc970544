#pragma once

#include "access/clinic_record.h"

#include <QWidget>

#include <array>

class QLineEdit;
class QPushButton;

namespace users {

// The clinic information screen: name, address, telephone and user of the one 用户资料 row.
// It is left only by a confirmed, successful save.
class FrmYhzl : public QWidget {
    Q_OBJECT
public:
    explicit FrmYhzl(QWidget *mainWindow);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Qpcls();
    QLineEdit *box(ClinicField field) const { return m_boxes[std::size_t(field)]; }
    ClinicInfo texts() const;
    bool boxKey(ClinicField field, QEvent *event);
    void selectStart(ClinicField field);
    void save();

    std::array<QLineEdit *, 4> m_boxes{};
    QPushButton *m_save = nullptr;
    bool m_leaving = false;
};

} // namespace users
