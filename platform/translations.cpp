#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tz {

bool InstallSpanishTranslations() {
    static QTranslator* installed = nullptr;
    if (installed) return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
    };
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_es"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            installed = translator;
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace tz
