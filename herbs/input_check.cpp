#include "herbs/input_check.h"

namespace herbs {
namespace {

struct Required {
    int field;
    const char16_t *message;
};

constexpr Required kRequired[] = {
    {kName, u"输入药材名称"},
    {kEfficacy, u"输入药材功用"},
    {kIndications, u"输入药材主治"},
    {kUsage, u"输入药材用法"},
};

constexpr int kOptional[] = {kCautions, kMeridian, kNature, kNotes};

} // namespace

InputCheck checkHerbInput(const HerbRecord &fields)
{
    InputCheck check;
    for (int i = 0; i < kHerbFieldCount; ++i)
        check.texts[i] = trimSpaces(fields[i]);
    for (const Required &required : kRequired) {
        if (check.texts[required.field].isEmpty()) {
            check.missingField = required.field;
            check.message = QString::fromUtf16(required.message);
            return check;
        }
    }
    for (int field : kOptional) {
        if (check.texts[field].isEmpty())
            check.texts[field] = QStringLiteral(" ");
    }
    return check;
}

} // namespace herbs
