#pragma once

class QTranslator;

namespace ui {

// Loads the toolkit's own Simplified Chinese texts (file dialogs, the text boxes' context
// menus, the toolkit's questions), whatever the locale: the program speaks Chinese
// everywhere. The translator installed, owned by the application; nullptr when the
// translation is not installed, in which case those texts stay in English.
QTranslator *installToolkitTranslation();

} // namespace ui
