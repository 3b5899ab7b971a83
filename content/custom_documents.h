#pragma once
// The documents of the custom texts, kept in the folder TXTPERSONALIZADOS of the data folder
// and reached only through that folder's handle (platform/folder_handle.h): a classmate who
// swaps the folder for a link makes no document land in, or come from, anywhere else.

#include <QString>
#include <QStringList>

#include "platform/safe_files.h"

namespace tz {

// The folder of the documents, in the data folder, and a document's extension.
inline const QString kCustomTextsFolder = QStringLiteral("TXTPERSONALIZADOS");
inline const QString kCustomTextExtension = QStringLiteral(".t10");

// The document's bytes as a text file is read (platform/textfile.h); Missing when there is no
// folder.
FileRead ReadCustomDocument(const QString& fileName);
// Writes the lines as the document, replacing it in one step; the folder is made when missing,
// with the data folder's permissions.
bool StoreCustomDocument(const QString& fileName, const QStringList& lines);
void DeleteCustomDocument(const QString& fileName);
// The documents' file names, sorted without regard to case.
QStringList CustomDocumentNames();

}  // namespace tz
