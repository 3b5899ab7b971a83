#pragma once
// The pupils of a whole school on one PostgreSQL server (Qt SQL's QPSQL driver). Every change
// is one transaction on the rows it touches, so programs in every lab of the school save side
// by side; there is no users file, no lock copy, no recovery: nothing to do at start or end.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "users/pupil_store.h"
#include "users/server_settings.h"

namespace tz {

// The version of the tables this program makes and reads. A server whose tables are older is
// brought up to it in one transaction; one whose tables are newer is left alone.
inline constexpr int kServerSchemaVersion = 3;

// A pupil as `--subir-al-servidor` carries her from a users file.
struct UploadedPupil {
    UserRecord record;  // with her id
    std::optional<QByteArray> figures;
};
// What an upload takes from the folder's copy of a pupil the server already has.
struct UploadTake {
    bool record = false;   // her place, results and mode
    bool figures = false;  // her figures (the server's are kept aside)
};
using UploadJudge = std::function<UploadTake(const UploadedPupil& folder, const UserRecord& server,
                                             const std::optional<QByteArray>& serverFigures)>;
struct UploadCounts {
    qsizetype added = 0;
    qsizetype updated = 0;
    qsizetype unchanged = 0;
    // Pupils whose id the server gives to somebody else, each with the new id she got.
    QList<std::pair<UserRecord, QString>> renumbered;
};

// What `--preparar-servidor` did, each step in Spanish, or why it could not.
struct ServerPreparation {
    bool done = false;
    QStringList steps;
    QString failure;
};

class ServerStore : public PupilStore {
  public:
    // Connects (giving up after a few seconds) and makes or upgrades the tables. Null when the
    // server cannot be used; `failure` then says why in Spanish, without the password.
    static std::unique_ptr<ServerStore> Open(const ServerSettings& settings, QString* failure);
    ~ServerStore() override;
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    QString Place() const override;
    QString CannotReadText() const override;
    QString WhatToCheck() const override;
    PupilList Pupils() override;
    std::optional<UserRecord> LoadUser(const QString& id) override;
    WriteResult SaveUser(UserRecord& user) override;
    QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                          WriteOutcome* outcome = nullptr) override;
    WriteResult DeleteUser(const QString& id) override;
    ImportResult ImportPupils(const QList<UserRecord>& pupils) override;
    std::optional<QByteArray> ReadFigures(const QString& id) override;
    QHash<QString, QByteArray> ReadClassFigures() override;
    WriteResult ChangeFigures(const QString& id, const FiguresUpdate& update, int waitMs) override;

    // Puts the pupils in, each under her own id. Of a pupil the server has already (same id and
    // name), `judge` says what the folder's copy brings (nothing, without a judge); figures
    // either side leaves are kept aside. A different pupil under an id the server has (among
    // its pupils or its deleted ones) gets a new id. All or nothing: nothing, with `failure`
    // said, when nothing was stored.
    std::optional<UploadCounts> Upload(const QList<UploadedPupil>& pupils, const UploadJudge& judge,
                                       QString* failure);

    const ServerSettings& Settings() const { return settings_; }

    // Connects to the server and database of `settings` as the administrator's role `admin`,
    // makes or upgrades the tables and takes them over, and lets the lab's role (the settings'
    // user) do exactly what the programs do. The password is used only to connect.
    static ServerPreparation PrepareForLab(const ServerSettings& settings, const QString& admin,
                                           const QString& password);

  private:
    explicit ServerStore(const ServerSettings& settings);
    ServerSettings settings_;
    QString connection_;
};

}  // namespace tz
