#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanrx {

// The My Car dialog: the racer's own car numbers in one line, separated by commas. Items
// that cannot be car numbers are named under the line and OK waits until they are gone; an
// empty line turns the alerts off. Show it with exec(); make a new one for every opening.
class frmMyCar : public QDialog {
    Q_OBJECT

public:
    explicit frmMyCar(const QStringList& numbers, QWidget* parent = nullptr);

    // The numbers as the line stands.
    QStringList Numbers() const;
    // The next dial-in of each of the racer's cars, a line each, shown under the hint;
    // nothing shows for none.
    void SetDialIns(const QStringList& lines);

    QLineEdit& NumbersBox() { return *txtNumbers_; }
    QLabel& CheckLabel() { return *lblCheck_; }
    QLabel& DialInsLabel() { return *lblDialIns_; }
    QPushButton& OkButton() { return *cmdOK_; }

private:
    void txtNumbers_Change();

    QLineEdit* txtNumbers_ = nullptr;
    QLabel* lblCheck_ = nullptr;
    QLabel* lblDialIns_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace orvanrx
