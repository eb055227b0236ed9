#pragma once

#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <functional>

namespace orvanrx {

class WeatherStore;

// lblAir, the status bar's air panel: while a weather sample is within two hours of now, the
// density altitude and its trend over the last hour ("DA 2,350 ft ▲"), the whole air in its
// tool tip; hidden otherwise. Where the bar is short of room it gives way before the other
// panels: to the figure and the trend alone ("2,350▲"), then the trend alone; and while the
// bar's status text speaks it steps aside altogether. It reads the
// logbook once a minute and when a sample is stored, never on the poll loop's tick.
class AirPanel final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 60 * 1000;

    // `now` is the local wall clock (a test gives its own).
    AirPanel(WeatherStore& store, std::function<QDateTime()> now, QWidget* parent = nullptr);

    // Reads the samples around now and shows the air, or hides the panel.
    void Refresh();
    int Reads() const { return reads_; }
    // What the panel shows at its present width.
    QString ShownText() const;
    // Steps aside (hidden) while `on`, for another panel that needs the room.
    void SetGivingWay(bool on);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WeatherStore& store_;
    std::function<QDateTime()> now_;
    QTimer timer_;
    QString compact_;
    bool known_ = false;
    bool givingWay_ = false;
    int reads_ = 0;
};

}  // namespace orvanrx
