#pragma once
// Other programs in tests on Windows: this test program started again on a hidden test, with
// its own environment, ended by TerminateProcess (what the task manager and a power cut leave
// behind) or waited for. Running as another account is POSIX only.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <map>
#include <memory>
#include <string>

namespace tz::test {

class ChildProcess {
  public:
    // Runs the hidden test `test` (a DISABLED_ one) of this program with `variables` added to
    // the environment; its output goes to the file `output` (appended).
    ChildProcess(const std::string& test, const std::map<std::string, std::string>& variables,
                 const std::string& output = "/dev/null") {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : variables) {
            environment.insert(QString::fromStdString(name), QString::fromStdString(value));
        }
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        if (output == "/dev/null") {
            process_.setStandardOutputFile(QProcess::nullDevice());
        } else {
            process_.setStandardOutputFile(QString::fromStdString(output), QIODevice::Append);
        }
        process_.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--gtest_filter=") + QString::fromStdString(test),
                        QStringLiteral("--gtest_also_run_disabled_tests")});
        started_ = process_.waitForStarted(30000);
    }
    ~ChildProcess() {
        if (started_ && process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(-1);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started_; }
    void Kill() { process_.kill(); }
    // The exit code.
    int Wait() {
        if (started_) process_.waitForFinished(-1);
        return process_.exitCode();
    }
    bool ExitedWithZero() {
        Wait();
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    bool Killed() {
        Wait();
        return process_.exitStatus() == QProcess::CrashExit;
    }

  private:
    QProcess process_;
    bool started_ = false;
};

// Waits up to `milliseconds` for a file to appear.
inline bool WaitForFile(const QString& path, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 5) {
        if (QFileInfo::exists(path)) return true;
        QThread::msleep(5);
    }
    return QFileInfo::exists(path);
}

}  // namespace tz::test
