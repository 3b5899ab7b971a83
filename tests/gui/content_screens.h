#pragma once
// Driving the lesson viewer and the custom texts window with real input in tests: a stand-in
// main menu they disable, a pupil in the users file, and a stand-in for the exercise run that
// sees what the window handed it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "app/picture_registry.h"
#include "content/course_data.h"
#include "platform/events.h"
#include "platform/pictures.h"
#include "platform/windows.h"
#include "program_test.h"
#include "screens.h"
#include "users/user_record.h"

namespace tz::test::content {

using test::ClickControl;
using test::ClickListRow;
using test::ListRows;
using test::VisibleWindow;

// Someone in the class: a pupil of level 5 with a history, in "FACIL" mode.
inline const QByteArray kPupilLine =
    "MARTA RUIZ|5|3|2|118|110|115|120|127|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001\r\n";

class ContentScreenTest : public ProgramStateTest {
  protected:
    void SetUp() override {
        ProgramStateTest::SetUp();
        if (!PictureExists(51)) RegisterAllPictures();
        menu_ = std::make_unique<QWidget>();
        menu_->setWindowTitle("stand-in main menu");
        menu_->resize(320, 200);
        menu_->show();
        state_.mainMenu = menu_.get();
    }
    void TearDown() override {
        menu_.reset();
        ProgramStateTest::TearDown();
    }

    // Opens a window with `open` and runs the steps one by one, each when the window titled
    // `title` waits for the pupil again (so each sees what the one before did); the last one
    // must close it.
    void OpenAndThen(const QString& title, const std::function<void()>& open,
                     std::vector<std::function<void(QWidget*)>> steps) {
        for (auto& step : steps) {
            AppendInputStep([step, title] {
                QWidget* window = VisibleWindow(title);
                ASSERT_NE(window, nullptr);
                step(window);
            });
        }
        open();
        EXPECT_EQ(VisibleWindow(title), nullptr);
        EXPECT_TRUE(menu_->isEnabled());
    }

    // The pupil of the line is in the users file and is the CurrentUser, her mode in force.
    void ChoosePupil(const QByteArray& line) {
        WriteBytes("usuarios.dat", "Datos de Usuarios v2.6\r\n" + line);
        CurrentUser = ParseUserLine(QString::fromUtf8(line).trimmed());
        CurrentMode = CurrentUser.mode;
    }
    QByteArray UsersFile() const { return ReadBytes("usuarios.dat"); }

    // The lesson texts as shipped, for previews of text blocks.
    void CopyLessonText(const QString& name) {
        QDir().mkpath(Path("textos"));
        QFile::copy(SourcePath("assets/textos/" + name), Path("textos/" + name));
    }

    std::unique_ptr<QWidget> menu_;
    // What the windows' start buttons run instead of the exercise run.
    std::function<void(const CoursePlace&)> runChosenExercise_;
    std::function<void(const QString&)> runDocument_;
};

}  // namespace tz::test::content
