#include "users/file_store.h"

#include <QDir>

#include "platform/files.h"

#include "users/pupil_files.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_transfer.h"

namespace tz {

QString BusyText(const PupilStore& store) {
    return QStringLiteral("otro programa está usando ") + store.Place() +
           QStringLiteral(" en este momento.");
}

QString UnwritableText(const PupilStore& store) {
    return store.Place() + QStringLiteral(" no se puede escribir.");
}

QString NotWrittenText(const PupilStore& store, const WriteResult& result) {
    switch (result.outcome) {
        case WriteOutcome::Busy:
            return BusyText(store);
        case WriteOutcome::UserGone:
            return QStringLiteral("ya no está en ") + store.Place() +
                   QStringLiteral(", porque otro programa lo ha eliminado.");
        case WriteOutcome::LockDenied:
            return QStringLiteral("esta cuenta no puede usar ") + kUsersLockName +
                   QStringLiteral(
                       ", el archivo con el que los programas se turnan para cambiar los "
                       "usuarios, en la carpeta de datos:\n") +
                   QDir::toNativeSeparators(QDir::cleanPath(DataFolder())) +
                   QStringLiteral(
                       "\nPida a quien administra este equipo permiso de escritura "
                       "sobre esa carpeta y ese archivo.");
        case WriteOutcome::Written:
        case WriteOutcome::Failed:
            break;
    }
    return result.reason.isEmpty() ? UnwritableText(store) : result.reason;
}

QString FileStore::Place() const {
    return QStringLiteral("el archivo de usuarios");
}

QString FileStore::CannotReadText() const {
    return QStringLiteral("No se puede leer el archivo de usuarios de la carpeta de datos:\n") +
           QDir::toNativeSeparators(DataPath(kUsersFileName));
}

QString FileStore::WhatToCheck() const {
    return QStringLiteral("Comprueba que se puede escribir en la carpeta de datos (") +
           QDir::toNativeSeparators(QDir::cleanPath(DataFolder())) +
           QStringLiteral(
               "), que a su disco le queda espacio y que usuarios.dat no está "
               "abierto en otro programa.");
}

bool FileStore::PrepareList() {
    return CreateDefaultUsersFile();
}

UserLines FileStore::ReadUserLines() {
    return tz::ReadUserLines();
}

std::optional<UserRecord> FileStore::LoadUser(const QString& id) {
    return tz::LoadUser(id);
}

bool FileStore::UserIdExists(const QString& id) {
    return tz::UserIdExists(id);
}

WriteResult FileStore::SaveUser(UserRecord& user, const WhileRewriting& whileRewriting) {
    return tz::SaveUser(user, whileRewriting);
}

QString FileStore::AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                 WriteOutcome* outcome) {
    return tz::AppendNewUser(name, level, mode, outcome);
}

WriteResult FileStore::DeleteUser(const QString& id, const WhileRewriting& whileRewriting) {
    return tz::DeleteUser(id, whileRewriting);
}

QList<QByteArray> FileStore::CollectUserLines(const QStringList& ids) {
    return tz::CollectUserLines(ids);
}

ImportResult FileStore::ImportUserLines(const ImportLines& import) {
    return ImportIntoUsersFile(import);
}

std::optional<QByteArray> FileStore::ReadFigures(const QString& id) {
    return ReadPupilFiguresFile(id);
}

WriteResult FileStore::ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) {
    return ChangePupilFiguresFile(id, update, waitMs);
}

}  // namespace tz
