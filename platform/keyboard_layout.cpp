#include "platform/keyboard_layout.h"

#include <QGuiApplication>
#include <QList>

#include "platform/folders.h"
#include "platform/settings_file.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(TIPENZO_HAVE_X11)
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace tz {

namespace {

#if !defined(Q_OS_WIN) && defined(TIPENZO_HAVE_X11)
// The root window's _XKB_RULES_NAMES and the group in use, through the display Qt opened;
// nothing when the program does not run on X11.
QString X11KeyboardLayout() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return QString();
    const Atom names = XInternAtom(display, "_XKB_RULES_NAMES", True);
    if (names == None) return QString();
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), names, 0, 1024,
                                          False, XA_STRING, &type, &format, &count, &left, &data);
    QByteArray value;
    if (status == Success && data && format == 8) {
        value = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    }
    if (data) XFree(data);
    XkbStateRec state{};
    const int group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    return LayoutFromXkbNames(value, group);
}
#endif

}  // namespace

QString LayoutFromXkbNames(const QByteArray& rulesNames, int group) {
    const QList<QByteArray> fields = rulesNames.split('\0');
    if (fields.size() < 3) return kSpanishLayout;
    const QList<QByteArray> layouts = fields[2].split(',');
    const QList<QByteArray> variants =
        fields.size() > 3 ? fields[3].split(',') : QList<QByteArray>();
    if (group < 0 || group >= layouts.size()) group = 0;
    const QByteArray layout = layouts[group].trimmed();
    const QByteArray variant = group < variants.size() ? variants[group].trimmed() : QByteArray();
    // The variants that keep the keys where the Latin American keyboard prints them; the others
    // (Dvorak, Colemak...) move letters about and are a layout of their own.
    const bool printedKeys = variant.isEmpty() || variant == "deadtilde";
    return layout == "latam" && printedKeys ? kLatinAmericanLayout : kSpanishLayout;
}

QString LayoutFromWindowsLayoutName(const QString& name) {
    return name.compare(QLatin1String("0000080A"), Qt::CaseInsensitive) == 0 ? kLatinAmericanLayout
                                                                             : kSpanishLayout;
}

QString SystemKeyboardLayout() {
#if defined(Q_OS_WIN)
    wchar_t name[KL_NAMELENGTH] = {};
    if (!GetKeyboardLayoutNameW(name)) return kSpanishLayout;
    return LayoutFromWindowsLayoutName(QString::fromWCharArray(name));
#elif defined(TIPENZO_HAVE_X11)
    const QString layout = X11KeyboardLayout();
    return layout.isEmpty() ? kSpanishLayout : layout;
#else
    return kSpanishLayout;
#endif
}

QString ReadKeyboardLayoutSetting(const QString& settingsFile) {
    const std::optional<SettingsSection> keyboard = ReadSettingsSection(settingsFile, "teclado");
    if (!keyboard) return QString();
    const QString value = keyboard->Value(QStringLiteral("distribucion"));
    // Written by hand: the name with or without its tilde, in any case.
    for (const QString& known : {kLatinAmericanLayout, kSpanishLayout, QStringLiteral("espanol")}) {
        if (value.compare(known, Qt::CaseInsensitive) == 0) {
            return known == kLatinAmericanLayout ? kLatinAmericanLayout : kSpanishLayout;
        }
    }
    return QString();
}

QString ChooseKeyboardLayout(const QStringList& settingsFiles, const QString& systemLayout) {
    for (const QString& file : settingsFiles) {
        const QString named = ReadKeyboardLayoutSetting(file);
        if (!named.isEmpty()) return named;
    }
    return systemLayout == kLatinAmericanLayout ? kLatinAmericanLayout : kSpanishLayout;
}

QString RunningKeyboardLayout() {
    return ChooseKeyboardLayout(RunningFolderSources().settingsFiles, SystemKeyboardLayout());
}

}  // namespace tz
