#pragma once
// Driving the lesson viewer and the custom texts window with real input in tests: a stand-in
// main menu they show over, and a pupil in the users file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "app/picture_registry.h"
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
    }
    void TearDown() override {
        menu_.reset();
        ProgramStateTest::TearDown();
    }

    // The pupil of the line is in the users file and is the CurrentUser, her mode in force.
    void ChoosePupil(const QByteArray& line) {
        WriteBytes("usuarios.dat", "Datos de Usuarios v2.6\r\n" + line);
        CurrentUser = ParseUserLine(QString::fromUtf8(line).trimmed());
        CurrentMode = CurrentUser.mode;
    }

    // The lesson texts as shipped, for previews of text blocks.
    void CopyLessonText(const QString& name) {
        QDir().mkpath(Path("textos"));
        QFile::copy(SourcePath("assets/textos/" + name), Path("textos/" + name));
    }

    std::unique_ptr<QWidget> menu_;
};

}  // namespace tz::test::content
