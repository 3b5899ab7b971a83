// The version file's body as the online check gets it: bytes read as UTF-16LE, then the
// latest version code taken from the text and compared with this program's.

#include <QString>

#include "fuzz/fuzz_support.h"
#include "platform/http.h"
#include "update/version_check.h"

using namespace tz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = fuzz::InputBytes(data, size);
    const QString text = DecodeUtf16Le(body);
    FUZZ_CHECK(text.size() == body.size() / 2);
    const QString latest = LatestVersionCode(text);
    // The window always has a code to show.
    FUZZ_CHECK(!latest.isEmpty());
    IsNewerVersion(latest);
    return 0;
}
