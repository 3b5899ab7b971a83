#pragma once
// The about box: the program's pictures, its version and two ways out to the maker on the web.

#include <QString>

class QWidget;

namespace tz {

// The maker's web site (the link of the about box) and the social network's "like" page
// (the about box's button and the main menu's).
inline const QString kMakerWebSite = QStringLiteral("https://www.tipenzo.es/");
inline const QString kMakerWebSiteText = QStringLiteral(" www.tipenzo.es");
inline const QString kSocialPage = QStringLiteral("https://www.facebook.com/tipenzo");

// Control ids of the about box.
enum AboutBoxControl {
    kAboutBannerId = 1,
    kAboutLogoId = 2,
    kAboutCloseId = 3,
    kAboutSocialId = 4,
    kAboutLinkId = 5,
    kAboutVersionId = 6,
};

// Shows the about box over `owner` (the main menu; may be null), disabled for that time, and
// returns when the box is closed: by its close button, a close request, or after opening the
// web site or the social page.
void ShowAboutBox(QWidget* owner);

}  // namespace tz
