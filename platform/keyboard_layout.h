#pragma once
// Which keyboard the PC has: what the system says when the program starts, unless the settings
// file "tipenzo10.ini" names one for a lab whose keyboards differ from the system's setting:
//
//     [teclado]
//     distribucion=latinoamericano
//
// The program knows two keyboards, the Spanish one and the Latin American one; any other
// layout, or a system that cannot tell, gets the Spanish one.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tz {

inline const QString kSpanishLayout = QStringLiteral("español");
inline const QString kLatinAmericanLayout = QStringLiteral("latinoamericano");

// The layout of the keyboard the system uses now: on X11 the XKB layout of the group in use
// (from the root window), on Windows the keyboard layout of the input locale.
QString SystemKeyboardLayout();

// What X11 says: the root window's _XKB_RULES_NAMES (rules, model, layouts, variants and
// options, each ended by a zero byte; layouts and variants listed by group, split by commas)
// and the group in use.
QString LayoutFromXkbNames(const QByteArray& rulesNames, int group);
// What Windows says: the name of the keyboard layout ("0000080A" is the Latin American one).
QString LayoutFromWindowsLayoutName(const QString& name);

// The layout a settings file names ("distribucion" in the section "[teclado]", written in any
// case, "español" also without its tilde); empty when it names none the program knows.
QString ReadKeyboardLayoutSetting(const QString& settingsFile);

// The first settings file that names a layout decides; otherwise the system's layout.
QString ChooseKeyboardLayout(const QStringList& settingsFiles, const QString& systemLayout);

// The choice of the running program: its settings files and the system's keyboard now.
QString RunningKeyboardLayout();

}  // namespace tz
