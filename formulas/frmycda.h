#pragma once

#include "herbs/herb_record.h"

class QWidget;

namespace formulas {

// A herb's record to read, in a window of its own over the formula screen (its caption
// "药材资料", objectName "Frmycda"): the eight texts, how many formulas hold the herb, and 退出.
// Each link of a formula's page opens one; the entry screen is where a record is changed.
QWidget *showHerbRecord(QWidget *owner, const herbs::HerbRecord &record);

} // namespace formulas
