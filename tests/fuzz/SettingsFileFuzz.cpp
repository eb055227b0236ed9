// The settings file: the input is the whole INI file, read through the settings store as the
// programs read it at start-up (the venue, the last race's pointer, a view choice, the last
// log file) and then written to as at shut-down (the venue). Each store call opens and parses
// the file afresh, so the calls are kept few. Whatever the file holds:
//   - a read answers a non-empty text ("No Key Value" for anything unusable);
//   - a value written reads back as written, at once and from the file on disk;
//   - a write keeps the other values the file had that could be read, as they read. (A value
//     the store could not read, such as one under a malformed section "[\SOFTWARE]", may read
//     after a write: QSettings writes its keys back in their normal form.)

#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "FuzzSupport.h"
#include "racelog/ReceiveMemory.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvanrx;
    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("OrvanRX.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                   static_cast<qint64>(size));
    }
    const SettingsStore store(path);

    // Start-up.
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    LoadVenue(store, venue);
    LoadRunBlockPointer(store, buffer);
    const QString ovrUnd = store.QueryValue(kRaceLogFieldsKey, kOvrUndField);
    const QString logFile = store.QueryValue(kLogFileKey, kLogFileValue);
    FUZZ_CHECK(!ovrUnd.isEmpty() && !logFile.isEmpty());

    // Shut-down writes the venue; it reads back here, and from the file itself through a copy
    // under another name, which is read afresh from the disk, with the other values as they
    // were.
    SaveVenue(store, 7);
    FUZZ_CHECK(store.QueryValue(kProgramKey, kVenueValue) == QStringLiteral("7"));
    const QString copyPath = dir.filePath(QStringLiteral("copy.ini"));
    FUZZ_CHECK(QFile::copy(path, copyPath));
    const SettingsStore copy(copyPath);
    FUZZ_CHECK(copy.QueryValue(kProgramKey, kVenueValue) == QStringLiteral("7"));
    for (const auto& [key, name, before] :
         {std::tuple{QString(kRaceLogFieldsKey), QString(kOvrUndField), ovrUnd},
          std::tuple{QString(kLogFileKey), QString(kLogFileValue), logFile}}) {
        FUZZ_CHECK(before == kNoKeyValue || copy.QueryValue(key, name) == before);
    }
    return 0;
}
