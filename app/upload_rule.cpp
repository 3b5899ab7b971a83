#include "app/upload_rule.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "content/figures_file.h"

namespace tz {

namespace {

std::optional<PupilFigures> FiguresOf(const std::optional<QByteArray>& bytes) {
    return bytes ? ParseFiguresFile(*bytes) : std::nullopt;
}

std::optional<QDateTime> LastAttempt(const std::optional<PupilFigures>& figures) {
    if (!figures || figures->attempts.empty()) return std::nullopt;
    return figures->attempts.back().when;
}

std::tuple<int, int, int> Place(const UserRecord& user) {
    return {user.level, user.block, user.exercise};
}

std::vector<std::int16_t> Filled(const std::array<std::int16_t, 10>& history) {
    std::vector<std::int16_t> results;
    for (const std::int16_t speed : history) {
        if (speed < 0) break;
        results.push_back(speed);
    }
    return results;
}

// `later` is `earlier` with at least one result added (the oldest leaving once ten are kept).
bool ResultsGoOn(const std::array<std::int16_t, 10>& earlier,
                 const std::array<std::int16_t, 10>& later) {
    const std::vector<std::int16_t> before = Filled(earlier);
    const std::vector<std::int16_t> after = Filled(later);
    for (std::size_t added = 1; added <= after.size(); ++added) {
        if (after.size() != std::min<std::size_t>(10, before.size() + added)) continue;
        const std::size_t kept = after.size() - added;
        if (kept <= before.size() &&
            std::equal(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(kept),
                       before.end() - static_cast<std::ptrdiff_t>(kept)))
            return true;
    }
    return false;
}

// `later` keeps the last attempt of `earlier` and has more after it.
bool FiguresGoOn(const PupilFigures& earlier, const PupilFigures& later) {
    if (earlier.attempts.empty()) return !later.attempts.empty();
    const auto found =
        std::find(later.attempts.begin(), later.attempts.end(), earlier.attempts.back());
    return found != later.attempts.end() && found + 1 != later.attempts.end();
}

}  // namespace

UploadTake JudgeUpload(const UploadedPupil& folder, const UserRecord& server,
                       const std::optional<QByteArray>& serverFigures) {
    const std::optional<PupilFigures> folderFigures = FiguresOf(folder.figures);
    const std::optional<PupilFigures> serverParsed = FiguresOf(serverFigures);
    const std::optional<QDateTime> folderLast = LastAttempt(folderFigures);
    const std::optional<QDateTime> serverLast = LastAttempt(serverParsed);
    UploadTake take;
    if (folderLast && serverLast && *folderLast != *serverLast) {
        take.record = *folderLast > *serverLast;
    } else if (Place(folder.record) != Place(server)) {
        take.record = Place(folder.record) > Place(server);
    } else {
        take.record = ResultsGoOn(server.history, folder.record.history);
    }
    // A later version's figures are never replaced; damaged ones are (they are kept aside).
    const bool serverDamaged = serverFigures && !serverParsed && !IsOfLaterVersion(*serverFigures);
    take.figures = folderFigures &&
                   (serverParsed ? FiguresGoOn(*serverParsed, *folderFigures) : serverDamaged);
    return take;
}

}  // namespace tz
