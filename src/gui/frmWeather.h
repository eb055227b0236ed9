#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "weather/WeatherEntry.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanrx {

class SettingsStore;
class WeatherFetcher;
class WeatherStore;

// Tools > Weather...: the racer types what the weather station shows (the temperature, the
// humidity or dew point, the station's own barometer, the track temperature if wanted, and
// the time unless it is now) and sees the air it makes (density altitude, correction factor)
// while typing. Store keeps it in the logbook (the dialog closes when it is in); a value that
// cannot be weather is named and its field gets the focus. The units chosen are kept for the next
// time. Below, the track's position for fetching the current conditions from the internet, and a
// Fetch Now.
class frmWeather final : public QDialog {
    Q_OBJECT
public:
    struct Parts {
        WeatherStore& store;
        const SettingsStore& settings;
        // The track of the venue heard last: its number and its name (empty when unnamed).
        int venue = 0;
        QString trackName;
        // Fetches the current conditions; nullptr: the fetching part is not shown.
        WeatherFetcher* fetcher = nullptr;
        // The local time now, "yyyy-MM-dd HH:mm:ss".
        std::function<QString()> now;
    };

    explicit frmWeather(Parts parts, QWidget* parent = nullptr);

    QLineEdit& txtTemp() { return *txtTemp_; }
    QComboBox& cboTempUnit() { return *cboTempUnit_; }
    QLineEdit& txtMoisture() { return *txtMoisture_; }
    QComboBox& cboMoisture() { return *cboMoisture_; }
    QLineEdit& txtBaro() { return *txtBaro_; }
    QComboBox& cboBaroUnit() { return *cboBaroUnit_; }
    QLineEdit& txtTrackTemp() { return *txtTrackTemp_; }
    QLineEdit& txtTime() { return *txtTime_; }
    QLabel& lblAir() { return *lblAir_; }
    QLineEdit& txtPosition() { return *txtPosition_; }
    QLineEdit& txtService() { return *txtService_; }
    QPushButton& cmdFetch() { return *cmdFetch_; }
    QLabel& lblFetch() { return *lblFetch_; }
    QPushButton& cmdStore() { return *cmdStore_; }

    // The entry as typed, in the units chosen.
    air::WeatherEntry Entry() const;

private:
    QGroupBox* AirGroup();
    QGroupBox* FetchGroup();
    void ShowAir();
    void UnitsChanged();
    void cmdStore_Click();
    void Stored(std::uint64_t ticket, bool ok, const QString& error);
    void cmdFetch_Click();
    // Keeps the position and the service's address; false (with the reason shown) when the
    // position is not one.
    bool KeepFetchSettings();
    void Fetched(const std::optional<air::WeatherSample>& sample, const QString& reason);
    QLineEdit* FieldOf(air::WeatherEntryField field) const;
    void ShowProblem(QLabel* label, const QString& text);

    Parts parts_;
    QLineEdit* txtTemp_;
    QComboBox* cboTempUnit_;
    QLineEdit* txtMoisture_;
    QComboBox* cboMoisture_;
    QLineEdit* txtBaro_;
    QComboBox* cboBaroUnit_;
    QLineEdit* txtTrackTemp_;
    QLabel* lblTrackUnit_;
    QLineEdit* txtTime_;
    QLabel* lblAir_;
    QLineEdit* txtPosition_;
    QLineEdit* txtService_;
    QPushButton* cmdFetch_;
    QLabel* lblFetch_;
    QPushButton* cmdStore_;
    // The ticket of the sample being stored; 0: none.
    std::uint64_t storing_ = 0;
};

}  // namespace orvanrx
