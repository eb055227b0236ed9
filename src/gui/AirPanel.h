#pragma once

#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <functional>

namespace orvanrx {

class WeatherStore;

// lblAir, the status bar's air panel: while a weather sample is within two hours of now, the
// density altitude and its trend over the last hour ("DA 2,350 ft ▲"), the whole air in its
// tool tip; hidden otherwise. It reads the logbook once a minute and when a sample is stored,
// never on the poll loop's tick.
class AirPanel final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 60 * 1000;

    // `now` is the local wall clock (a test gives its own).
    AirPanel(WeatherStore& store, std::function<QDateTime()> now, QWidget* parent = nullptr);

    // Reads the samples around now and shows the air, or hides the panel.
    void Refresh();
    int Reads() const { return reads_; }

private:
    WeatherStore& store_;
    std::function<QDateTime()> now_;
    QTimer timer_;
    int reads_ = 0;
};

}  // namespace orvanrx
