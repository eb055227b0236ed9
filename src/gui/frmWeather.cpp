#include "gui/frmWeather.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/DialogKit.h"
#include "weather/WeatherSettings.h"
#include "weatherlink/WeatherFetcher.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {

namespace {

QLineEdit* Field(const char* name, const QString& accessibleName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessibleName);
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);
    return edit;
}

QComboBox* Choice(const char* name, const QString& accessibleName, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setAccessibleName(accessibleName);
    return combo;
}

QLabel* Hint(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) {
        row->addWidget(w);
    }
    row->addStretch(1);
    return row;
}

}  // namespace

frmWeather::frmWeather(Parts parts, QWidget* parent)
    : QDialog(parent),
      parts_(std::move(parts)),
      txtTemp_(Field("txtTemp", QStringLiteral("Temperature"), this)),
      cboTempUnit_(Choice("cboTempUnit", QStringLiteral("Temperature unit"), this)),
      txtMoisture_(Field("txtMoisture", QStringLiteral("Humidity or dew point"), this)),
      cboMoisture_(Choice("cboMoisture", QStringLiteral("Humidity or dew point"), this)),
      txtBaro_(Field("txtBaro", QStringLiteral("Barometer"), this)),
      cboBaroUnit_(Choice("cboBaroUnit", QStringLiteral("Barometer unit"), this)),
      txtTrackTemp_(Field("txtTrackTemp", QStringLiteral("Track temperature"), this)),
      lblTrackUnit_(new QLabel(this)),
      txtTime_(Field("txtTime", QStringLiteral("Time"), this)),
      lblAir_(new QLabel(this)),
      txtPosition_(new QLineEdit(this)),
      txtService_(new QLineEdit(this)),
      cmdFetch_(NamedButton("cmdFetch", QStringLiteral("&Fetch Now"), this)),
      lblFetch_(new QLabel(this)),
      cmdStore_(NamedButton("cmdStore", QStringLiteral("&Store"), this)) {
    setObjectName(QStringLiteral("frmWeather"));
    setWindowTitle(QStringLiteral("Weather"));
    cboTempUnit_->addItems({QStringLiteral("°F"), QStringLiteral("°C")});
    cboBaroUnit_->addItems({QStringLiteral("inHg"), QStringLiteral("hPa")});
    const air::WeatherUnits units = air::ReadWeatherUnits(parts_.settings);
    cboTempUnit_->setCurrentIndex(units.temp == air::TempUnit::Celsius ? 1 : 0);
    cboBaroUnit_->setCurrentIndex(units.baro == air::BaroUnit::Hpa ? 1 : 0);
    cboMoisture_->addItems({QString(), QString()});
    cboMoisture_->setCurrentIndex(units.moisture == air::MoistureKind::DewPoint ? 1 : 0);
    txtTime_->setPlaceholderText(QStringLiteral("now"));

    lblAir_->setObjectName(QStringLiteral("lblAir"));
    lblAir_->setAccessibleName(QStringLiteral("Air"));
    lblAir_->setWordWrap(true);
    lblAir_->setTextFormat(Qt::PlainText);
    QFont bold = lblAir_->font();
    bold.setBold(true);
    lblAir_->setFont(bold);

    auto* cmdClose = NamedButton("cmdClose", QStringLiteral("Close"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(AirGroup());
    if (parts_.fetcher != nullptr) {
        layout->addWidget(FetchGroup());
    }
    layout->addStretch(1);
    layout->addLayout(ButtonRow(cmdStore_, cmdClose));

    for (QLineEdit* edit : {txtTemp_, txtMoisture_, txtBaro_, txtTrackTemp_, txtTime_}) {
        connect(edit, &QLineEdit::textChanged, this, &frmWeather::ShowAir);
    }
    for (QComboBox* combo : {cboTempUnit_, cboMoisture_, cboBaroUnit_}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &frmWeather::UnitsChanged);
    }
    connect(cmdStore_, &QPushButton::clicked, this, &frmWeather::cmdStore_Click);
    connect(&parts_.store, &WeatherStore::Stored, this, &frmWeather::Stored);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    UnitsChanged();
    // Wide enough for the hints to stay on one or two lines.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 80);
    txtTemp_->setFocus();
}

QGroupBox* frmWeather::AirGroup() {
    auto* group =
        new QGroupBox(QStringLiteral("The air now, as the weather station shows it"), this);
    auto* form = new QFormLayout;
    const auto label = [this, form](const QString& text, QWidget* buddy, QLayout* row) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        form->addRow(l, row);
    };
    label(QStringLiteral("&Temperature:"), txtTemp_, Row({txtTemp_, cboTempUnit_}));
    label(QStringLiteral("&Moisture:"), txtMoisture_, Row({txtMoisture_, cboMoisture_}));
    label(QStringLiteral("&Barometer:"), txtBaro_,
          Row({txtBaro_, cboBaroUnit_,
               Hint(QStringLiteral("the station's own, not sea-level"), this)}));
    label(QStringLiteral("T&rack temperature:"), txtTrackTemp_,
          Row({txtTrackTemp_, lblTrackUnit_, Hint(QStringLiteral("(if measured)"), this)}));
    label(QStringLiteral("T&ime:"), txtTime_,
          Row({txtTime_, Hint(QStringLiteral("empty: now; or HH:MM, YYYY-MM-DD HH:MM"), this)}));
    auto* box = new QVBoxLayout(group);
    box->addLayout(form);
    box->addWidget(lblAir_);
    return group;
}

QGroupBox* frmWeather::FetchGroup() {
    auto* group = new QGroupBox(this);
    const QString track =
        parts_.trackName.isEmpty()
            ? QStringLiteral("Venue %1 (no track name given)").arg(parts_.venue)
            : QStringLiteral("%1 (venue %2)").arg(parts_.trackName).arg(parts_.venue);
    group->setObjectName(QStringLiteral("fraFetch"));
    group->setTitle(QStringLiteral("Fetch from the internet for ") + track);
    txtPosition_->setObjectName(QStringLiteral("txtPosition"));
    txtPosition_->setAccessibleName(QStringLiteral("Track position"));
    txtPosition_->setPlaceholderText(QStringLiteral("latitude, longitude: 41.4704, -88.1296"));
    txtService_->setObjectName(QStringLiteral("txtService"));
    txtService_->setAccessibleName(QStringLiteral("Weather service address"));
    lblFetch_->setObjectName(QStringLiteral("lblFetch"));
    lblFetch_->setWordWrap(true);
    lblFetch_->setTextFormat(Qt::PlainText);
    if (const auto position = air::ReadTrackPosition(parts_.settings, parts_.venue)) {
        txtPosition_->setText(air::TrackPositionText(*position));
    }
    txtService_->setText(air::ReadWeatherServiceUrl(parts_.settings));
    txtService_->setCursorPosition(0);
    lblFetch_->setText(
        QStringLiteral("With a position, fetched every 15 minutes while OrvanRX runs."));

    auto* form = new QFormLayout;
    auto* lblPosition = new QLabel(QStringLiteral("&Position:"), this);
    lblPosition->setBuddy(txtPosition_);
    auto* positionRow = new QHBoxLayout;
    positionRow->addWidget(txtPosition_, 1);
    positionRow->addWidget(cmdFetch_);
    form->addRow(lblPosition, positionRow);
    auto* lblService = new QLabel(QStringLiteral("S&ervice:"), this);
    lblService->setBuddy(txtService_);
    form->addRow(lblService, txtService_);
    auto* box = new QVBoxLayout(group);
    box->addLayout(form);
    box->addWidget(lblFetch_);

    connect(txtPosition_, &QLineEdit::editingFinished, this, &frmWeather::KeepFetchSettings);
    connect(txtService_, &QLineEdit::editingFinished, this, &frmWeather::KeepFetchSettings);
    connect(cmdFetch_, &QPushButton::clicked, this, &frmWeather::cmdFetch_Click);
    connect(parts_.fetcher, &WeatherFetcher::Fetched, this, &frmWeather::Fetched);
    return group;
}

air::WeatherEntry frmWeather::Entry() const {
    air::WeatherEntry e;
    e.units.temp =
        cboTempUnit_->currentIndex() == 1 ? air::TempUnit::Celsius : air::TempUnit::Fahrenheit;
    e.units.moisture = cboMoisture_->currentIndex() == 1 ? air::MoistureKind::DewPoint
                                                         : air::MoistureKind::Humidity;
    e.units.baro = cboBaroUnit_->currentIndex() == 1 ? air::BaroUnit::Hpa : air::BaroUnit::InHg;
    e.temp = txtTemp_->text();
    e.moisture = txtMoisture_->text();
    e.baro = txtBaro_->text();
    e.trackTemp = txtTrackTemp_->text();
    e.time = txtTime_->text();
    return e;
}

void frmWeather::UnitsChanged() {
    const QString unit = air::UnitText(Entry().units.temp);
    cboMoisture_->setItemText(0, QStringLiteral("% humidity"));
    cboMoisture_->setItemText(1, unit + QStringLiteral(" dew point"));
    lblTrackUnit_->setText(unit);
    ShowAir();
}

void frmWeather::ShowProblem(QLabel* label, const QString& text) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(176, 0, 0));
    label->setPalette(p);
    label->setText(text);
}

void frmWeather::ShowAir() {
    const air::WeatherEntry entry = Entry();
    if (entry.temp.trimmed().isEmpty() || entry.moisture.trimmed().isEmpty() ||
        entry.baro.trimmed().isEmpty()) {
        lblAir_->setPalette(palette());
        lblAir_->setText(
            QStringLiteral("Type the temperature, the moisture and the barometer to "
                           "see the air."));
        return;
    }
    const air::WeatherEntryResult read = air::ReadWeatherEntry(entry, parts_.now());
    if (!read.Ok()) {
        ShowProblem(lblAir_, read.reason);
        return;
    }
    const air::AirFigures f = air::FiguresOf(read.sample.Reading());
    lblAir_->setPalette(palette());
    lblAir_->setText(QStringLiteral("Density altitude %1 ft, correction factor %2")
                         .arg(QLocale().toString(static_cast<qlonglong>(
                                  std::lround(f.densityAltitudeFt / 10.0) * 10)),
                              QString::number(f.correction, 'f', 4)));
    lblAir_->setToolTip(
        QStringLiteral("Air density %1 kg/m³, dry-air pressure %2 hPa")
            .arg(QString::number(f.density, 'f', 4), QString::number(f.dryHpa, 'f', 1)));
}

QLineEdit* frmWeather::FieldOf(air::WeatherEntryField field) const {
    switch (field) {
        case air::WeatherEntryField::Temp:
            return txtTemp_;
        case air::WeatherEntryField::Moisture:
            return txtMoisture_;
        case air::WeatherEntryField::Baro:
            return txtBaro_;
        case air::WeatherEntryField::TrackTemp:
            return txtTrackTemp_;
        case air::WeatherEntryField::Time:
            return txtTime_;
        case air::WeatherEntryField::None:
            break;
    }
    return txtTemp_;
}

void frmWeather::cmdStore_Click() {
    const air::WeatherEntry entry = Entry();
    const air::WeatherEntryResult read = air::ReadWeatherEntry(entry, parts_.now());
    if (!read.Ok()) {
        ShowProblem(lblAir_, read.reason);
        QLineEdit* field = FieldOf(read.field);
        field->setFocus();
        field->selectAll();
        return;
    }
    air::SaveWeatherUnits(parts_.settings, entry.units);
    // The logbook may be busy for seconds (an import in another program): the dialog waits
    // for the answer with its events running.
    cmdStore_->setEnabled(false);
    lblAir_->setPalette(palette());
    lblAir_->setText(QStringLiteral("Storing…"));
    storing_ = parts_.store.Add(read.sample);
}

void frmWeather::Stored(std::uint64_t ticket, bool ok, const QString& error) {
    if (ticket != storing_) {
        return;  // a fetched sample, or one of an earlier dialog
    }
    storing_ = 0;
    cmdStore_->setEnabled(true);
    if (!ok) {
        ShowProblem(lblAir_, QStringLiteral("Not stored: ") + error);
        return;
    }
    accept();
}

bool frmWeather::KeepFetchSettings() {
    const QString text = txtPosition_->text().trimmed();
    const auto position = air::ParseTrackPosition(text);
    if (!text.isEmpty() && !position) {
        ShowProblem(lblFetch_, QStringLiteral("The position must be the latitude and the "
                                              "longitude in degrees: 41.4704, -88.1296."));
        return false;
    }
    const QString service = txtService_->text().trimmed();
    if (!service.isEmpty() &&
        air::CurrentConditionsUrl(service, position.value_or(air::TrackPosition{})).isEmpty()) {
        ShowProblem(lblFetch_, QStringLiteral("The service must be an http or https address "
                                              "with {lat} and {lon} where the position goes."));
        return false;
    }
    air::SaveTrackPosition(parts_.settings, parts_.venue, position);
    air::SaveWeatherServiceUrl(parts_.settings, service);
    lblFetch_->setPalette(palette());
    return true;
}

void frmWeather::cmdFetch_Click() {
    if (!KeepFetchSettings()) {
        return;
    }
    if (txtPosition_->text().trimmed().isEmpty()) {
        ShowProblem(lblFetch_, QStringLiteral("Type the track's position first."));
        txtPosition_->setFocus();
        return;
    }
    lblFetch_->setPalette(palette());
    lblFetch_->setText(QStringLiteral("Fetching…"));
    parts_.fetcher->FetchNow();
}

void frmWeather::Fetched(const std::optional<air::WeatherSample>& sample, const QString& reason) {
    if (!sample) {
        ShowProblem(lblFetch_, QStringLiteral("Nothing fetched: ") + reason);
        return;
    }
    const air::WeatherUnits units = Entry().units;
    const bool celsius = units.temp == air::TempUnit::Celsius;
    const bool hpa = units.baro == air::BaroUnit::Hpa;
    lblFetch_->setPalette(palette());
    lblFetch_->setText(
        QStringLiteral("Fetched: %1 %2, %3 % humidity, %4 %5 at %6.")
            .arg(QString::number(
                     celsius ? sample->tempC : air::FahrenheitFromCelsius(sample->tempC), 'f', 1),
                 air::UnitText(units.temp), QString::number(sample->humidity.value_or(0.0), 'f', 0),
                 QString::number(hpa ? sample->baroHpa : air::InHgFromHpa(sample->baroHpa), 'f',
                                 hpa ? 1 : 2),
                 air::UnitText(units.baro), sample->time.mid(11, 5)));
}

}  // namespace orvanrx
