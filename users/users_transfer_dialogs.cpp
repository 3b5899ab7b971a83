#include "users/users_transfer_dialogs.h"

#include <QFileInfo>

#include "platform/dialogs.h"
#include "platform/safe_files.h"
#include "users/users_transfer.h"

namespace tz {

void ExportUsers(PupilStore& store, const QStringList& markedIds) {
    // As they stand now: another program may have saved one of them since the list was read.
    const QList<UserRecord> pupils = PupilsOf(store, markedIds);
    if (pupils.isEmpty()) {
        Tell(QStringLiteral("Atención"),
             QStringLiteral("No hay ningún usuario marcado para la exportación"),
             DialogIcon::Exclamation);
        return;
    }
    const QString path = SaveFileDialog(kExportTitle, kTransferFilter, kExportProposedName);
    if (path.isEmpty()) return;
    const QString bareName = QFileInfo(path).fileName();
    if (!WriteExportFile(path, pupils)) {
        Tell(QStringLiteral("Resultados de la exportación de usuarios"),
             QStringLiteral("No se pudo escribir el archivo:\n\n") + bareName +
                 QStringLiteral("\n\nNo se ha exportado ningún usuario. Compruebe que la "
                                "carpeta existe y que se puede escribir en ella."),
             DialogIcon::Exclamation);
        return;
    }
    Tell(QStringLiteral("Resultados de la exportación de usuarios"),
         QString::number(pupils.size()) + QStringLiteral(" usuarios fueron exportados a:\n\n") +
             bareName,
         DialogIcon::Information);
}

namespace {

const QString kImportResults = QStringLiteral("Resultados de la Importación de usuarios");

// "1 usuario fue importado", "2 usuarios fueron importados".
QString Counted(qsizetype count, const char* one, const char* many) {
    return QString::number(count) + QString::fromUtf8(count == 1 ? one : many);
}

void TellNothingImported(const QString& why) {
    Tell(kImportResults, QStringLiteral("No se ha importado ningún usuario: ") + why,
         DialogIcon::Exclamation);
}

// Why an import file could not be read; nothing when it was.
QString WhyNotRead(const ImportFile& file, const QString& bareName) {
    switch (file.read) {
        case ReadOutcome::Read:
            return QString();
        case ReadOutcome::TooLarge:
            return QStringLiteral("el archivo ") + bareName +
                   QStringLiteral(
                       " es demasiado grande para ser un archivo de usuarios y no se ha "
                       "leído.");
        case ReadOutcome::Missing:
            return QStringLiteral("el archivo ") + bareName + QStringLiteral(" no existe.");
        case ReadOutcome::Denied:
            return QStringLiteral("no hay permiso para leer el archivo ") + bareName + '.';
        case ReadOutcome::Refused:
            return QStringLiteral("el archivo ") + bareName +
                   QStringLiteral(
                       " no es un archivo normal (es un enlace, una carpeta o un "
                       "dispositivo).");
        case ReadOutcome::Failed:
            break;
    }
    return QStringLiteral("no se pudo leer el archivo ") + bareName +
           QStringLiteral(". Compruebe que el disco sigue conectado.");
}

}  // namespace

void ImportUsers(PupilStore& store, const std::function<void()>& reloadList) {
    // The file-name box starts empty: "*.tpz" is a pattern, not a name.
    const QString path = OpenFileDialog(kImportTitle, kTransferFilter, QString());
    if (path.isEmpty()) return;
    const QString bareName = QFileInfo(path).fileName();

    const ImportFile file = ReadImportFile(path);
    if (const QString why = WhyNotRead(file, bareName); !why.isEmpty()) {
        TellNothingImported(why);
        return;
    }
    if (file.overLimit > 0) {
        TellNothingImported(
            QStringLiteral("el archivo ") + bareName + QStringLiteral(" trae ") +
            QString::number(file.overLimit) +
            QStringLiteral(" usuarios, y de una vez se importan como mucho ") +
            QString::number(kMostImportedPupils) +
            QStringLiteral(". Divídalo en varios archivos e impórtelos uno a uno."));
        return;
    }
    const ImportResult result = store.ImportPupils(file.pupils);
    if (result.outcome == WriteOutcome::Busy) {
        TellNothingImported(BusyText(store) + QStringLiteral(" Inténtalo de nuevo."));
        return;
    }
    if (result.outcome != WriteOutcome::Written) {
        TellNothingImported(UnwritableText(store) + ' ' + store.WhatToCheck());
        return;
    }
    if (reloadList) reloadList();
    QString text =
        Counted(result.imported, " usuario fue importado", " usuarios fueron importados");
    if (file.skipped > 0) {
        text += QStringLiteral("\n\n") +
                Counted(file.skipped, " línea del archivo no era un usuario y no se ha importado.",
                        " líneas del archivo no eran usuarios y no se han importado.");
    }
    if (file.namesCleaned > 0) {
        text += QStringLiteral("\n\n") +
                Counted(file.namesCleaned,
                        " nombre se ha arreglado: tenía caracteres que no se ven o que no pueden "
                        "ir en un nombre, o más de 60 caracteres.",
                        " nombres se han arreglado: tenían caracteres que no se ven o que no "
                        "pueden ir en un nombre, o más de 60 caracteres.");
    }
    if (file.namesRefused > 0) {
        text += QStringLiteral("\n\n") +
                Counted(file.namesRefused,
                        " usuario no se ha importado: su nombre no tenía ningún carácter válido.",
                        " usuarios no se han importado: su nombre no tenía ningún carácter "
                        "válido.");
    }
    // Imported pupils draw their ids from 0 to 30000: a full range takes no more.
    const qsizetype left = file.pupils.size() - result.imported;
    if (left > 0) {
        text += QStringLiteral("\n\n") +
                Counted(left, " usuario no se ha importado", " usuarios no se han importado") +
                QStringLiteral(
                    ": no quedan números de identificación libres para usuarios "
                    "importados. Borre los que ya no hagan falta e inténtelo de nuevo.");
    }
    Tell(kImportResults, text, left > 0 ? DialogIcon::Exclamation : DialogIcon::Information);
}

}  // namespace tz
