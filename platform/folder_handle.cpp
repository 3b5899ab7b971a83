#include "platform/folder_handle.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "platform/files.h"

namespace tz {

namespace {

FolderStepHook& InstalledHook() {
    static FolderStepHook hook;
    return hook;
}

}  // namespace

void SetFolderStepHook(FolderStepHook hook) {
    InstalledHook() = std::move(hook);
}

void FolderStep(const QString& folder) {
    if (InstalledHook()) InstalledHook()(folder);
}

QString ReplacementTemporaryName(const QString& target) {
    return target + u'.' +
           QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0') +
           QStringLiteral(".tmp");
}

bool IsReplacementTemporary(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^.+\\.[0-9a-f]{8}\\.tmp$"));
    return pattern.match(name).hasMatch();
}

std::unique_ptr<FolderHandle> FolderHandle::InData(const QString& name, Make make) {
    // The name as it stands in the folder, whatever its letter case.
    return Open(DataFolder(), QFileInfo(DataPath(name)).fileName(), make);
}

}  // namespace tz
