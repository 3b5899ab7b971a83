#pragma once
// Qt's own dialogs and menus (the file dialog, an editor's context menu) speak the program's
// language.

namespace tz {

// Loads Qt's Spanish translations, from the Qt installation or from a "translations" folder
// beside the executable. True when they were found; without them Qt's texts stay English.
bool InstallSpanishTranslations();

}  // namespace tz
