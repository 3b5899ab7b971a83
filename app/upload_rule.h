#pragma once
// What "--subir-al-servidor" takes from a data folder's copy of a pupil the server already has:
// only what is newer, so that running it again, or from an old folder, takes nothing from her.

#include <QByteArray>
#include <optional>

#include "users/server_store.h"

namespace tz {

// Her record when it is the newer one: of the two copies, the one with the later last attempt
// (as their figures keep it); without that, the one further on in the course; at the same
// place, the one whose results go on from the other's. Her figures when the folder's hold every
// attempt of the server's and more after them, or the server's are damaged.
UploadTake JudgeUpload(const UploadedPupil& folder, const UserRecord& server,
                       const std::optional<QByteArray>& serverFigures);

}  // namespace tz
