#include "users/users_transfer_dialogs.h"

#include <QFileInfo>

#include "platform/dialogs.h"
#include "users/user_store.h"
#include "users/users_transfer.h"

namespace tz {

void ExportUsers(PupilStore& store, const QStringList& markedIds) {
    const QList<QByteArray> lines = store.CollectUserLines(markedIds);
    if (lines.isEmpty()) {
        Tell(QStringLiteral("Atención"),
             QStringLiteral("No hay ningún usuario marcado para la exportación"),
             DialogIcon::Exclamation);
        return;
    }
    const QString path = SaveFileDialog(kExportTitle, kTransferFilter, kExportProposedName);
    if (path.isEmpty()) return;
    const QString bareName = QFileInfo(path).fileName();
    if (!WriteExportFile(path, lines)) {
        Tell(QStringLiteral("Resultados de la exportación de usuarios"),
             QStringLiteral("No se pudo escribir el archivo:\n\n") + bareName +
                 QStringLiteral("\n\nNo se ha exportado ningún usuario. Compruebe que la "
                                "carpeta existe y que se puede escribir en ella."),
             DialogIcon::Exclamation);
        return;
    }
    Tell(QStringLiteral("Resultados de la exportación de usuarios"),
         QString::number(lines.size()) + QStringLiteral(" usuarios fueron exportados a:\n\n") +
             bareName,
         DialogIcon::Information);
}

void ImportUsers(PupilStore& store, const std::function<void()>& reloadList) {
    // The file-name box starts empty: "*.tpz" is a pattern, not a name.
    const QString path = OpenFileDialog(kImportTitle, kTransferFilter, QString());
    if (path.isEmpty()) return;

    const ImportResult result = store.ImportUserLines(ReadImportFile(path));
    if (result.outcome == WriteOutcome::Busy) {
        Tell(QStringLiteral("Resultados de la Importación de usuarios"),
             QStringLiteral("No se ha importado ningún usuario: ") + BusyText(store) +
                 QStringLiteral(" Inténtalo de nuevo."),
             DialogIcon::Exclamation);
        return;
    }
    if (reloadList) reloadList();
    QString text = QString::number(result.imported) + QStringLiteral(" usuarios fueron importados");
    if (result.tooLarge) {
        text += QStringLiteral(
            "\n\nEl archivo es demasiado grande para ser un archivo de "
            "usuarios y no se ha leído.");
    } else if (result.skipped == 1) {
        text += QStringLiteral("\n\n1 línea del archivo no era un usuario y no se ha importado.");
    } else if (result.skipped > 1) {
        text += QStringLiteral("\n\n") + QString::number(result.skipped) +
                QStringLiteral(" líneas del archivo no eran usuarios y no se han importado.");
    }
    Tell(QStringLiteral("Resultados de la Importación de usuarios"), text, DialogIcon::Information);
}

}  // namespace tz
