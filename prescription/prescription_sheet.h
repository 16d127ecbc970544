#pragma once

#include "prescription/prescription_lines.h"

#include <QDate>
#include <QList>
#include <QString>

namespace rx {

// What a 处方笺 shows. The patient's details come from the screen and go on paper only.
struct PrescriptionSheet {
    QString clinic; // 用户资料: 单位, 地址, 电话
    QString address;
    QString telephone;
    QDate date;
    QString patient;
    QString sex;
    QString age; // as typed; a bare figure is written with 岁
    QString diagnosis;
    QList<RxLine> lines; // empty lines are left out
    QString doses;       // 剂数, in 付
    QString usage;
    QString doctor;
};

// The date as a prescription writes it: 2026年12月7日.
QString chineseDate(const QDate &date);

// The sheet as rich text for the print road: the clinic as heading with address and telephone,
// the title 处方笺, the date, the patient line, 诊断, "Rp", the herbs four to a row (name, dose and
// unit, the note in small type), 剂数, 用法 and the doctor. Every text is escaped.
QString sheetHtml(const PrescriptionSheet &sheet);

} // namespace rx
