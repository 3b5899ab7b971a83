#pragma once
// Screens of fixed pixel size built in code, and their controls.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "platform/picture_names.h"

namespace tz {

// Sets or clears always-on-top without re-creating the native window.
void SetAlwaysOnTop(QWidget* window, bool onTop);
// A screen the program keeps on top: on top each time it shows, no longer once hidden.
void KeepOnTopWhileShown(QWidget* window);

// Controls carry numeric ids as their object names; these find them again (tests, and screens
// that update them).
void SetControlId(QWidget* control, int id);
int ControlId(const QObject* control);
QWidget* FindControl(QWidget* window, int id);

// A static picture of the PictureTable (by name, or by the number of a work copy).
QLabel* AddPicture(QWidget* parent, int id, PictureName picture, const QRect& geometry);
QLabel* AddPicture(QWidget* parent, int id, int picture, const QRect& geometry);
// A static text.
QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& geometry);

// A screen is a QDialog or QWidget subclass: it calls SetUpScreen in its constructor and
// connects the signals of the controls it makes below to its slots.

// Gives a screen exactly width x height pixels, centred on the screen, hidden until shown.
// `frameless` screens have no caption bar; others a caption without a close box. A QDialog
// stays a dialog (modal over its parent with exec() or open()); any other widget is a window.
void SetUpScreen(QWidget* screen, const QString& title, int width, int height, bool frameless);

// Every control carries a Spanish accessible name a screen reader can say: a button its text,
// a picture button the words of its tooltip (or `spoken` when it has none), a picture what it
// shows.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& geometry);
QAbstractButton* MakePictureButton(QWidget* parent, int id, PictureName picture,
                                   const QRect& geometry, const QString& tooltip,
                                   const QString& spoken = QString());
QLabel* MakePicture(QWidget* parent, int id, PictureName picture, const QRect& geometry,
                    const QString& spoken);
// A static text, never read as markup; its accessible name is its text unless `spoken` says
// otherwise (a text that changes, named by what it shows).
QLabel* MakeLabel(QWidget* parent, int id, const QString& text, const QRect& geometry,
                  const QString& spoken = QString());

// Sets a solid background colour on a widget.
void SetBackground(QWidget* widget, const QColor& colour);
// Tiles a picture of the PictureTable as the widget's background.
void SetTiledBackground(QWidget* widget, PictureName picture);
void SetTextColour(QWidget* widget, const QColor& colour);

}  // namespace tz
