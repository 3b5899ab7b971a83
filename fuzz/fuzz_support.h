#pragma once
// What every fuzz target shares: one application object, a program folder of its own, a clock
// that stands still and chance that repeats, so an input found once does the same again.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace tz::fuzz {

// Once, from LLVMFuzzerInitialize: the application object and a fresh program folder (on a
// memory file system where there is one: the users file is synced on every rewrite). A target
// that draws text (the class report's PDF) needs fonts: an application with an off-screen
// screen.
void StartProgram(bool drawsText = false);

// Before each input: an empty program folder, the clock at its fixed moment, the same draws.
void ResetProgram();

// A file of the program folder.
QString FolderPath(const QString& name);
void WriteFolderFile(const QString& name, const QByteArray& bytes);
QByteArray ReadFolderFile(const QString& name);

inline QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A broken promise of the reader: reported like a crash, with the input kept by libFuzzer.
[[noreturn]] void Fail(const char* file, int line, const char* what);

}  // namespace tz::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::tz::fuzz::Fail(__FILE__, __LINE__, #condition))
