#pragma once
// The pupils in the users file of the data folder, and their figures in its "estadisticas"
// folder: the store of every program that names no server.

#include "users/pupil_store.h"

namespace tz {

class FileStore : public PupilStore {
  public:
    QString Place() const override;
    QString CannotReadText() const override;
    QString WhatToCheck() const override;
    bool PrepareList() override;
    UserLines ReadUserLines() override;
    std::optional<UserRecord> LoadUser(const QString& id) override;
    bool UserIdExists(const QString& id) override;
    WriteResult SaveUser(UserRecord& user, const WhileRewriting& whileRewriting = {}) override;
    QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                          WriteOutcome* outcome = nullptr) override;
    WriteResult DeleteUser(const QString& id, const WhileRewriting& whileRewriting = {}) override;
    QList<QByteArray> CollectUserLines(const QStringList& ids) override;
    ImportResult ImportUserLines(const ImportLines& import) override;
    std::optional<QByteArray> ReadFigures(const QString& id) override;
    WriteResult ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) override;
};

}  // namespace tz
