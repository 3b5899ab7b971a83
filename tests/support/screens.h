#pragma once
// Finding and driving the program's real windows in tests: windows by title, controls by id,
// rows of lists, and text typed key by key.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QWidget>
#include <functional>

#include "platform/windows.h"

namespace tz::test {

// The visible top-level window with this title; null when there is none.
inline QWidget* VisibleWindow(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) return widget;
    }
    return nullptr;
}

inline QWidget* UsersWindowOnScreen() {
    return VisibleWindow("USUARIOS");
}

inline QWidget* NewUserDialogOnScreen() {
    return VisibleWindow("Datos de nuevo usuario");
}

inline int VisibleTopLevels() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += widget->isVisible();
    return count;
}

// A real click on a control of the window found by its id.
inline void ClickControl(QWidget* window, int id) {
    QWidget* control = window ? FindControl(window, id) : nullptr;
    if (!control) {
        ADD_FAILURE() << "no control " << id;
        return;
    }
    QTest::mouseClick(control, Qt::LeftButton);
}

// A real click on a row of a list, scrolled into view first as a pupil would.
inline void ClickListRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (!item) {
        ADD_FAILURE() << "no row " << row;
        return;
    }
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

inline QStringList ListRows(const QListWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) rows.append(list->item(row)->text());
    return rows;
}

// Types text key by key into a widget; letters outside ASCII arrive as composed characters
// (QTest's own key map knows ASCII only) and a line feed is the Enter key.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// Runs `act` once, when a top-level window with this title is next shown, from the event loop
// that shows it: a modal screen already waits in its own exec() when `act` clicks or types in
// it. A window that never shows fails the test at its end (ProgramFolderTest's TearDown, or
// ExpectNoWaitingActs()).
void WhenShown(const QString& title, std::function<void(QWidget*)> act);
// Fails the test for every WhenShown whose window never showed, and forgets them.
void ExpectNoWaitingActs();

// The controls of a screen a screen reader cannot name: each as "class objectName role".
QStringList ControlsWithoutNames(QWidget* screen);

}  // namespace tz::test
