// The three pictures of the program: the window background (101.jpg), the face of a picture
// button (102.jpg) and its greyed face (103.jpg). They are compiled into the program, written
// into the program folder at start-up and read from there by every window.
#pragma once

#include "core/programfolder.h"

#include <QPixmap>
#include <QString>

class QWidget;

namespace orvane {

// The three pictures the program writes; nothing else of the folder is ever deleted.
QStringList pictureFileNames();

// Writes the compiled-in resource of the given id and type ("JPG") to fileName in the folder,
// replacing the file as a whole. Returns false on any failure (missing resource, write-protected
// or full disk) with *error naming the file and the reason; the old file is then unchanged.
bool WriteResourceFile(
    const ProgramFolder &folder, int id, const QString &type, const QString &fileName, QString *error = nullptr);

// Removes the three pictures from the program folder.
void removePictures(const ProgramFolder &folder);

struct WindowPictures {
    QPixmap background; // 101.jpg
    QString buttonFace; // path of 102.jpg
    QString buttonGrey; // path of 103.jpg
};

WindowPictures loadWindowPictures(const ProgramFolder &folder);

// Gives every push button whose object name begins with "cmd" (any letter case) the button
// pictures, and paints the background picture behind the form.
void applyWindowPictures(QWidget *form, const ProgramFolder &folder);

// Paints a picture scaled over the whole of the widget it is installed on.
void installBackground(QWidget *widget, const QPixmap &picture);

// Moves the window to the middle of its screen.
void centerOnScreen(QWidget *window);

} // namespace orvane
