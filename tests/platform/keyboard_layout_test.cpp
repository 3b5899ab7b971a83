// Which keyboard the PC has: what X11 or Windows says, and what a lab's settings file says over
// it.

#include "platform/keyboard_layout.h"

#include <QDir>

#include "support.h"

namespace tz {
namespace {

QByteArray XkbNames(const char* layouts, const char* variants) {
    return QByteArray("evdev") + '\0' + "pc105" + '\0' + layouts + '\0' + variants + '\0' +
           "grp:alt_shift_toggle" + '\0';
}

TEST(KeyboardLayout, WhatX11Says) {
    const struct {
        QByteArray names;
        int group;
        QString layout;
    } cases[] = {
        {XkbNames("latam", ""), 0, kLatinAmericanLayout},
        {XkbNames("latam", "deadtilde"), 0, kLatinAmericanLayout},
        {XkbNames("es", ""), 0, kSpanishLayout},
        {XkbNames("us", ""), 0, kSpanishLayout},
        // Two layouts: the one of the group in use.
        {XkbNames("us,latam", ","), 1, kLatinAmericanLayout},
        {XkbNames("us,latam", ","), 0, kSpanishLayout},
        {XkbNames("latam,us", ""), 0, kLatinAmericanLayout},
        {XkbNames("latam,us", ""), 1, kSpanishLayout},
        // A group the names do not list counts as the first.
        {XkbNames("latam,us", ""), 3, kLatinAmericanLayout},
        {XkbNames("latam", ""), -1, kLatinAmericanLayout},
        // Variants that move the letters are a keyboard of their own.
        {XkbNames("latam", "dvorak"), 0, kSpanishLayout},
        {XkbNames("latam", "colemak"), 0, kSpanishLayout},
        // Nothing to tell by.
        {QByteArray(), 0, kSpanishLayout},
        {QByteArray("evdev"), 0, kSpanishLayout},
        {QByteArray("evdev\0pc105\0", 12), 0, kSpanishLayout},
        {QByteArray("evdev\0pc105\0latam", 17), 0, kLatinAmericanLayout},
        {QByteArray("\0\0\0\0\0", 5), 0, kSpanishLayout},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayoutFromXkbNames(c.names, c.group), c.layout)
            << c.names.toPercentEncoding().toStdString() << " group " << c.group;
    }
}

TEST(KeyboardLayout, WhatWindowsSays) {
    EXPECT_EQ(LayoutFromWindowsLayoutName(QStringLiteral("0000080A")), kLatinAmericanLayout);
    EXPECT_EQ(LayoutFromWindowsLayoutName(QStringLiteral("0000080a")), kLatinAmericanLayout);
    EXPECT_EQ(LayoutFromWindowsLayoutName(QStringLiteral("0000040A")), kSpanishLayout);
    EXPECT_EQ(LayoutFromWindowsLayoutName(QStringLiteral("0001040A")), kSpanishLayout);
    EXPECT_EQ(LayoutFromWindowsLayoutName(QStringLiteral("00000409")), kSpanishLayout);
    EXPECT_EQ(LayoutFromWindowsLayoutName(QString()), kSpanishLayout);
}

// Off X11 and Windows (the tests run on the offscreen platform) the system cannot tell.
TEST(KeyboardLayout, TheOffscreenSystemHasTheSpanishKeyboard) {
    EXPECT_EQ(SystemKeyboardLayout(), kSpanishLayout);
}

class KeyboardSettingTest : public test::ProgramFolderTest {
  protected:
    QString Settings(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(Path(name)).absolutePath()));
        WriteBytes(name, bytes);
        return Path(name);
    }
};

TEST_F(KeyboardSettingTest, TheSettingsFileNamesTheLayout) {
    const struct {
        QByteArray bytes;
        QString layout;
    } cases[] = {
        {"[teclado]\r\ndistribucion=latinoamericano\r\n", kLatinAmericanLayout},
        {"[teclado]\ndistribucion=español\n", kSpanishLayout},
        {"[teclado]\ndistribucion=espanol\n", kSpanishLayout},
        {"\xEF\xBB\xBF; aula 4\n [ Teclado ] \n DISTRIBUCION = \"LatinoAmericano\" \n",
         kLatinAmericanLayout},
        // Saved in the Windows code page by an old editor.
        {"[teclado]\r\ndistribucion=ESPA\xD1OL\r\n", kSpanishLayout},
        // Beside the data folder's setting, in any order.
        {"[teclado]\ndistribucion=latinoamericano\n[datos]\ncarpeta=/srv/tipenzo10\n",
         kLatinAmericanLayout},
        // Names the program does not know, or nothing at all, name no layout.
        {"[teclado]\ndistribucion=latam\n", QString()},
        {"[teclado]\ndistribucion=ingles\n", QString()},
        {"[teclado]\ndistribucion=\n", QString()},
        {"[teclado]\ndistribucion\n", QString()},
        {"[datos]\ndistribucion=latinoamericano\n", QString()},
        {"distribucion=latinoamericano\n", QString()},
        {"[teclado]\n; distribucion=latinoamericano\n", QString()},
        {"", QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadKeyboardLayoutSetting(Settings("tipenzo10.ini", c.bytes)), c.layout)
            << c.bytes.toStdString();
    }
    EXPECT_TRUE(ReadKeyboardLayoutSetting(Path("no-existe.ini")).isEmpty());
}

TEST_F(KeyboardSettingTest, TheFirstFileThatNamesALayoutGoesOverTheSystem) {
    const QString beside = Path("programa/tipenzo10.ini");
    const QString user = Path("home/.config/tipenzo10/tipenzo10.ini");
    const QString system = Path("etc/xdg/tipenzo10/tipenzo10.ini");
    const QStringList files = {beside, user, system};
    // No file: the system decides.
    EXPECT_EQ(ChooseKeyboardLayout(files, kLatinAmericanLayout), kLatinAmericanLayout);
    EXPECT_EQ(ChooseKeyboardLayout(files, kSpanishLayout), kSpanishLayout);
    EXPECT_EQ(ChooseKeyboardLayout(files, QString()), kSpanishLayout);
    // A lab's keyboards differ from the system's setting.
    Settings("etc/xdg/tipenzo10/tipenzo10.ini", "[teclado]\ndistribucion=español\n");
    EXPECT_EQ(ChooseKeyboardLayout(files, kLatinAmericanLayout), kSpanishLayout);
    Settings("home/.config/tipenzo10/tipenzo10.ini", "[teclado]\ndistribucion=latinoamericano\n");
    EXPECT_EQ(ChooseKeyboardLayout(files, kSpanishLayout), kLatinAmericanLayout);
    // A file that names only the data folder, or a layout the program does not know, gives way.
    Settings("programa/tipenzo10.ini", "[datos]\ncarpeta=../datos\n[teclado]\ndistribucion=x\n");
    EXPECT_EQ(ChooseKeyboardLayout(files, kSpanishLayout), kLatinAmericanLayout);
    Settings("programa/tipenzo10.ini", "[teclado]\ndistribucion=espanol\n");
    EXPECT_EQ(ChooseKeyboardLayout(files, kLatinAmericanLayout), kSpanishLayout);
}

}  // namespace
}  // namespace tz
