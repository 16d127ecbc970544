#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace ui {

// A question answered by a line of text ("协定方的名称："): what the box shows.
struct TextRequest {
    QString title;
    QString label;
    QString text; // what the box holds at first
};

// Every text question of the program goes through here: the text typed, or nothing when the
// user cancelled.
std::optional<QString> askText(const TextRequest &request);

// Replaces the real box (tests answer without a modal loop); an empty handler brings it back.
using TextRequestHandler = std::function<std::optional<QString>(const TextRequest &)>;
void setTextRequestHandler(TextRequestHandler handler);

} // namespace ui
