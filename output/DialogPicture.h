#pragma once
// The pictures of the output windows (side and banner pictures in the program folder's
// "recom/").
#include <QString>

class QLabel;

// Shows recom/ + fileName of the program folder in label; a picture that is missing or cannot
// be read raises EInvalidGraphic naming it.
void ShowDialogPicture(QLabel& label, const QString& fileName);
