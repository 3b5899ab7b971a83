#include "users/file_store.h"

#include <QDir>

#include "platform/files.h"
#include "users/pupil_files.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_file_start.h"
#include "users/users_upgrade.h"

namespace tz {

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

bool FileStore::CheckAtStart() {
    return CheckUsersFileAtStart(presence_);
}

void FileStore::UpgradeAtStart() {
    UpgradeUsersFile();
}

void FileStore::Leave() {
    LeaveUsersFile(presence_);
}

PupilList FileStore::Pupils() {
    return ReadPupils();
}

PupilList FileStore::PupilsToChoose() {
    CreateDefaultUsersFile();
    return ReadPupils();
}

std::optional<UserRecord> FileStore::LoadUser(const QString& id) {
    return tz::LoadUser(id);
}

WriteResult FileStore::SaveUser(UserRecord& user) {
    return tz::SaveUser(user);
}

QString FileStore::AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                                 WriteOutcome* outcome) {
    return tz::AppendNewUser(name, level, mode, outcome);
}

WriteResult FileStore::DeleteUser(const QString& id) {
    return tz::DeleteUser(id);
}

ImportResult FileStore::ImportPupils(const QList<UserRecord>& pupils) {
    return ImportIntoUsersFile(pupils);
}

std::optional<QByteArray> FileStore::ReadFigures(const QString& id) {
    return ReadPupilFiguresFile(id);
}

QHash<QString, QByteArray> FileStore::ReadClassFigures() {
    return ReadEveryFiguresFile();
}

WriteResult FileStore::ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) {
    return ChangePupilFiguresFile(id, update, waitMs);
}

}  // namespace tz
