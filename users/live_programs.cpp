#include "users/live_programs.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include "platform/files.h"

namespace tz {

std::unique_ptr<ProgramPresence> ProgramPresence::Join() {
    // Random enough that two PCs never pick the same name.
    const QString name = QStringLiteral("~tipenzo10-%1.vivo")
                             .arg(QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'));
    std::unique_ptr<FileLock> mark = FileLock::Take(DataPath(name), 0);
    if (!mark) return nullptr;
    return std::unique_ptr<ProgramPresence>(new ProgramPresence(std::move(mark)));
}

ProgramPresence::~ProgramPresence() {
    const QString path = mark_->Path();
    // The file goes first, then the lock: no other program can take a mark that is leaving.
    RemoveFile(path);
    mark_.reset();
}

int OtherLivePrograms(const ProgramPresence* self) {
    int live = 0;
    const QString folder = DataFolder();
    for (const QString& name : ListFiles(folder, kLiveMarkPattern)) {
        const QString path = folder + name;
        if (self && QFileInfo(path) == QFileInfo(self->MarkPath())) continue;
        if (std::unique_ptr<FileLock> gone = FileLock::Take(path, 0)) {
            // Nobody holds it: its program ended without taking it away.
            RemoveFile(path);
        } else {
            ++live;
        }
    }
    return live;
}

}  // namespace tz
