#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace orvanrx {

class Receiver;

// The change channel dialog: shows the channel the receiver is tuned to (read when the
// dialog is made) and tunes it to the chosen one on OK. Cancel and the close box leave the
// receiver alone. Show it with exec(); make a new one for every opening.
class frmChangeChannel : public QDialog {
    Q_OBJECT

public:
    explicit frmChangeChannel(Receiver& receiver, QWidget* parent = nullptr);

private:
    void Form_Load();
    void cmdOK_Click();

    Receiver& receiver_;
    QComboBox* cboChannel_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace orvanrx
