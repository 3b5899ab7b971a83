// The lesson viewer as a pupil uses it: it opens on her exercise, follows her choices, hands the
// run the exercise chosen, and leaves her user exactly as it found it.

#include <QTextEdit>

#include "app/exercise_run.h"
#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/lesson_viewer.h"
#include "exercise/keyboard_tables.h"
#include "tests/gui/content_screens.h"

namespace tz {
namespace {

using test::content::ClickControl;
using test::content::ClickListRow;
using test::content::ListRows;

const QString kTitle = QStringLiteral("Visor de Lecciones");

QListWidget* List(QWidget* viewer, int id) {
    return qobject_cast<QListWidget*>(FindControl(viewer, id));
}

QString Preview(QWidget* viewer) {
    return qobject_cast<QTextEdit*>(FindControl(viewer, kViewerPreviewId))->toPlainText();
}

// The rows the three lists have selected.
struct Rows {
    int level, block, entry;
    bool operator==(const Rows&) const = default;
};
void PrintTo(const Rows& rows, std::ostream* out) {
    *out << "{" << rows.level << ", " << rows.block << ", " << rows.entry << "}";
}
Rows SelectedRows(QWidget* viewer) {
    return {List(viewer, kViewerLevelListId)->currentRow(),
            List(viewer, kViewerBlockListId)->currentRow(),
            List(viewer, kViewerEntryListId)->currentRow()};
}

// The entries of a block of the course as the viewer shows them.
QStringList ShownEntries(int level, int block) {
    QStringList entries = CourseData().levels[level - 1].blocks[block - 1].entries;
    for (QString& entry : entries) entry.replace("|kom|", "\"");
    return entries;
}

// The word exercise a block's entry gives, lines as the preview shows them.
QString WordPreview(int level, int block, int entry) {
    const CourseBlock& found = CourseData().levels[level - 1].blocks[block - 1];
    QStringList lines;
    for (int i = 0; i < found.linesPerExercise; ++i) {
        lines.append(WordExerciseLine(found.entries[entry - 1]));
    }
    return lines.join('\n');
}

class LessonViewerTest : public test::content::ContentScreenTest {
  protected:
    void OpenAndThen(std::vector<std::function<void(QWidget*)>> steps) {
        ContentScreenTest::OpenAndThen(
            kTitle,
            [this] { OpenLessonViewer(menu_.get(), CurrentUser, keyboard_, runChosenExercise_); },
            std::move(steps));
    }
    KeyboardTables keyboard_ = MakeKeyboardTables(kSpanishLayout);
};

TEST_F(LessonViewerTest, OpensOnThePupilsExerciseAndFollowsHerChoices) {
    ChoosePupil(test::content::kPupilLine);  // level 5, block 3, exercise 2
    const UserRecord before = CurrentUser;
    const QByteArray users = UsersFile();
    OpenAndThen({
        [this](QWidget* viewer) {
            EXPECT_FALSE(menu_->isEnabled());
            EXPECT_TRUE(viewer->isEnabled());
            EXPECT_EQ(viewer->size(), QSize(664, 362));
            QListWidget* levels = List(viewer, kViewerLevelListId);
            ASSERT_EQ(levels->count(), 36);
            EXPECT_EQ(levels->item(0)->text(), "1");
            EXPECT_EQ(levels->item(35)->text(), "36");
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 2, 1}));
            EXPECT_EQ(ListRows(List(viewer, kViewerBlockListId)),
                      (QStringList{"1", "2", "3", "4", "5"}));
            EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), ShownEntries(5, 3));
            EXPECT_EQ(Preview(viewer), WordPreview(5, 3, 2));
            EXPECT_EQ(viewer->focusWidget(), FindControl(viewer, kViewerBackId));
            // Another exercise of the block.
            ClickListRow(List(viewer, kViewerEntryListId), 4);
        },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 2, 4}));
            EXPECT_EQ(Preview(viewer), WordPreview(5, 3, 5));
            // Another block.
            ClickListRow(List(viewer, kViewerBlockListId), 1);
        },
        [this](QWidget* viewer) {
            // Its first exercise.
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 1, 0}));
            EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), ShownEntries(5, 2));
            EXPECT_EQ(Preview(viewer), WordPreview(5, 2, 1));
            // Another level.
            ClickListRow(List(viewer, kViewerLevelListId), 10);
        },
        [this](QWidget* viewer) {
            // Its first block and first exercise, whatever was chosen before.
            EXPECT_EQ(SelectedRows(viewer), (Rows{10, 0, 0}));
            EXPECT_EQ(ListRows(List(viewer, kViewerBlockListId)).size(), 5);
            EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), ShownEntries(11, 1));
            EXPECT_EQ(Preview(viewer), WordPreview(11, 1, 1));
            // The keyboard works as well.
            QTest::keyClick(List(viewer, kViewerBlockListId), Qt::Key_Down);
        },
        [this](QWidget* viewer) {
            // Block 2 of level 11, where "|kom|" shows as a double quote.
            EXPECT_EQ(SelectedRows(viewer), (Rows{10, 1, 0}));
            EXPECT_EQ(List(viewer, kViewerEntryListId)->item(0)->text(), "\"coma\"");
            EXPECT_TRUE(Preview(viewer).startsWith("\"coma\" \"coma\" "));
            // A double click is no choice.
            QListWidget* entries = List(viewer, kViewerEntryListId);
            QTest::mouseDClick(entries->viewport(), Qt::LeftButton, Qt::NoModifier,
                               entries->visualItemRect(entries->item(0)).center());
        },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{10, 1, 0}));
            // Escape from a list closes the viewer.
            QTest::keyClick(List(viewer, kViewerEntryListId), Qt::Key_Escape);
        },
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "FACIL");
    EXPECT_EQ(UsersFile(), users);
}

TEST_F(LessonViewerTest, AClickOnTheSelectedLevelOrBlockChoosesItAgain) {
    ChoosePupil(test::content::kPupilLine);  // level 5, block 3, exercise 2
    OpenAndThen({
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 2, 1}));
            // The block already selected: its exercises from the first.
            ClickListRow(List(viewer, kViewerBlockListId), 2);
        },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 2, 0}));
            EXPECT_EQ(Preview(viewer), WordPreview(5, 3, 1));
            ClickListRow(List(viewer, kViewerEntryListId), 3);
        },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 2, 3}));
            // The level already selected: its blocks and exercises from the first.
            ClickListRow(List(viewer, kViewerLevelListId), 4);
        },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{4, 0, 0}));
            EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), ShownEntries(5, 1));
            EXPECT_EQ(Preview(viewer), WordPreview(5, 1, 1));
            QTest::keyClick(viewer, Qt::Key_Escape);
        },
    });
}

TEST_F(LessonViewerTest, APupilPastTheCourseOpensOnLevel36WithItsLessonText) {
    ChoosePupil("LUCAS PEÑA|37|1|1|205|198|201|204|210|206|199|212|208|215|203|DIFICIL|ID-9\r\n");
    CopyLessonText("TEXTO_67");
    const UserRecord before = CurrentUser;
    const QByteArray users = UsersFile();
    OpenAndThen({[this](QWidget* viewer) {
        EXPECT_EQ(SelectedRows(viewer), (Rows{35, 0, 0}));
        EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), QStringList{"(TEXTO=67"});
        QString text = QString::fromUtf8(ReadBytes("textos/TEXTO_67"))
                           .replace("\r\n", "\n")
                           .replace("|kom|", "\"");
        ASSERT_TRUE(text.endsWith('\n'));
        text.chop(1);
        EXPECT_EQ(Preview(viewer), text);
        test::SaveScreen(viewer, "lesson_viewer_text");
        // The close request of the window closes it like Escape.
        viewer->close();
    }});
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "DIFICIL");
    EXPECT_EQ(UsersFile(), users);
}

TEST_F(LessonViewerTest, WithNoUserItOpensOnTheFirstExerciseAndVolverCloses) {
    OpenAndThen({
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{0, 0, 0}));
            EXPECT_EQ(Preview(viewer), WordPreview(1, 1, 1));
            ClickListRow(List(viewer, kViewerLevelListId), 7);
        },
        [this](QWidget* viewer) { ClickListRow(List(viewer, kViewerBlockListId), 4); },
        [this](QWidget* viewer) { ClickListRow(List(viewer, kViewerEntryListId), 4); },
        [this](QWidget* viewer) {
            EXPECT_EQ(SelectedRows(viewer), (Rows{7, 4, 4}));
            EXPECT_EQ(Preview(viewer), WordPreview(8, 5, 5));
            test::SaveScreen(viewer, "lesson_viewer");
            ClickControl(viewer, kViewerBackId);
        },
    });
    EXPECT_EQ(CurrentUser, UserRecord());
    EXPECT_EQ(CurrentMode, "NORMAL");
}

TEST_F(LessonViewerTest, EntriesAndPreviewShowTheOrdinalsAsThePCsKeyboardTypesThem) {
    // Level 15, block 2: "n.º 24", "1.º 2.º 3.º", "1.ª 2.ª 3.ª".
    ChoosePupil("EVA|15|2|3|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3\r\n");
    for (const QString& layout : {kSpanishLayout, kLatinAmericanLayout}) {
        keyboard_ = MakeKeyboardTables(layout);
        const bool latin = layout == kLatinAmericanLayout;
        OpenAndThen({[latin](QWidget* viewer) {
            const QStringList shown = ListRows(List(viewer, kViewerEntryListId)).mid(0, 3);
            const QStringList expected = latin
                                             ? QStringList{"n.° 24", "1.° 2.° 3.°", "1.a 2.a 3.a"}
                                             : QStringList{"n.º 24", "1.º 2.º 3.º", "1.ª 2.ª 3.ª"};
            EXPECT_EQ(shown, expected);
            EXPECT_TRUE(Preview(viewer).startsWith(latin ? "1.a 2.a 3.a 1.a" : "1.ª 2.ª 3.ª 1.ª"))
                << Preview(viewer).toStdString();
            QTest::keyClick(viewer, Qt::Key_Escape);
        }});
    }
}

TEST_F(LessonViewerTest, AMissingLessonTextIsNamedInThePreview) {
    ChoosePupil("EVA|13|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3\r\n");
    OpenAndThen({[this](QWidget* viewer) {
        EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), QStringList{"(TEXTO=2)"});
        EXPECT_TRUE(Preview(viewer).startsWith(
            QString::fromUtf8("No se encuentra el texto de este ejercicio:\n")));
        EXPECT_TRUE(Preview(viewer).endsWith("TEXTO_02"));
        QTest::keyClick(viewer, Qt::Key_Escape);
    }});
}

TEST_F(LessonViewerTest, ADamagedPositionOpensOnTheNearestExercise) {
    ChoosePupil("EVA|3|9|40|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3\r\n");
    OpenAndThen({[this](QWidget* viewer) {
        // Level 3 has four blocks, its last one three exercises.
        EXPECT_EQ(SelectedRows(viewer), (Rows{2, 3, 2}));
        EXPECT_EQ(Preview(viewer), WordPreview(3, 4, 3));
        QTest::keyClick(viewer, Qt::Key_Escape);
    }});
}

TEST_F(LessonViewerTest, StartingAnExerciseHandsItToTheRun) {
    ChoosePupil(test::content::kPupilLine);
    const UserRecord before = CurrentUser;
    const QByteArray users = UsersFile();
    int runs = 0;
    runChosenExercise_ = [&runs](const CoursePlace& chosen) {
        ++runs;
        EXPECT_EQ(chosen, (CoursePlace{11, 2, 3}));
        // What the main menu hands the run for it: one exercise chosen by hand, at its level's
        // target.
        EXPECT_EQ(ManualExerciseRequest(chosen).source, ExerciseSource::Manual);
        EXPECT_FALSE(ManualExerciseRequest(chosen).speedTarget.has_value());
        // The exercise window takes the viewer's place.
        EXPECT_EQ(test::content::VisibleWindow(kTitle), nullptr);
        // The text the run types is the one previewed.
        const ExerciseText text =
            AssembleExerciseText(LoadBlock(chosen.level, chosen.block), chosen.exercise);
        EXPECT_TRUE(text.text.startsWith("\"guion\" \"guion\"")) << text.text.toStdString();
    };
    OpenAndThen({
        [this](QWidget* viewer) { ClickListRow(List(viewer, kViewerLevelListId), 10); },
        [this](QWidget* viewer) { ClickListRow(List(viewer, kViewerBlockListId), 1); },
        [this](QWidget* viewer) { ClickListRow(List(viewer, kViewerEntryListId), 2); },
        [this](QWidget* viewer) { ClickControl(viewer, kViewerStartId); },
        [this, &runs](QWidget* viewer) {
            // Back from the run: the viewer shows the same choices, ready for another.
            EXPECT_EQ(runs, 1);
            EXPECT_TRUE(viewer->isVisible());
            // Brought to the front, and no longer always on top.
            EXPECT_FALSE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(SelectedRows(viewer), (Rows{10, 1, 2}));
            EXPECT_EQ(ListRows(List(viewer, kViewerEntryListId)), ShownEntries(11, 2));
            ClickControl(viewer, kViewerStartId);
        },
        [this, &runs](QWidget* viewer) {
            EXPECT_EQ(runs, 2);
            QTest::keyClick(viewer, Qt::Key_Escape);
        },
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "FACIL");
    EXPECT_EQ(UsersFile(), users);
}

}  // namespace
}  // namespace tz
