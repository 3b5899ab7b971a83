// The Windows side of files other accounts can touch, where the program finds its folders and
// which keyboard it takes: links a classmate plants are refused and what they point at stays
// as it was; a target another program holds open is waited for; the system's keyboard layout
// and folders are the Windows ones.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <thread>

#include "platform/folder_handle.h"
#include "platform/folders.h"
#include "platform/keyboard_layout.h"
#include "platform/safe_files.h"
#include "support.h"

namespace tz {
namespace {

std::wstring Native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

bool IsReparsePoint(const QString& path) {
    const DWORD attributes = GetFileAttributesW(Native(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A symbolic link to a file, as an account in developer mode (or an administrator) makes it.
bool PlantFileLink(const QString& link, const QString& target) {
    CreateSymbolicLinkW(Native(link).c_str(), Native(target).c_str(),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    // Some systems answer yes and make a plain file: only a reparse point is a link.
    return IsReparsePoint(link);
}

class WindowsFilesTest : public test::ProgramFolderTest {};

// What a classmate plants under the users file's, a figures file's or a temporary's name, as a
// link to another pupil's file: it is read as refused, written over as a link (the file it points
// at keeps its bytes), never written through.
TEST_F(WindowsFilesTest, LinksPlantedUnderOurNamesAreRefusedAndTheirTargetsUntouched) {
    WriteBytes("de-ana.txt", "privado");
    const QString target = Path("de-ana.txt");
    ASSERT_TRUE(FolderHandle::Open(dir_->path(), "estadisticas", FolderHandle::Make::IfMissing));
    const QString temporary = Path("usuarios.dat.0000beef.tmp");
    SetTempNames([&](const QString&) { return temporary; });
    for (const QString& name :
         {QStringLiteral("usuarios.dat"), QStringLiteral("estadisticas/ID-20240101000001.txt")}) {
        SCOPED_TRACE(name.toStdString());
        if (!PlantFileLink(Path(name), target)) {
            SetTempNames({});
            GTEST_SKIP() << "this system makes no file links for this account (Wine makes none; "
                            "Windows in developer mode or for an administrator does)";
        }
        EXPECT_EQ(ReadRegularFile(Path(name), 100).outcome, ReadOutcome::Refused);
        // A link planted where the temporary goes: the write never goes through it.
        ASSERT_TRUE(PlantFileLink(temporary, target));
        EXPECT_FALSE(ReplaceFileWith(Path(name), "nuevo"));
        EXPECT_TRUE(IsReparsePoint(temporary)) << "the planted link is left to its owner";
        EXPECT_EQ(ReadBytes("de-ana.txt"), "privado");
        QFile::remove(temporary);
        // With a temporary of its own the link itself is replaced.
        EXPECT_TRUE(ReplaceFileWith(Path(name), "nuevo"));
        EXPECT_FALSE(IsReparsePoint(Path(name)));
        EXPECT_EQ(ReadRegularFile(Path(name), 100).bytes, "nuevo");
        EXPECT_EQ(ReadBytes("de-ana.txt"), "privado");
    }
    SetTempNames({});
}

// Windows refuses to rename over a file another program holds open without sharing its
// deletion (an antivirus, a backup, an editor): the replacement waits for it and then succeeds.
TEST_F(WindowsFilesTest, AReplacementWaitsForAProgramThatHoldsTheTargetOpen) {
    WriteBytes("usuarios.dat", "viejo");
    const HANDLE held = CreateFileW(Native(Path("usuarios.dat")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    const DWORD start = GetTickCount();
    const bool replaced = ReplaceFileWith(Path("usuarios.dat"), "nuevo");
    const DWORD waited = GetTickCount() - start;
    release.join();
    EXPECT_TRUE(replaced);
    EXPECT_GE(waited, 250u) << "the first refusal was not a sharing violation";
    EXPECT_EQ(ReadBytes("usuarios.dat"), "nuevo");
    EXPECT_EQ(LeftoverTemps(), QStringList());

    // Held for longer than the wait: given up, the old file whole, no temporary left.
    const HANDLE kept = CreateFileW(Native(Path("usuarios.dat")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(kept, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReplaceFileWith(Path("usuarios.dat"), "otro"));
    CloseHandle(kept);
    EXPECT_EQ(ReadBytes("usuarios.dat"), "nuevo");
    EXPECT_EQ(LeftoverTemps(), QStringList());
}

// The keyboard Windows has for the program: the Latin American one (0000080A) gives that
// layout, Spain's (0000040A) the Spanish one.
TEST(WindowsKeyboard, TheInputLocalesLayoutChoosesTheKeyboard) {
    struct Case {
        const char* name;
        QString layout;
    };
    const HKL before = GetKeyboardLayout(0);
    for (const Case& c : {Case{"0000080A", kLatinAmericanLayout}, Case{"0000040A", kSpanishLayout},
                          Case{"0000080A", kLatinAmericanLayout}}) {
        wchar_t active[KL_NAMELENGTH] = {};
        if (!LoadKeyboardLayoutW(QString::fromLatin1(c.name).toStdWString().c_str(),
                                 KLF_ACTIVATE | KLF_SETFORPROCESS) ||
            !GetKeyboardLayoutNameW(active) ||
            QString::fromWCharArray(active).compare(QLatin1String(c.name), Qt::CaseInsensitive)) {
            ActivateKeyboardLayout(before, 0);
            GTEST_SKIP() << "this system cannot switch its keyboard to " << c.name;
        }
        EXPECT_EQ(SystemKeyboardLayout(), c.layout) << c.name;
    }
    ActivateKeyboardLayout(before, 0);
}

QString KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, &path))) return QString();
    const QString folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// Where a Windows PC keeps the data and the settings files: the user's roaming AppData, the
// settings file beside the program, then the user's local AppData, then ProgramData for the
// whole PC (where a lab's deployment puts it).
TEST(WindowsFolders, DataAndSettingsFilesAreLookedForInTheWindowsPlaces) {
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("tipenzo10"));
    const FolderSources sources = RunningFolderSources();
    QCoreApplication::setApplicationName(name);
    const QString roaming = KnownFolder(FOLDERID_RoamingAppData);
    const QString local = KnownFolder(FOLDERID_LocalAppData);
    const QString machine = KnownFolder(FOLDERID_ProgramData);
    ASSERT_FALSE(roaming.isEmpty() || local.isEmpty() || machine.isEmpty());
    EXPECT_EQ(sources.userDataFolder.toLower(), (roaming + "/tipenzo10").toLower());
    const QStringList expected = {QCoreApplication::applicationDirPath() + "/tipenzo10.ini",
                                  local + "/tipenzo10/tipenzo10.ini",
                                  machine + "/tipenzo10/tipenzo10.ini"};
    EXPECT_EQ(sources.settingsFiles.join('|').toLower().toStdString(),
              expected.join('|').toLower().toStdString());
}

}  // namespace
}  // namespace tz
