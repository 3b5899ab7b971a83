#pragma once
// Other programs in tests: this test program started again on a hidden test, with its own
// environment, killed or waited for like any process.

#ifdef _WIN32
#include "child_process_windows.h"
#else

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace tz::test {

// Another account to run a child as (root only): a user and her group, with the umask most
// systems give their users.
struct Account {
    uid_t uid = 0;
    gid_t gid = 0;
};

// This test program where any account may run it: the build folder may lie in a folder only
// its owner may enter (a clone made in `mktemp -d`). Copied once under /tmp, gone at exit;
// empty, with `why` saying so, when it cannot be.
inline std::string ReachableCopyOfThisProgram(std::string* why) {
    static std::string copy;
    static std::string failure;
    static char folder[] = "/tmp/tipenzo10-pruebas-XXXXXX";
    if (copy.empty() && failure.empty()) {
        const bool made = ::mkdtemp(folder) && ::chmod(folder, 0755) == 0;
        const std::string target = std::string(folder) + "/programa";
        std::error_code error;
        if (!made) {
            failure = std::string("no se pudo crear una carpeta en /tmp: ") + std::strerror(errno);
        } else if (!std::filesystem::copy_file("/proc/self/exe", target, error) ||
                   ::chmod(target.c_str(), 0755) != 0) {
            failure =
                "no se pudo copiar el programa de pruebas a " + target + ": " + error.message();
        } else {
            copy = target;
        }
        std::atexit([] { std::filesystem::remove_all(folder); });
    }
    *why = failure;
    return copy;
}

class ChildProcess {
  public:
    // Runs the hidden test `test` (a DISABLED_ one) of this program with `variables` added to
    // the environment; its output goes to the file `output` (appended). With an account, the
    // child runs as that account.
    ChildProcess(const std::string& test, const std::map<std::string, std::string>& variables,
                 const std::string& output = "/dev/null", const Account* account = nullptr) {
        char link[4096];
        const ssize_t length = ::readlink("/proc/self/exe", link, sizeof link - 1);
        if (length <= 0) return;
        link[length] = '\0';
        const std::string self = account ? ReachableCopyOfThisProgram(&why_) : link;
        if (self.empty()) return;
        std::vector<std::string> arguments{self, "--gtest_filter=" + test,
                                           "--gtest_also_run_disabled_tests"};
        std::vector<std::string> environment;
        for (const auto& [name, value] : variables) environment.push_back(name + "=" + value);
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            if (!variables.count(name)) environment.push_back(entry);
        }
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (account) {
            RunAs(*account, self.c_str(), argv.data(), envp.data(), output);
            return;
        }
        posix_spawn_file_actions_t redirect;
        posix_spawn_file_actions_init(&redirect);
        posix_spawn_file_actions_addopen(&redirect, 1, output.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&redirect, 1, 2);
        if (posix_spawn(&pid_, self.c_str(), &redirect, nullptr, argv.data(), envp.data()) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&redirect);
    }
    ~ChildProcess() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Why a child of another account could not start, when that is known.
    const std::string& WhyNot() const { return why_; }
    void Kill() { ::kill(pid_, SIGKILL); }
    // The exit status as waitpid gives it.
    int Wait() {
        if (pid_ <= 0 || waited_) return status_;
        ::waitpid(pid_, &status_, 0);
        waited_ = true;
        return status_;
    }
    bool ExitedWithZero() { return WIFEXITED(Wait()) && WEXITSTATUS(Wait()) == 0; }
    bool Killed() { return WIFSIGNALED(Wait()) && WTERMSIG(Wait()) == SIGKILL; }

  private:
    // Between fork and exec only calls that are safe in a child of a threaded program.
    void RunAs(const Account& account, const char* self, char* const* argv, char* const* envp,
               const std::string& output) {
        pid_ = ::fork();
        if (pid_ != 0) {
            if (pid_ < 0) pid_ = 0;
            return;
        }
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::umask(022);
        if (::setgroups(1, &account.gid) != 0 || ::setgid(account.gid) != 0 ||
            ::setuid(account.uid) != 0) {
            ::_exit(126);
        }
        ::execve(self, argv, envp);
        ::_exit(127);
    }

    pid_t pid_ = 0;
    std::string why_;
    int status_ = 0;
    bool waited_ = false;
};

}  // namespace tz::test

#endif

#include <QFileInfo>
#include <QString>
#include <QThread>

namespace tz::test {

// Waits up to `milliseconds` for a file to appear.
inline bool WaitForFile(const QString& path, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 5) {
        if (QFileInfo::exists(path)) return true;
        QThread::msleep(5);
    }
    return QFileInfo::exists(path);
}

}  // namespace tz::test
