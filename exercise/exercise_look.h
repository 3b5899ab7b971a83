#pragma once
// Colours of the exercise window and its pictures, so the background, the keyboard,
// the hands and the controls on top of them read as one piece.

#include <QColor>

namespace tz::look {

inline const QColor kGround(246, 237, 224);      // the window's ground
inline const QColor kCard(255, 251, 245);        // panels on the ground
inline const QColor kCardLine(222, 200, 176);    // their edges
inline const QColor kInk(86, 54, 34);            // captions
inline const QColor kMutedInk(140, 110, 90);     // small print
inline const QColor kTerracotta(208, 134, 108);  // the brand's warm accent
inline const QColor kBandTop(118, 66, 48);       // the title band and the header strip
inline const QColor kBandBottom(84, 44, 34);
inline const QColor kDisplayFace(253, 230, 196);  // the figure displays and check boxes
inline const QColor kCasingTop(78, 70, 66);       // the keyboard's casing
inline const QColor kCasingBottom(52, 46, 43);
inline const QColor kSkin(241, 200, 168);
inline const QColor kSkinShade(222, 170, 134);
inline const QColor kSkinLine(168, 112, 82);

}  // namespace tz::look
