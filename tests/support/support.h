#pragma once
// Helpers shared by the tests: a fresh program folder per test, file bytes, screenshots, the
// message boxes asked.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <ostream>

#include "platform/dialogs.h"
#include "platform/picture_names.h"
#include "platform/pictures.h"
#include "users/file_store.h"

namespace tz::test {

// The shape of a message box the program asked: Yes/No or "Aceptar", its icon, the button
// Enter presses.
struct Box {
    bool yesNo = false;
    DialogIcon icon = DialogIcon::None;
    DefaultButton defaultButton = DefaultButton::Yes;
    bool operator==(const Box&) const = default;
};
// A picture's name from its number, as the tables of the tests give them.
inline PictureName Pic(int number) {
    return static_cast<PictureName>(number);
}

// Two paths of one file as the system compares them: Windows tells no letter case apart.
inline bool SameFileName(const QString& a, const QString& b) {
#ifdef _WIN32
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

// Whether the folder holds an entry spelled so, letter case too (whatever the file system).
inline bool HoldsEntrySpelled(const QString& folder, const QString& name) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System).contains(name);
}

inline Box BoxOf(const AskedDialog& asked) {
    return {asked.yesNo, asked.icon, asked.defaultButton};
}
inline void PrintTo(const Box& box, std::ostream* out) {
    *out << (box.yesNo ? "Sí/No" : "Aceptar") << ", icono " << static_cast<int>(box.icon)
         << (box.defaultButton == DefaultButton::No ? ", No por defecto" : "");
}

// Points the program at a fresh empty folder for the length of a test, with scripted dialogs
// and shell; a window the test waited for (WhenShown) that never showed fails it.
class ProgramFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString Path(const QString& name) const;
    void WriteBytes(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadBytes(const QString& name) const;
    bool Exists(const QString& name) const;
    // Temporary files ("*.tmp") left anywhere in the folder: a write that failed or finished
    // leaves none.
    QStringList LeftoverTemps() const;

    std::unique_ptr<QTemporaryDir> dir_;
    // The pupils of the folder, as the program keeps them by default.
    FileStore store_;
};

// An image at one pixel per logical pixel, whatever scale it was painted or grabbed at (each
// logical pixel takes one of its device pixels): tests look at pixels where the windows put
// them.
QImage Logical(const QImage& image);
// The widget as it shows, at one pixel per logical pixel.
QImage Shot(QWidget* widget);

// Saves a picture of the widget as build/screens/<name>.png (build/screens/x2/ when the tests
// run at a scale of 2).
void SaveScreen(QWidget* widget, const QString& name);
void SaveImage(const QImage& image, const QString& name);

// The folder of the source tree (for the shipped lesson texts and course data).
QString SourcePath(const QString& relative);

// The class of the report's fixture (tests/data/informe: five pupils, three figures files, one
// of them damaged) copied into `folder`, without the report written by hand. The paths copied,
// relative to the folder; empty when a copy failed.
QStringList CopyClassFixture(const QString& folder);
// The report of that class written by hand.
QByteArray ClassFixtureReport();

#ifndef _WIN32
// A socket bound at `path`, as a classmate may plant one where the program keeps a file.
bool PlantSocket(const QString& path);
// Sets a file's (or a link's own) time of change `seconds` back.
bool AgeFile(const QString& path, int seconds);
#endif

}  // namespace tz::test
