#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orvanrx {

class Receiver;

// The About box: the program's version and what the attached receiver reports about its
// firmware (name, date, version), asked for live when the box is made. Show it with exec();
// OK and Cancel both close it. Make a new one for every opening.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(Receiver& receiver, QWidget* parent = nullptr);

private:
    void Form_Load(Receiver& receiver);

    QLabel* lblVersion_ = nullptr;
    QPlainTextEdit* txtUSB_ = nullptr;
};

}  // namespace orvanrx
