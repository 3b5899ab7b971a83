#pragma once
// Which store keeps the pupils: the school's server when a settings file has a "[servidor]"
// section, otherwise the users file of the data folder.

#include <QString>
#include <QStringList>
#include <memory>

#include "users/pupil_store.h"

namespace tz {

// The store the settings files name (looked at in order, the first with a "[servidor]" section
// counts). Null when they name a server that cannot be used: `failure` then says so in Spanish,
// naming the server and the settings file and why, never the password.
std::unique_ptr<PupilStore> OpenNamedStore(const QStringList& settingsFiles, QString* failure);

}  // namespace tz
