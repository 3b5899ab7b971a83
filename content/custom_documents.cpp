#include "content/custom_documents.h"

#include "platform/folder_handle.h"
#include "platform/textfile.h"

namespace tz {

namespace {

std::unique_ptr<FolderHandle> DocumentsFolder(FolderHandle::Make make) {
    return FolderHandle::InData(kCustomTextsFolder, make);
}

// The document's name as it stands in the folder, whatever its letter case ("Mio.t10" for
// "mio.t10"), as every bare name of the data folder is matched.
QString AsStored(const FolderHandle& folder, const QString& fileName) {
    for (const QString& stored : folder.Files(QStringLiteral("*"))) {
        if (stored.compare(fileName, Qt::CaseInsensitive) == 0) return stored;
    }
    return fileName;
}

}  // namespace

FileRead ReadCustomDocument(const QString& fileName) {
    const std::unique_ptr<FolderHandle> folder = DocumentsFolder(FolderHandle::Make::No);
    if (!folder) return {ReadOutcome::Missing, {}};
    return folder->Read(AsStored(*folder, fileName), kTextFileCap);
}

bool StoreCustomDocument(const QString& fileName, const QStringList& lines) {
    const std::unique_ptr<FolderHandle> folder = DocumentsFolder(FolderHandle::Make::IfMissing);
    return folder && folder->Replace(AsStored(*folder, fileName), EncodeLines(lines));
}

void DeleteCustomDocument(const QString& fileName) {
    if (const std::unique_ptr<FolderHandle> folder = DocumentsFolder(FolderHandle::Make::No))
        folder->Remove(AsStored(*folder, fileName));
}

QStringList CustomDocumentNames() {
    const std::unique_ptr<FolderHandle> folder = DocumentsFolder(FolderHandle::Make::No);
    return folder ? folder->Files(u'*' + kCustomTextExtension) : QStringList();
}

}  // namespace tz
