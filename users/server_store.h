#pragma once
// The pupils of a whole school on one PostgreSQL server (Qt SQL's QPSQL driver). Every change
// is one transaction on the rows it touches, so programs in every lab of the school save side
// by side; there is no users file, no lock copy, no recovery.

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "users/pupil_store.h"
#include "users/server_settings.h"

namespace tz {

// The version of the tables this program makes and reads. A server whose tables are older is
// brought up to it in one transaction; one whose tables are newer is left alone.
inline constexpr int kServerSchemaVersion = 2;

// A pupil as `--subir-al-servidor` carries her from a users file.
struct UploadedPupil {
    UserRecord record;  // with her id
    std::optional<QByteArray> figures;
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

    // Puts the pupils in, each under her own id: a pupil the server has already (same id) is
    // updated, not doubled. All or nothing; false with `failure` said when nothing was stored.
    bool Upload(const QList<UploadedPupil>& pupils, QString* failure);

    const ServerSettings& Settings() const { return settings_; }

  private:
    explicit ServerStore(const ServerSettings& settings);
    class Session;
    ServerSettings settings_;
    QString connection_;
};

}  // namespace tz
