#pragma once

#include "datastore/database.h"

#include <QString>

#include <array>
#include <optional>

namespace users {

// The one row of 用户资料, in its column order: 单位, 地址, 电话, 姓名.
enum class ClinicField { Name = 0, Address = 1, Telephone = 2, User = 3 };
inline constexpr std::array<ClinicField, 4> kClinicFields{ClinicField::Name, ClinicField::Address,
                                                          ClinicField::Telephone, ClinicField::User};

struct ClinicInfo {
    std::array<QString, 4> texts;

    QString &operator[](ClinicField field) { return texts[std::size_t(field)]; }
    const QString &operator[](ClinicField field) const { return texts[std::size_t(field)]; }
    ClinicInfo trimmed() const;
};

// Typing limit of a box, and the length it needs before Enter moves on or a save is accepted.
int longestInput(ClinicField field);
int shortestInput(ClinicField field);

// Enter moves on when the box's text as it stands (untrimmed) is long enough.
bool enterMovesOn(ClinicField field, const QString &text);
// What a box's text needs, told when it is too short for Enter or for the save.
QString tooShortMessage(ClinicField field);

// The first box, in screen order, that is too short for a save; give it trimmed texts.
std::optional<ClinicField> firstShortField(const ClinicInfo &info);

QString saveQuestion();

// The stored row through the scratch query "000"; nullopt when 用户资料 is empty (no row, or
// a first column that is Null). A Null column reads as the empty text.
std::optional<ClinicInfo> loadClinic(ds::Database &db);

QString clinicInsertText(const ClinicInfo &info);

// Replaces the whole of 用户资料 by one row. The emptying and the insert are one
// transaction: a failed insert leaves the old row in place.
void saveClinic(ds::Database &db, const ClinicInfo &info);

} // namespace users
