#pragma once
// Helpers shared by the tests: a fresh program folder per test, file bytes, screenshots, the
// message boxes asked.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <ostream>

#include "platform/dialogs.h"

namespace tz::test {

// The shape of a message box the program asked: Yes/No or "Aceptar", its icon, the button
// Enter presses.
struct Box {
    bool yesNo = false;
    DialogIcon icon = DialogIcon::None;
    DefaultButton defaultButton = DefaultButton::Yes;
    bool operator==(const Box&) const = default;
};
inline Box BoxOf(const AskedDialog& asked) {
    return {asked.yesNo, asked.icon, asked.defaultButton};
}
inline void PrintTo(const Box& box, std::ostream* out) {
    *out << (box.yesNo ? "Sí/No" : "Aceptar") << ", icono " << static_cast<int>(box.icon)
         << (box.defaultButton == DefaultButton::No ? ", No por defecto" : "");
}

// Points the program at a fresh empty folder for the length of a test, with scripted dialogs
// and shell, an empty event queue and no script left over.
class ProgramFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString Path(const QString& name) const;
    void WriteBytes(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadBytes(const QString& name) const;
    bool Exists(const QString& name) const;

    std::unique_ptr<QTemporaryDir> dir_;
};

// Saves a picture of the widget as build/screens/<name>.png.
void SaveScreen(QWidget* widget, const QString& name);
void SaveImage(const QImage& image, const QString& name);

// The folder of the source tree (for the shipped lesson texts and course data).
QString SourcePath(const QString& relative);

}  // namespace tz::test
