#include "platform/terminal.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace tz {

namespace {

std::string ReadLine() {
    std::string line;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

#ifdef _WIN32

bool InputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

QString AskHiddenLine(const QString& prompt) {
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    if (console) SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    QString line;
    if (console) {
        // Read as UTF-16, so that a password with accents arrives as typed.
        wchar_t buffer[512];
        DWORD read = 0;
        if (ReadConsoleW(input, buffer, 511, &read, nullptr)) {
            line = QString::fromWCharArray(buffer, static_cast<qsizetype>(read));
            while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
        }
        SetConsoleMode(input, mode);
    } else {
        line = QString::fromLocal8Bit(ReadLine());
    }
    std::fputs("\n", stderr);
    return line;
}

#else

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

QString AskHiddenLine(const QString& prompt) {
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    termios before{};
    const bool terminal = tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios hidden = before;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    const std::string line = ReadLine();
    if (terminal) tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    std::fputs("\n", stderr);
    return QString::fromLocal8Bit(line);
}

#endif

}  // namespace tz
