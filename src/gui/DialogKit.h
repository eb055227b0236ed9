#pragma once

#include <QFont>
#include <QPixmap>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace orvanrx {

// Small pieces shared by the program's dialogs.

// Moves `dialog` so that it stands in the middle of its screen (its parent's screen when it
// has a parent): top = (screen height - height) / 2, left = (screen width - width) / 2. Call
// it once the dialog has its size.
void CentreOnScreen(QWidget& dialog);

// A label or button with its design name as objectName.
QLabel* NamedLabel(const char* objectName, const QString& text, QWidget* parent);
QPushButton* NamedButton(const char* objectName, const QString& text, QWidget* parent);
// The row of a dialog's buttons: `first` (the default button) and `second`, on the right.
QHBoxLayout* ButtonRow(QPushButton* first, QPushButton* second);

// The dialogs' faces by family name, with a style hint so that a system without the family
// substitutes a close one.
QFont SansSerifFont(int pointSize);  // "MS Sans Serif"
QFont TahomaFont(int pointSize);     // "Tahoma"
QFont MonospaceFont(int pointSize);  // "Courier New"

// The program's pictures, painted: `side` logical pixels square, sharp at `devicePixelRatio`.
// A waving chequered flag (the program's logo) and a receiver aerial sending waves.
QPixmap ChequeredFlagPixmap(int side, qreal devicePixelRatio);
QPixmap AerialPixmap(int side, qreal devicePixelRatio);

}  // namespace orvanrx
