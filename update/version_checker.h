#pragma once
// The online check itself: fetches the version file while the program goes on and tells the
// latest version code it names.

#include <QObject>
#include <QString>

#include "platform/http.h"

namespace tz {

class VersionChecker : public QObject {
    Q_OBJECT
  public:
    explicit VersionChecker(QObject* parent = nullptr);
    // Fetches the version file of VersionFileUrl(); latestVersionKnown follows, once.
    void Start();

  signals:
    // The latest code the file names; kLocalVersionCode itself when the fetch failed or the file
    // is no version file, so nothing newer is offered.
    void latestVersionKnown(const QString& code);

  private:
    TextDownload download_;
};

}  // namespace tz
