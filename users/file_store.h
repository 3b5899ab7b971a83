#pragma once
// The pupils in the users file of the data folder, and their figures in its "estadisticas"
// folder: the store of every program that names no server.

#include <memory>

#include "users/live_programs.h"
#include "users/pupil_store.h"

namespace tz {

class FileStore : public PupilStore {
  public:
    QString Place() const override;
    QString CannotReadText() const override;
    QString WhatToCheck() const override;
    bool CheckAtStart() override;
    void UpgradeAtStart() override;
    void Leave() override;
    PupilList Pupils() override;
    PupilList PupilsToChoose() override;
    std::optional<UserRecord> LoadUser(const QString& id) override;
    WriteResult SaveUser(UserRecord& user) override;
    QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                          WriteOutcome* outcome = nullptr) override;
    WriteResult DeleteUser(const QString& id) override;
    ImportResult ImportPupils(const QList<UserRecord>& pupils) override;
    std::optional<QByteArray> ReadFigures(const QString& id) override;
    QHash<QString, QByteArray> ReadClassFigures() override;
    WriteResult ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) override;

  private:
    // This program's mark in the data folder, from the checks at start to the end.
    std::unique_ptr<ProgramPresence> presence_;
};

}  // namespace tz
