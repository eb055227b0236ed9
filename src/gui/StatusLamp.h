#pragma once

#include <QColor>
#include <QWidget>

namespace orvanrx {

// One of the receiver's status lamps (txtCD, txtEF, txtFF): a small light that is either lit
// or dark in its own pair of colours.
class StatusLamp final : public QWidget {
    Q_OBJECT
public:
    StatusLamp(const QString& name, const QString& toolTip, int litValue, int darkValue,
               QWidget* parent = nullptr);

    void SetLit(bool lit);
    bool Lit() const { return lit_; }
    // The colour value shown now (red + 256 * green + 65536 * blue).
    int ColorValue() const { return lit_ ? litValue_ : darkValue_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int litValue_;
    int darkValue_;
    bool lit_ = false;
};

}  // namespace orvanrx
