#pragma once
// Other programs in tests on Windows: this test program started again on a hidden test, with
// its own environment, ended by TerminateProcess (what the task manager and a power cut leave
// behind) or waited for. Running as another account is POSIX only.

#include <windows.h>

#include <QFileInfo>
#include <QString>
#include <QThread>
#include <QtGlobal>
#include <map>
#include <string>
#include <vector>

namespace tz::test {

class ChildProcess {
  public:
    // The exit code a killed program ends with.
    static constexpr UINT kKilled = 0xDEAD;

    // Runs the hidden test `test` (a DISABLED_ one) of this program with `variables` added to
    // the environment; its output goes to the file `output` (appended).
    ChildProcess(const std::string& test, const std::map<std::string, std::string>& variables,
                 const std::string& output = "/dev/null") {
        wchar_t self[MAX_PATH] = {};
        if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return;
        std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=" +
                               QString::fromStdString(test).toStdWString() +
                               L" --gtest_also_run_disabled_tests";
        // The child inherits our environment with the variables set for the moment of its start.
        std::map<std::wstring, std::wstring> before;
        for (const auto& [name, value] : variables) {
            const std::wstring wide = QString::fromStdString(name).toStdWString();
            before[wide] = qEnvironmentVariable(name.c_str()).toStdWString();
            SetEnvironmentVariableW(wide.c_str(),
                                    QString::fromStdString(value).toStdWString().c_str());
        }
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const std::wstring file =
            output == "/dev/null" ? L"NUL" : QString::fromStdString(output).toStdWString();
        HANDLE out = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = INVALID_HANDLE_VALUE;
        startup.hStdOutput = out;
        startup.hStdError = out;
        PROCESS_INFORMATION started{};
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(L'\0');
        if (CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &started)) {
            process_ = started.hProcess;
            CloseHandle(started.hThread);
        }
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        for (const auto& [name, value] : before)
            SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
    ~ChildProcess() {
        if (!process_) return;
        if (!waited_) {
            Kill();
            Wait();
        }
        CloseHandle(process_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    void Kill() {
        if (process_) TerminateProcess(process_, kKilled);
    }
    // The exit code.
    int Wait() {
        if (!process_) return -1;
        if (!waited_) {
            WaitForSingleObject(process_, INFINITE);
            GetExitCodeProcess(process_, &code_);
            waited_ = true;
        }
        return static_cast<int>(code_);
    }
    bool ExitedWithZero() { return Wait() == 0; }
    bool Killed() { return static_cast<UINT>(Wait()) == kKilled; }

  private:
    HANDLE process_ = nullptr;
    DWORD code_ = 0;
    bool waited_ = false;
};

}  // namespace tz::test
