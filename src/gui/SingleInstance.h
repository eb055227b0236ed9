#pragma once

#include <QLockFile>
#include <QString>

namespace orvanrx {

// One running OrvanRX per user: a lock file in the user's runtime folder, held for the
// program's life. A lock left behind by a copy that died is taken over.
class SingleInstance {
public:
    // The lock file in `folder` (by default the user's runtime folder).
    explicit SingleInstance(const QString& folder = {});

    // True when this is the only copy (the lock is now held).
    bool Acquire();
    const QString& Path() const { return path_; }

private:
    QString path_;
    QLockFile lock_;
};

class TerminationSignals;

// "A previous instance of OrvanRX has been detected." with OK and Cancel; either ends the copy,
// and so does a termination signal while the message is up.
void ShowPreviousInstanceMessage(TerminationSignals& termination);

}  // namespace orvanrx
