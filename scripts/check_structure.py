#!/usr/bin/env python3
"""Checks the shape of the code that the compiler does not:

1. Libraries include and link only libraries below them: app over content and update, over
   exercise and users, over platform. Libraries on one floor do not use each other.
2. No mutable variable at namespace scope and no mutable function-local static outside the
   platform layer: what the program shares lives in its state object (needs Universal Ctags).
3. No function or variable named like a macro of the Windows headers (MessageBox, DeleteFile...),
   which would be renamed behind our back the moment a file includes <windows.h>.
4. No file includes another in a circle: what a file builds on never builds on it.

Prints what breaks a rule and exits with 1 when anything does.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
FLOORS = {"platform": 0, "users": 1, "exercise": 1, "content": 2, "update": 2, "app": 3}
WINDOWS_MACROS = [
    "MessageBox", "DeleteFile", "CopyFile", "ReplaceFile", "MoveFile", "CreateFile",
    "CreateDirectory", "RemoveDirectory", "DrawText", "GetMessage", "PostMessage",
    "SendMessage", "LoadString", "GetObject", "CreateFont", "CreateWindow", "FindWindow",
    "LoadIcon", "LoadImage", "LoadBitmap", "TextOut", "CreateEvent", "GetCommandLine",
    "FormatMessage", "GetFileAttributes", "SetWindowText", "GetWindowText", "GetUserName",
    "LoadCursor", "CreateDialog", "DialogBox", "GetClassName", "RegisterClass", "CreateMutex",
    "GetTempFileName", "GetModuleFileName", "CreateProcess", "ShellExecute", "GetTextMetrics",
    "CharUpper", "CharLower", "CompareString", "GetCurrentDirectory", "SetCurrentDirectory",
]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def sources():
    for folder in FLOORS:
        base = os.path.join(ROOT, folder)
        for name in sorted(os.listdir(base)):
            if name.endswith((".cpp", ".h")):
                yield folder, os.path.join(base, name)


def check_includes():
    problems = []
    for folder, path in sources():
        text = open(path, encoding="utf-8").read()
        for target in INCLUDE.findall(text):
            if target not in FLOORS or target == folder:
                continue
            if FLOORS[target] >= FLOORS[folder]:
                problems.append(f"{os.path.relpath(path, ROOT)} includes {target}/, which is not "
                                f"below {folder}/")
    return problems


LIBRARY = re.compile(r"^\s*tipenzo_library\(\s*tz_(\w+)([^)]*)\)", re.M)


def check_links():
    problems = []
    for folder in FLOORS:
        text = open(os.path.join(ROOT, folder, "CMakeLists.txt"), encoding="utf-8").read()
        for name, linked in LIBRARY.findall(text):
            for target in re.findall(r"\btz_(\w+)", linked):
                if target in FLOORS and FLOORS[target] >= FLOORS[name]:
                    problems.append(f"{folder}/CMakeLists.txt links tz_{target}, which is not "
                                    f"below {name}/")
    return problems


def check_variables():
    folders = [f for f in FLOORS if f != "platform"]
    try:
        out = subprocess.run(
            ["ctags", "-R", "--languages=C++", "--kinds-C++=vl", "--fields-C++=+{properties}",
             "-x", "--_xformat=%K|%N|%F|%n|%{C++.properties}"] + folders,
            cwd=ROOT, capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError) as error:
        return [f"Universal Ctags is needed to look for shared variables: {error}"]
    problems = []
    for line in out.splitlines():
        kind, name, path, number, properties = line.split("|")
        if kind == "local" and "static" not in properties:
            continue
        source = open(os.path.join(ROOT, path), encoding="utf-8").read().splitlines()
        declaration = source[int(number) - 1]
        # The declaration up to the name says whether it can change.
        head = declaration[:declaration.find(name)] if name in declaration else declaration
        if re.search(r"\b(const|constexpr)\b", head):
            continue
        where = "function-local static" if kind == "local" else "namespace-scope variable"
        problems.append(f"{path}:{number}: mutable {where} '{name}'")
    return problems


FILE_INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+/[^"]+)"', re.M)


def check_include_circles():
    graph = {}
    for _, path in sources():
        name = os.path.relpath(path, ROOT)
        text = open(path, encoding="utf-8").read()
        graph[name] = [target for target in FILE_INCLUDE.findall(text) if target != name]
    problems = []
    state = {}

    def visit(name, trail):
        state[name] = "open"
        for target in graph.get(name, []):
            if target not in graph:
                continue
            if state.get(target) == "open":
                circle = trail[trail.index(target):] + [target]
                problems.append("include circle: " + " -> ".join(circle))
            elif target not in state:
                visit(target, trail + [target])
        state[name] = "done"

    for name in sorted(graph):
        if name not in state:
            visit(name, [name])
    return problems


def check_names():
    problems = []
    pattern = re.compile(r"\b(" + "|".join(WINDOWS_MACROS) + r")\s*\(")
    for folder, path in sources():
        for number, line in enumerate(open(path, encoding="utf-8"), 1):
            code = line.split("//")[0]
            for match in pattern.finditer(code):
                if code[:match.start()].endswith(("::", ".", "->", "Q")):
                    continue
                problems.append(f"{os.path.relpath(path, ROOT)}:{number}: '{match.group(1)}' is a "
                                "macro of the Windows headers")
    return problems


def main():
    problems = (check_includes() + check_links() + check_variables() + check_names() +
                check_include_circles())
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problems in the shape of the code")
        return 1
    print("the libraries depend one way, share no mutable variables, use no Windows macro "
          "names, and no file includes another in a circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
