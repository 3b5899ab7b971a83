#pragma once
// The about box: the program's pictures, its version and two ways out to the maker on the web.

#include <QDialog>
#include <QString>

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

// Over the main menu, always on top while it shows; it closes by its close button, a close
// request, or after opening the web site or the social page.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* owner);

  protected:
    // Only its own controls and a close request end it: Escape does nothing.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Open(const QString& page);
};

// Shows the about box modal over `owner` (the main menu; may be null) and returns when it is
// closed.
void ShowAboutBox(QWidget* owner);

}  // namespace tz
