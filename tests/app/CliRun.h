#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "settings/TestFiles.h"

namespace orvanrx::testing {

// Runs the built orvanrx-cli with its settings and data folders inside a temporary folder, so
// no test sees the user's own settings, race logs or logbook.
class CliFixture : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Started and left running; the fixture owns it and kills it if the test forgets.
    QProcess* Start(const QStringList& args) {
        auto* process = processes.emplace_back(std::make_unique<QProcess>()).get();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Path("data"));
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(ORVANRX_CLI_PATH), args);
        return process;
    }
    Result Finish(QProcess* process) {
        EXPECT_TRUE(process->waitForFinished(60000));
        return {process->exitCode(), QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
    }
    Result Run(const QStringList& args) { return Finish(Start(args)); }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    bool Write(const QString& path, const QByteArray& bytes) { return WriteBytes(path, bytes); }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};

}  // namespace orvanrx::testing
