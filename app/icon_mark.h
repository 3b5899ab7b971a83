#pragma once
// The program's icon: a square mark in the style of the logo, the golden "10" key cap on the
// navy tile with the terracotta rule beneath. Drawn from one set of shapes both as pictures of
// any size and as a scalable SVG document, so the installed icons match at every size.

#include <QByteArray>
#include <QImage>

namespace tz {

// The mark at pixels x pixels, with transparent corners.
QImage DrawIconMark(int pixels);
// The same mark as an SVG document on a 64-unit grid; the legend is written as outlines, so
// it needs no font where it is shown.
QByteArray IconMarkSvg();

}  // namespace tz
