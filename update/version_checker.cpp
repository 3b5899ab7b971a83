#include "update/version_checker.h"

#include "update/version_check.h"

namespace tz {

VersionChecker::VersionChecker(QObject* parent) : QObject(parent) {
    connect(&download_, &TextDownload::finished, this,
            [this](const QString& text) { emit latestVersionKnown(LatestVersionCode(text)); });
}

void VersionChecker::Start() {
    download_.Start(VersionFileUrl());
}

}  // namespace tz
