// Folder handles on Windows: the folder held open without sharing deletion, so that nobody can
// rename, remove or replace it while the handle lives, and the files in it reached by their
// paths. A folder takes its permissions from the one it stands in, so nothing is changed there.

#ifdef _WIN32

#include <windows.h>

#include <aclapi.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "platform/folder_handle.h"

namespace tz {

namespace {

// 100-nanosecond steps of a FILETIME in a second.
constexpr qint64 kFileTimeSecond = 10000000;

const wchar_t* Wide(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

HANDLE Handle(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool IsBareName(const QString& name) {
    return !name.isEmpty() && name != u'.' && name != QStringLiteral("..") &&
           !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':') &&
           !name.contains(QChar(0));
}

// Holds the folder: reading and listing may be shared, deleting (and so renaming) may not.
HANDLE OpenFolder(const QString& path, DWORD flags) {
    return CreateFileW(Wide(QDir::toNativeSeparators(path)), FILE_LIST_DIRECTORY | READ_CONTROL,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// The SID a token holds for `kind` (TokenUser or TokenOwner), in `buffer`.
PSID TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, QByteArray& buffer) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) return nullptr;
    buffer.resize(static_cast<qsizetype>(size));
    if (!GetTokenInformation(token, kind, buffer.data(), size, &size)) return nullptr;
    // TOKEN_USER and TOKEN_OWNER both begin with the SID's pointer.
    return kind == TokenUser ? reinterpret_cast<const TOKEN_USER*>(buffer.constData())->User.Sid
                             : reinterpret_cast<const TOKEN_OWNER*>(buffer.constData())->Owner;
}

// Whether the object of `handle` belongs to this account: to its user, or to the owner its new
// objects are given (an elevated administrator's are the Administrators group's; Wine gives a
// new folder the user even where it names another default owner).
bool OwnedByThisAccount(HANDLE handle) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool same = false;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        for (const TOKEN_INFORMATION_CLASS kind : {TokenUser, TokenOwner}) {
            QByteArray buffer;
            const PSID ours = TokenSid(token, kind, buffer);
            same = same || (ours && EqualSid(owner, ours));
        }
        CloseHandle(token);
    }
    LocalFree(descriptor);
    return same;
}

bool IsPlainFolder(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

qint64 SecondsOf(const FILETIME& time) {
    const quint64 steps = (static_cast<quint64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<qint64>(steps / kFileTimeSecond);
}

}  // namespace

std::unique_ptr<FolderHandle> FolderHandle::OpenAsNamed(const QString& folder) {
    const HANDLE handle = OpenFolder(folder, 0);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<FolderHandle>(
        new FolderHandle(folder, reinterpret_cast<qintptr>(handle)));
}

std::unique_ptr<FolderHandle> FolderHandle::Open(const QString& parent, const QString& name,
                                                 Make make) {
    if (!IsBareName(name)) return nullptr;
    // The parent is held too, so that it stays where it is until the folder is held.
    const std::unique_ptr<FolderHandle> outer = OpenAsNamed(parent);
    if (!outer) return nullptr;
    const QString path = QDir(parent).filePath(name);
    bool made = false;
    if (make == Make::IfMissing) {
        made = CreateDirectoryW(Wide(QDir::toNativeSeparators(path)), nullptr) != FALSE;
        if (!made && GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
        FolderStep(path);
    }
    // A link or junction under the name is opened as itself, and refused.
    const HANDLE handle = OpenFolder(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    std::unique_ptr<FolderHandle> folder(new FolderHandle(path, reinterpret_cast<qintptr>(handle)));
    FolderStep(path);
    if (!IsPlainFolder(handle)) return nullptr;
    // A folder made a moment ago that is not this account's was put there by someone else.
    if (made && !OwnedByThisAccount(handle)) return nullptr;
    return folder;
}

FolderHandle::~FolderHandle() {
    CloseHandle(Handle(handle_));
}

EntryKind FolderHandle::Kind(const QString& name) const {
    FolderStep(path_);
    if (!IsBareName(name)) return EntryKind::Missing;
    const DWORD attributes =
        GetFileAttributesW(Wide(QDir::toNativeSeparators(QDir(path_).filePath(name))));
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::Missing;
    return attributes &
                   (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)
               ? EntryKind::Other
               : EntryKind::File;
}

FileRead FolderHandle::Read(const QString& name, qint64 cap) const {
    if (!IsBareName(name)) return {ReadOutcome::Missing, {}};
    FolderStep(path_);
    return ReadRegularFile(QDir(path_).filePath(name), cap);
}

bool FolderHandle::Replace(const QString& name, const QByteArray& bytes) const {
    if (!IsBareName(name)) return false;
    FolderStep(path_);
    return ReplaceFileWith(QDir(path_).filePath(name), bytes);
}

bool FolderHandle::MoveTo(const QString& name, const FolderHandle& target,
                          const QString& newName) const {
    if (!IsBareName(name) || !IsBareName(newName)) return false;
    FolderStep(path_);
    return MoveReplacing(QDir(path_).filePath(name), QDir(target.path_).filePath(newName));
}

bool FolderHandle::Remove(const QString& name) const {
    if (!IsBareName(name)) return false;
    FolderStep(path_);
    // A link goes as itself; a folder is never deleted as a file.
    return DeleteFileW(Wide(QDir::toNativeSeparators(QDir(path_).filePath(name)))) != FALSE;
}

QStringList FolderHandle::Files(const QString& wildcard) const {
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(wildcard),
                                     QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(
        Wide(QDir::toNativeSeparators(QDir(path_).filePath(QStringLiteral("*")))), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        const DWORD notFiles =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
        if (!(found.dwFileAttributes & notFiles) && pattern.match(name).hasMatch()) names << name;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

int FolderHandle::RemoveStaleTemporaries(qint64 olderThanSeconds) const {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const qint64 before = SecondsOf(now) - olderThanSeconds;
    int removed = 0;
    for (const QString& name : Files(QStringLiteral("*.tmp"))) {
        if (!IsReplacementTemporary(name)) continue;
        const QString path = QDir::toNativeSeparators(QDir(path_).filePath(name));
        const HANDLE file =
            CreateFileW(Wide(path), READ_CONTROL | FILE_READ_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        BY_HANDLE_FILE_INFORMATION info;
        const bool stale =
            GetFileInformationByHandle(file, &info) &&
            !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            SecondsOf(info.ftLastWriteTime) <= before && OwnedByThisAccount(file);
        CloseHandle(file);
        if (stale && DeleteFileW(Wide(path))) ++removed;
    }
    return removed;
}

}  // namespace tz

#endif
