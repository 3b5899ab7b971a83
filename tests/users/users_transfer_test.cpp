#include <QDir>
#include <QRegularExpression>
#include <QSet>

#include "platform/dialogs.h"
#include "platform/safe_files.h"
#include "tests/users/users_screen_helpers.h"
#include "users/users_file.h"
#include "users/users_transfer.h"

namespace tz {
namespace {

using test::ClickControl;
using test::ColumnTexts;
using test::ToggleMark;

const QByteArray kHeader = "Datos de Usuarios v2.6\r\n";
const QByteArray kAna = "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001";
// Not valid UTF-8 (written by hand in Latin-1) and with an 18th field: read as what it shows.
const QByteArray kPena =
    "PE\xD1"
    "A|12|3|2|210|200|220|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000002|nota";
const QByteArray kEva = "EVA|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-20240101000003";

// The random source that makes RandomInt(0, 30000) give `number`.
double DrawOf(int number) {
    return (number + 0.5) / 30001.0;
}

class UsersTransferTest : public test::UsersScreenTest {
  protected:
    void WriteThreeUsers() { WriteUsers(kHeader + kAna + "\r\n" + kPena + "\r\n" + kEva + "\r\n"); }
    // Feeds these numbers to the id draws, one per draw.
    void DrawNumbers(const QList<int>& numbers) {
        auto queue = std::make_shared<QList<int>>(numbers);
        SetRandomSource([queue] {
            if (queue->isEmpty()) return DrawOf(29999);
            return DrawOf(queue->takeFirst());
        });
    }
    // The user lines after the header.
    QList<QByteArray> UserLines() const {
        QList<QByteArray> lines = SplitByteLines(Users());
        lines.removeFirst();
        return lines;
    }
    // Clicks Import with the file's path as the dialog's answer, then Escape.
    void Import(const QString& name, int expectedRows) {
        OpenAndThen([this, name, expectedRows](QWidget* window, QTreeWidget* list) {
            QueueTextAnswer(Path(name));
            ClickControl(window, kUsersImportId);
            // The list shows the imported users at once, all unmarked.
            EXPECT_EQ(list->topLevelItemCount(), expectedRows);
            QTest::keyClick(list, Qt::Key_Escape);
        });
    }
    AskedDialog LastAsked() const {
        return AskedDialogs().empty() ? AskedDialog{} : AskedDialogs().back();
    }
};

TEST_F(UsersTransferTest, ExportWritesTheMarkedPupilsAsTheProgramReadsThem) {
    WriteThreeUsers();
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        ToggleMark(list, 0);
        ToggleMark(list, 1);
        QueueTextAnswer(Path("clase 3B.tpz"));
        ClickControl(window, kUsersExportId);
        // The marks stay after an export.
        EXPECT_EQ(ColumnTexts(list, kNameColumn).size(), 3);
        EXPECT_EQ(list->topLevelItem(1)->checkState(kNameColumn), Qt::Checked);
        EXPECT_EQ(list->topLevelItem(2)->checkState(kNameColumn), Qt::Unchecked);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    // PEÑA's line was written by hand in Latin-1 with a field of its own after her id.
    EXPECT_EQ(ReadBytes("clase 3B.tpz"),
              kAna + "\r\n" + QString::fromLatin1(kPena.chopped(5)).toUtf8() + "\r\n");
    ASSERT_EQ(AskedDialogs().size(), 2u);
    const AskedDialog& save = AskedDialogs()[0];
    EXPECT_EQ(save.kind, "save");
    EXPECT_EQ(save.title, "Exportar usuarios al siguiente archivo");
    EXPECT_EQ(save.text, "Text (*.tpz)");
    EXPECT_EQ(save.proposed, "usu_tipz.tpz");
    EXPECT_EQ(AskedDialogs()[1].text, "2 usuarios fueron exportados a:\n\nclase 3B.tpz");
    EXPECT_EQ(test::BoxOf(AskedDialogs()[1]), (test::Box{false, DialogIcon::Information}));
    // Exporting changes nothing at home.
    EXPECT_EQ(Users(), kHeader + kAna + "\r\n" + kPena + "\r\n" + kEva + "\r\n");
}

TEST_F(UsersTransferTest, AnExportOfNobodyOrToNowhereSaysSoAndCancelChangesNothing) {
    WriteThreeUsers();
    const QByteArray before = Users();
    OpenAndThen([this](QWidget* window, QTreeWidget* list) {
        ToggleMark(list, 2);
        ToggleMark(list, 2);  // marked and unmarked again
        ClickControl(window, kUsersExportId);
        EXPECT_EQ(AskedDialogs().back().text,
                  QString::fromUtf8("No hay ningún usuario marcado para la exportación"));
        EXPECT_EQ(test::BoxOf(AskedDialogs().back()), (test::Box{false, DialogIcon::Exclamation}));
        ToggleMark(list, 2);
        QueueTextAnswer(Path("no existe/usu_tipz.tpz"));
        ClickControl(window, kUsersExportId);
        EXPECT_TRUE(AskedDialogs().back().text.startsWith(
            "No se pudo escribir el archivo:\n\nusu_tipz.tpz"));
        // No answer queued: both file dialogs cancelled, and the list is not read again.
        ClickControl(window, kUsersExportId);
        ClickControl(window, kUsersImportId);
        EXPECT_EQ(list->topLevelItem(2)->checkState(kNameColumn), Qt::Checked);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    ASSERT_EQ(AskedDialogs().size(), 5u);
    EXPECT_EQ(AskedDialogs()[4].kind, "open");
    EXPECT_EQ(AskedDialogs()[4].title, "Importar usuarios desde el siguiente archivo");
    EXPECT_TRUE(AskedDialogs()[4].proposed.isEmpty());
    EXPECT_FALSE(Exists("no existe"));
    EXPECT_EQ(Users(), before);
}

TEST_F(UsersTransferTest, ImportAddsEveryUserUnderANewIdAndTwiceWhenImportedTwice) {
    WriteThreeUsers();
    WriteBytes("clase.tpz", kAna + "\r\n" + kPena + "\r\n");
    Import("clase.tpz", 5);
    EXPECT_EQ(LastAsked().title, QString::fromUtf8("Resultados de la Importación de usuarios"));
    EXPECT_EQ(LastAsked().text, "2 usuarios fueron importados");
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Information}));

    Import("clase.tpz", 7);
    EXPECT_EQ(LastAsked().text, "2 usuarios fueron importados");

    const QList<QByteArray> lines = UserLines();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], QString::fromLatin1(kPena).toUtf8());
    const QRegularExpression importedId("^ID-(\\d{1,5})$");
    QSet<QString> ids;
    for (int i = 0; i < 7; ++i) ids.insert(ByteLineField(lines[i], UserField::Id));
    EXPECT_EQ(ids.size(), 7);  // every id different
    // PEÑA's line was written by hand in Latin-1: she comes in as UTF-8.
    const QByteArray penaUtf8 = QString::fromLatin1(kPena).toUtf8();
    for (int i = 3; i < 7; ++i) {
        const QByteArray& source = i % 2 == 1 ? kAna : penaUtf8;
        const QByteArray sixteen = source.left(source.indexOf("|ID-") + 1);
        EXPECT_TRUE(lines[i].startsWith(sixteen)) << i;
        const auto match = importedId.match(ByteLineField(lines[i], UserField::Id));
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_LE(match.captured(1).toInt(), 30000);
        // Field 17 is the new id and the last field: the 18th of the source is not taken.
        EXPECT_EQ(lines[i].count('|'), 16);
    }
}

TEST_F(UsersTransferTest, AnImportedIdNeverEqualsOneInTheFileOrOneJustDrawn) {
    WriteUsers(kHeader + kAna + "\r\n" + "LOLA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-15" +
               "\r\n");
    WriteBytes("dos.tpz", kEva + "\r\n" + kEva + "\r\n");
    // A deleted pupil's id is no free one either: her kept figures would be overwritten.
    WriteBytes("usuarios_borrados.tpz",
               "PEPA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-8\r\n");
    ASSERT_TRUE(QDir().mkdir(Path("usuarios_borrados")));
    WriteBytes("usuarios_borrados/ID-9.txt", "");
    // 15 stands in the file; 77 is drawn for the first user and again for the second.
    DrawNumbers({15, 8, 9, 77, 15, 77, 15, 300});
    Import("dos.tpz", 4);
    const QList<QByteArray> lines = UserLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(ByteLineField(lines[2], UserField::Id), "ID-77");
    EXPECT_EQ(ByteLineField(lines[3], UserField::Id), "ID-300");
}

TEST_F(UsersTransferTest, ImportStopsInsteadOfDrawingForEverWhenNoIdIsFree) {
    WriteUsers(kHeader + "LOLA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-29999\r\n");
    const QByteArray before = Users();
    WriteBytes("uno.tpz", kEva + "\r\n");
    DrawNumbers({});  // every draw gives 29999, which is taken
    Import("uno.tpz", 1);
    EXPECT_TRUE(LastAsked().text.startsWith("0 usuarios fueron importados\n\n1 usuario no"));
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_EQ(Users(), before);
}

// Only whole user lines come in: anything else would enter the class damaged, and a users
// file with damaged lines asks the damaged-file questions at every start once it is large.
TEST_F(UsersTransferTest, OnlyWholeUserLinesAreImportedAndTheRestIsCounted) {
    WriteUsers(kHeader);
    // A byte-order mark from an editor, a name alone, bars alone, letters where numbers go,
    // blank lines, the header of a users file, and one good line.
    WriteBytes("varios.tpz",
               "\xEF\xBB\xBF"
               "Pedro Gil\r\n|||\r\n\r\n   \r\n"
               "LUIS|uno|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-2\r\n"
               "Datos de Usuarios v2.6\n" +
                   kEva + "\n");
    DrawNumbers({5});
    Import("varios.tpz", 1);
    EXPECT_EQ(LastAsked().text, QString::fromUtf8("1 usuario fue importado\n\n4 líneas del "
                                                  "archivo no eran usuarios y no se han "
                                                  "importado."));
    EXPECT_EQ(Users(), kHeader + kEva.left(kEva.indexOf("ID-")) + "ID-5\r\n");
    EXPECT_TRUE(IsHealthyUsersFile(Users()));

    // Nothing but one damaged line: said in the singular. A file far too large is not read.
    WriteBytes("uno.tpz", "Pedro Gil\r\n");
    Import("uno.tpz", 1);
    EXPECT_EQ(LastAsked().text, QString::fromUtf8("0 usuarios fueron importados\n\n1 línea del "
                                                  "archivo no era un usuario y no se ha "
                                                  "importado."));
    WriteBytes("enorme.tpz", QByteArray(kImportFileCap + 1, 'x'));
    Import("enorme.tpz", 1);
    EXPECT_TRUE(LastAsked().text.contains("enorme.tpz es demasiado grande"));
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Exclamation}));
}

TEST_F(UsersTransferTest, EmptyOrUnreadableFilesImportNothingAndSayWhy) {
    WriteThreeUsers();
    const QByteArray before = Users();
    WriteBytes("vacio.tpz", "");
    Import("vacio.tpz", 3);
    EXPECT_EQ(LastAsked().text, "0 usuarios fueron importados");
    // A failure is told as one, with the file it concerns.
    Import("no_existe.tpz", 3);
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_TRUE(LastAsked().text.contains("no_existe.tpz")) << LastAsked().text.toStdString();
    WriteBytes("uno.tpz", kAna + "\r\n");
    SetMoveOnce([](const QString&, const QString&) { return MoveStep::Failed; });
    Import("uno.tpz", 3);
    SetMoveOnce({});
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_FALSE(LastAsked().text.contains("importados")) << LastAsked().text.toStdString();
    EXPECT_EQ(Users(), before);
}

// A name keeps nothing that hides or reorders what the list shows and at most 60 characters;
// a line too long for any pupil is none, and one import brings one school's class at most:
// no file can freeze or fill the users file of every PC.
TEST_F(UsersTransferTest, ImportCleansOrRefusesNamesAndBoundsWhatItAdds) {
    WriteUsers(kHeader);
    const QByteArray rest = "|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-1\r\n";
    WriteBytes("nombres.tpz", QByteArray("LU\0IS", 5) + rest + "\xE2\x80\xAE" + "AVE" + rest +
                                  QByteArray(100000, 'M') + rest + "\xE2\x80\x8B\x7F" + rest +
                                  "EVA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|" +
                                  QByteArray(100000, 'F') + "|ID-1\r\n");
    DrawNumbers({1, 2, 3});
    Import("nombres.tpz", 3);
    QStringList names;
    for (const QByteArray& line : UserLines()) names << ByteLineField(line, UserField::Name);
    EXPECT_EQ(names, (QStringList{"LUIS", "AVE", QString(60, 'M')}));
    EXPECT_LT(Users().size(), 400);
    EXPECT_TRUE(LastAsked().text.startsWith("3 usuarios fueron importados"));
    EXPECT_TRUE(LastAsked().text.contains("3 nombres")) << LastAsked().text.toStdString();
    EXPECT_TRUE(LastAsked().text.contains("1 usuario no")) << LastAsked().text.toStdString();

    QByteArray many;
    for (int i = 0; i <= kMostImportedPupils; ++i) many += kEva + "\r\n";
    WriteBytes("muchos.tpz", many);
    const QByteArray before = Users();
    Import("muchos.tpz", 3);
    EXPECT_EQ(Users(), before);
    EXPECT_EQ(test::BoxOf(LastAsked()), (test::Box{false, DialogIcon::Exclamation}));
}

TEST_F(UsersTransferTest, ImportAfterALastLineWithoutItsLineEndJoinsNoLines) {
    // The last line lacks its line end (edited by hand): the first import must not join it.
    WriteUsers(kHeader + kEva);
    WriteBytes("uno.tpz", kAna + "\r\n");
    DrawNumbers({42});
    Import("uno.tpz", 2);
    EXPECT_EQ(Users(), kHeader + kEva + "\r\n" + kAna.left(kAna.indexOf("ID-")) + "ID-42\r\n");
}

}  // namespace
}  // namespace tz
