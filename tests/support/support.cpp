#include "support.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "screens.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#endif

namespace tz::test {

void ProgramFolderTest::SetUp() {
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    SetProgramFolder(dir_->path());
    ClearDialogs();
    ClearShellRequests();
}

void ProgramFolderTest::TearDown() {
    ExpectNoWaitingActs();
    ClearDialogs();
    SetProgramFolder(QString());
}

QString ProgramFolderTest::Path(const QString& name) const {
    return dir_->path() + "/" + name;
}

void ProgramFolderTest::WriteBytes(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ProgramFolderTest::ReadBytes(const QString& name) const {
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

bool ProgramFolderTest::Exists(const QString& name) const {
    return QFile::exists(Path(name));
}

QStringList CopyClassFixture(const QString& folder) {
    const QString from = SourcePath(QStringLiteral("tests/data/informe"));
    QStringList copied;
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString relative = QDir(from).relativeFilePath(file);
        if (relative == QStringLiteral("informe_clase.csv")) continue;
        QDir().mkpath(QFileInfo(folder + u'/' + relative).path());
        if (!QFile::copy(file, folder + u'/' + relative)) return {};
        copied << relative;
    }
    return copied;
}

QByteArray ClassFixtureReport() {
    QFile file(SourcePath(QStringLiteral("tests/data/informe/informe_clase.csv")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ProgramFolderTest::LeftoverTemps() const {
    QStringList found;
    QDirIterator it(dir_->path(), {QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
}

QImage Logical(const QImage& image) {
    if (image.devicePixelRatio() == 1) return image;
    QImage logical =
        image.scaled(LogicalSize(image), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    logical.setDevicePixelRatio(1);
    return logical;
}

QImage Shot(QWidget* widget) {
    return Logical(widget->grab().toImage());
}

void SaveImage(const QImage& image, const QString& name) {
    const qreal scale = qApp->devicePixelRatio();
    const QString folder = scale > 1 ? QStringLiteral(TIPENZO_SCREENS_DIR "/x%1").arg(scale)
                                     : QStringLiteral(TIPENZO_SCREENS_DIR);
    QDir().mkpath(folder);
    image.save(folder + "/" + name + ".png");
}

void SaveScreen(QWidget* widget, const QString& name) {
    SaveImage(widget->grab().toImage(), name);
}

QString SourcePath(const QString& relative) {
    return QString(TIPENZO_SOURCE_DIR) + "/" + relative;
}

#ifndef _WIN32

bool PlantSocket(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    return bound;
}

bool AgeFile(const QString& path, int seconds) {
    const timespec then{std::time(nullptr) - seconds, 0};
    const timespec times[2] = {then, then};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

#endif

}  // namespace tz::test
