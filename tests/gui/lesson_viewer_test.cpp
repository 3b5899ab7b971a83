// The lesson viewer as a pupil uses it: it opens on her exercise, follows her choices, hands the
// run the exercise chosen, and leaves her user exactly as it found it.

#include <QTextEdit>
#include <functional>

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
    // The viewer of the CurrentUser, shown over the stand-in menu.
    std::unique_ptr<LessonViewer> Open() {
        auto viewer = std::make_unique<LessonViewer>(menu_.get(), CurrentUser, keyboard_);
        viewer->show();
        // Active as exec() leaves it: the focus frame shows.
        viewer->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(viewer.get()));
        return viewer;
    }
    KeyboardTables keyboard_ = MakeKeyboardTables(kSpanishLayout);
};

TEST_F(LessonViewerTest, OpensOnThePupilsExerciseAndFollowsHerChoices) {
    ChoosePupil(test::content::kPupilLine);  // level 5, block 3, exercise 2
    const auto viewer = Open();
    EXPECT_EQ(viewer->size(), QSize(664, 362));
    EXPECT_TRUE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(ListRows(List(viewer.get(), kViewerLevelListId)).size(), 36);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{4, 2, 1}));
    EXPECT_EQ(ListRows(List(viewer.get(), kViewerBlockListId)),
              (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(ListRows(List(viewer.get(), kViewerEntryListId)), ShownEntries(5, 3));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(5, 3, 2));
    EXPECT_EQ(viewer->focusWidget(), FindControl(viewer.get(), kViewerBackId));
    const QStringList unnamed = test::ControlsWithoutNames(viewer.get());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();

    // Another exercise of the block; another block, from its first exercise; another level,
    // from its first block and exercise, whatever was chosen before.
    ClickListRow(List(viewer.get(), kViewerEntryListId), 4);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{4, 2, 4}));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(5, 3, 5));
    ClickListRow(List(viewer.get(), kViewerBlockListId), 1);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{4, 1, 0}));
    EXPECT_EQ(ListRows(List(viewer.get(), kViewerEntryListId)), ShownEntries(5, 2));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(5, 2, 1));
    ClickListRow(List(viewer.get(), kViewerLevelListId), 10);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{10, 0, 0}));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(11, 1, 1));
    // The keyboard works as well: block 2 of level 11, where "|kom|" shows as a double quote.
    QTest::keyClick(List(viewer.get(), kViewerBlockListId), Qt::Key_Down);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{10, 1, 0}));
    EXPECT_EQ(List(viewer.get(), kViewerEntryListId)->item(0)->text(), "\"coma\"");
    EXPECT_TRUE(Preview(viewer.get()).startsWith("\"coma\" \"coma\" "));
    // Hidden while a run takes its place, it no longer stays over the run's windows.
    viewer->hide();
    EXPECT_FALSE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(LessonViewerTest, AClickOnTheSelectedLevelOrBlockChoosesItAgain) {
    ChoosePupil(test::content::kPupilLine);  // level 5, block 3, exercise 2
    const auto viewer = Open();
    ClickListRow(List(viewer.get(), kViewerBlockListId), 2);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{4, 2, 0}));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(5, 3, 1));
    ClickListRow(List(viewer.get(), kViewerEntryListId), 3);
    ClickListRow(List(viewer.get(), kViewerLevelListId), 4);
    EXPECT_EQ(SelectedRows(viewer.get()), (Rows{4, 0, 0}));
    EXPECT_EQ(Preview(viewer.get()), WordPreview(5, 1, 1));
}

TEST_F(LessonViewerTest, OpensWhereThePupilIsOrTheNearestPlaceThatExists) {
    CopyLessonText("TEXTO_67");
    QString text67 = QString::fromUtf8(ReadBytes("textos/TEXTO_67"))
                         .replace("\r\n", "\n")
                         .replace("|kom|", "\"");
    text67.chop(1);
    const struct {
        const char* line;  // none: nobody chosen
        Rows rows;
        QString preview;
    } cases[] = {
        {"LUCAS PEÑA|37|1|1|205|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|ID-9", {35, 0, 0}, text67},
        {"EVA|3|9|40|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3", {2, 3, 2}, WordPreview(3, 4, 3)},
        {nullptr, {0, 0, 0}, WordPreview(1, 1, 1)},
    };
    for (const auto& c : cases) {
        CurrentUser = c.line ? ParseUserLine(QString::fromUtf8(c.line)) : UserRecord();
        const auto viewer = Open();
        EXPECT_EQ(SelectedRows(viewer.get()), c.rows) << c.line;
        EXPECT_EQ(Preview(viewer.get()), c.preview) << c.line;
        if (c.rows.level == 35) test::SaveScreen(viewer.get(), "lesson_viewer_text");
    }
    // With nobody, any exercise is a few clicks away.
    const auto viewer = Open();
    ClickListRow(List(viewer.get(), kViewerLevelListId), 7);
    ClickListRow(List(viewer.get(), kViewerBlockListId), 4);
    ClickListRow(List(viewer.get(), kViewerEntryListId), 4);
    EXPECT_EQ(Preview(viewer.get()), WordPreview(8, 5, 5));
    test::SaveScreen(viewer.get(), "lesson_viewer");

    // A text block whose lesson text is missing names the file in the preview.
    CurrentUser = ParseUserLine("EVA|13|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3");
    const auto missing = Open();
    EXPECT_EQ(ListRows(List(missing.get(), kViewerEntryListId)), QStringList{"(TEXTO=2)"});
    EXPECT_TRUE(
        Preview(missing.get())
            .startsWith(QString::fromUtf8("No se encuentra el texto de este ejercicio:\n")));
    EXPECT_TRUE(Preview(missing.get()).endsWith("TEXTO_02"));
}

TEST_F(LessonViewerTest, EntriesAndPreviewShowTheOrdinalsAsThePCsKeyboardTypesThem) {
    // Level 15, block 2: "n.º 24", "1.º 2.º 3.º", "1.ª 2.ª 3.ª".
    ChoosePupil("EVA|15|2|3|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-3\r\n");
    for (const QString& layout : {kSpanishLayout, kLatinAmericanLayout}) {
        keyboard_ = MakeKeyboardTables(layout);
        const bool latin = layout == kLatinAmericanLayout;
        const auto viewer = Open();
        const QStringList expected = latin ? QStringList{"n.° 24", "1.° 2.° 3.°", "1.a 2.a 3.a"}
                                           : QStringList{"n.º 24", "1.º 2.º 3.º", "1.ª 2.ª 3.ª"};
        EXPECT_EQ(ListRows(List(viewer.get(), kViewerEntryListId)).mid(0, 3), expected);
        EXPECT_TRUE(
            Preview(viewer.get()).startsWith(latin ? "1.a 2.a 3.a 1.a" : "1.ª 2.ª 3.ª 1.ª"));
    }
}

TEST_F(LessonViewerTest, EscapeTheCloseRequestAndVolverLeaveItAndEnterDoesNot) {
    const std::function<void(QWidget*)> waysOut[] = {
        [](QWidget* viewer) { QTest::keyClick(List(viewer, kViewerEntryListId), Qt::Key_Escape); },
        [](QWidget* viewer) { viewer->close(); },
        [](QWidget* viewer) { ClickControl(viewer, kViewerBackId); },
    };
    for (const auto& leave : waysOut) {
        test::WhenShown(kTitle, [&leave](QWidget* viewer) {
            EXPECT_EQ(QApplication::activeModalWidget(), viewer);
            QTest::keyClick(FindControl(viewer, kViewerBackId), Qt::Key_Return);
            EXPECT_TRUE(viewer->isVisible());
            leave(viewer);
        });
        int runs = 0;
        OpenLessonViewer(menu_.get(), CurrentUser, keyboard_,
                         [&runs](const CoursePlace&) { ++runs; });
        EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
        EXPECT_EQ(runs, 0);
    }
}

TEST_F(LessonViewerTest, StartingAnExerciseHandsItToTheRunAndComesBackOnTop) {
    ChoosePupil(test::content::kPupilLine);
    const UserRecord before = CurrentUser;
    const QByteArray users = ReadBytes("usuarios.dat");
    int runs = 0;
    const auto run = [&runs](const CoursePlace& chosen) {
        ++runs;
        EXPECT_EQ(chosen, (CoursePlace{11, 2, 3}));
        // What the main menu hands the run for it: one exercise chosen by hand, at its level's
        // target.
        EXPECT_EQ(ManualExerciseRequest(chosen).source, ExerciseSource::Manual);
        EXPECT_FALSE(ManualExerciseRequest(chosen).speedTarget.has_value());
        // The exercise window takes the viewer's place.
        EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
        const ExerciseText text =
            AssembleExerciseText(LoadBlock(chosen.level, chosen.block), chosen.exercise);
        EXPECT_TRUE(text.text.startsWith("\"guion\" \"guion\"")) << text.text.toStdString();
    };
    test::WhenShown(kTitle, [](QWidget* viewer) {
        ClickListRow(List(viewer, kViewerLevelListId), 10);
        ClickListRow(List(viewer, kViewerBlockListId), 1);
        ClickListRow(List(viewer, kViewerEntryListId), 2);
        // Back from the run, on top again with the same choices, ready for another.
        test::WhenShown(kTitle, [](QWidget* again) {
            EXPECT_TRUE(again->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(SelectedRows(again), (Rows{10, 1, 2}));
            EXPECT_EQ(again->focusWidget(), FindControl(again, kViewerBackId));
            test::WhenShown(kTitle, [](QWidget* last) { last->close(); });
            ClickControl(again, kViewerStartId);
        });
        ClickControl(viewer, kViewerStartId);
    });
    OpenLessonViewer(menu_.get(), CurrentUser, keyboard_, run);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(ReadBytes("usuarios.dat"), users);
}

}  // namespace
}  // namespace tz
