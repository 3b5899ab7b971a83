#include "platform/folders.h"

#include <QDir>
#include <QFile>

#include "platform/files.h"
#include "platform/settings_file.h"
#include "support.h"

namespace tz {
namespace {

class FoldersTest : public test::ProgramFolderTest {
  protected:
    // A folder path ending with '/', made when asked.
    QString Folder(const QString& name, bool make = true) const {
        if (make) {
            EXPECT_TRUE(QDir().mkpath(Path(name)));
        }
        return QDir::cleanPath(Path(name)) + '/';
    }
    FolderSources Sources(const QString& executable) const {
        FolderSources sources;
        sources.executableFolder = Path(executable);
        sources.settingsFiles = {Path(executable) + "/tipenzo10.ini",
                                 Path("etc/xdg/tipenzo10/tipenzo10.ini")};
        sources.userDataFolder = Path("home/.local/share/tipenzo10");
        return sources;
    }
    void WriteSettings(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path(name)).absolutePath()));
        WriteBytes(name, bytes);
    }
    QStringList Entries(const QString& name) const {
        return QDir(Path(name)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(FoldersTest, PortableProgramKeepsItsDataBesideItAndInstalledOneInTheUserFolder) {
    // A copied program folder with its lesson texts: everything stays beside the executable.
    Folder("portable/textos");
    FolderChoice choice = ChooseFolders(Sources("portable"));
    EXPECT_EQ(choice.programFolder, Folder("portable"));
    EXPECT_EQ(choice.dataFolder, Folder("portable"));
    EXPECT_EQ(choice.origin, DataFolderOrigin::ProgramFolder);
    EXPECT_TRUE(choice.dataWritable);
    EXPECT_EQ(Entries("portable"), QStringList{"textos"});  // the writing probe left nothing

    // Installed under a prefix: the own files come from share/tipenzo10 beside bin, the data
    // go to the user's folder, made on the spot, even though bin can be written here.
    Folder("prefix/bin");
    Folder("prefix/share/tipenzo10/textos");
    choice = ChooseFolders(Sources("prefix/bin"));
    EXPECT_EQ(choice.programFolder, Folder("prefix/share/tipenzo10", false));
    EXPECT_EQ(choice.dataFolder, Folder("home/.local/share/tipenzo10", false));
    EXPECT_EQ(choice.origin, DataFolderOrigin::UserFolder);
    EXPECT_TRUE(choice.dataWritable);
    EXPECT_TRUE(QFileInfo(Path("home/.local/share/tipenzo10")).isDir());
    EXPECT_TRUE(Entries("prefix/bin").isEmpty());

    // Texts beside the executable win over an installed tree: that is a portable copy.
    Folder("prefix/bin/textos");
    EXPECT_EQ(ChooseFolders(Sources("prefix/bin")).programFolder, Folder("prefix/bin"));

    // A portable program in a folder that cannot be written (here: below a plain file, which
    // no user can write, not even the administrator) also keeps its data in the user's folder.
    WriteBytes("solo-lectura", "");
    choice = ChooseFolders(Sources("solo-lectura/programa"));
    EXPECT_EQ(choice.programFolder, Folder("solo-lectura/programa", false));
    EXPECT_EQ(choice.dataFolder, Folder("home/.local/share/tipenzo10", false));
    EXPECT_TRUE(choice.dataWritable);
}

TEST_F(FoldersTest, SettingsFileAndVariableMoveTheDataFolder) {
    Folder("programa/textos");
    // Beside the executable, with a path relative to the settings file, in Windows line ends.
    WriteSettings("programa/tipenzo10.ini",
                  "; aula 2\r\n[general]\r\ncarpeta=otra\r\n[datos]\r\ncarpeta=../compartida\r\n");
    FolderChoice choice = ChooseFolders(Sources("programa"));
    EXPECT_EQ(choice.programFolder, Folder("programa"));
    EXPECT_EQ(choice.dataFolder, Folder("compartida", false));
    EXPECT_EQ(choice.origin, DataFolderOrigin::SettingsFile);
    EXPECT_EQ(choice.settingsFile, Path("programa") + "/tipenzo10.ini");
    EXPECT_TRUE(QFileInfo(Path("compartida")).isDir()) << "made when missing";
    EXPECT_TRUE(choice.dataWritable);

    // A settings file beside the executable that names no folder gives way to the system-wide
    // one; names of sections and keys in any case, quotes and a byte-order mark are taken.
    WriteSettings("programa/tipenzo10.ini", "[datos]\ncarpeta=\n");
    WriteSettings("etc/xdg/tipenzo10/tipenzo10.ini",
                  "\xEF\xBB\xBF# aula de informática\n [ Datos ]\n CARPETA = \"" +
                      Path("servidor/clase 3").toUtf8() + "\" \n");
    choice = ChooseFolders(Sources("programa"));
    EXPECT_EQ(choice.dataFolder, Folder("servidor/clase 3", false));
    EXPECT_EQ(choice.settingsFile, Path("etc/xdg/tipenzo10/tipenzo10.ini"));

    // When both name a folder, the one beside the executable counts.
    WriteSettings("programa/tipenzo10.ini", "[datos]\ncarpeta=../aula\n");
    choice = ChooseFolders(Sources("programa"));
    EXPECT_EQ(choice.dataFolder, Folder("aula", false));
    EXPECT_EQ(choice.settingsFile, Path("programa") + "/tipenzo10.ini");

    // Saved in the Windows code page by an old editor: the accented name survives.
    WriteSettings("etc/xdg/tipenzo10/tipenzo10.ini", "[datos]\r\ncarpeta=a\xF1o\r\n");
    EXPECT_EQ(ReadDataFolderSetting(Path("etc/xdg/tipenzo10/tipenzo10.ini")),
              Folder(QString::fromUtf8("etc/xdg/tipenzo10/año"), false));
    EXPECT_TRUE(ReadDataFolderSetting(Path("no-existe.ini")).isEmpty());

    // The variable goes over every settings file, and over an installed program's user folder.
    FolderSources sources = Sources("programa");
    sources.dataVariable = Path("variable");
    choice = ChooseFolders(sources);
    EXPECT_EQ(choice.dataFolder, Folder("variable", false));
    EXPECT_EQ(choice.origin, DataFolderOrigin::Variable);
    EXPECT_TRUE(choice.dataWritable);
    EXPECT_EQ(choice.programFolder, Folder("programa"));
}

// A comment after a value, as the usual INI readers take it: ";" or "#" after a blank. Inside
// a value without a blank before it, or inside double quotes, either is the value's own.
TEST_F(FoldersTest, SettingsValuesEndWhereAComment) {
    const struct {
        const char* line;
        const char* value;
    } cases[] = {
        {"clave=5432   ; 5432 when absent", "5432"},
        {"clave=exigir\t# refuse a connection that is not encrypted", "exigir"},
        {"clave= ; nothing", ""},
        {"clave=a;b#c", "a;b#c"},
        {"clave=\"una clave ; con # dentro\"  ; la de 2024", "una clave ; con # dentro"},
        {"clave=\\\\servidor\\tipenzo10 ;compartida", "\\\\servidor\\tipenzo10"},
    };
    for (const auto& c : cases) {
        WriteBytes("tipenzo10.ini", QByteArray("[servidor]\r\n") + c.line + "\r\n");
        const std::optional<SettingsSection> section =
            ReadSettingsSection(Path("tipenzo10.ini"), "servidor");
        ASSERT_TRUE(section) << c.line;
        EXPECT_EQ(section->Value("clave"), QString::fromUtf8(c.value)) << c.line;
    }
}

TEST_F(FoldersTest, DataFolderThatCannotBeWrittenIsKeptAndSaidSo) {
    Folder("programa/textos");
    WriteBytes("archivo", "no es una carpeta");
    WriteSettings("programa/tipenzo10.ini", "[datos]\ncarpeta=../archivo/datos\n");
    const FolderChoice choice = ChooseFolders(Sources("programa"));
    // The lab's folder is not swapped for another behind the teacher's back.
    EXPECT_EQ(choice.dataFolder, Path("archivo/datos/"));
    EXPECT_EQ(choice.origin, DataFolderOrigin::SettingsFile);
    EXPECT_FALSE(choice.dataWritable);
    EXPECT_FALSE(FolderIsWritable(Path("archivo")));
    EXPECT_FALSE(FolderIsWritable(Path("nada")));
    EXPECT_TRUE(FolderIsWritable(Path("programa")));
}

TEST_F(FoldersTest, ReadersOfOwnFilesAndOfDataUseTheirOwnFolder) {
    SetFolders(Folder("programa"), Folder("datos"));
    Folder("programa/Textos");
    WriteBytes("programa/Textos/TEXTO_01", "hola");
    EXPECT_PRED2(test::SameFileName, ProgramPath("textos/TEXTO_01"),
                 Path("programa/Textos/TEXTO_01"));
    EXPECT_EQ(DataPath("usuarios.dat"), Path("datos/usuarios.dat"));
    EXPECT_TRUE(FoldersSet());
    SetProgramFolder(QString());
    EXPECT_FALSE(FoldersSet());
    EXPECT_EQ(ProgramFolder(), DataFolder());
}

}  // namespace
}  // namespace tz
