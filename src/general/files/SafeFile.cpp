#include "general/files/SafeFile.h"

#include "general/files/Links.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelvorn {

namespace {
std::atomic<int64_t> bytesBeforeFailure{-1};
std::atomic<int> createTemporaryError{0};
std::atomic<int> renameError{0};
std::atomic<int> writeInPlaceError{0};

std::string DirectoryOf(const std::string& path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool LacksPermission(int errorCode)
{
    return errorCode == EACCES || errorCode == EPERM || errorCode == EROFS;
}

// The test hook's device: false when it cannot hold count more bytes; else it holds them.
bool HookHolds(int64_t count)
{
    const int64_t allowed = bytesBeforeFailure.load();
    if (allowed < 0)
        return true;
    if (count > allowed)
        return false;
    bytesBeforeFailure.store(allowed - count);
    return true;
}

// True, with errno set, when a test asked this step to fail.
bool Injected(const std::atomic<int>& error)
{
    const int code = error.load();
    if (code != 0)
        errno = code;
    return code != 0;
}
} // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target(std::move(targetPath)) {}

SafeFileWriter::~SafeFileWriter()
{
    if (file)
        std::fclose(file);
    if (inPlaceFile >= 0)
        ::close(inPlaceFile);
    if (!committed && !temporary.empty())
        ::unlink(temporary.c_str());
}

void SafeFileWriter::FailAfterBytes(int64_t bytes)
{
    bytesBeforeFailure.store(bytes < 0 ? -1 : bytes);
}

void SafeFileWriter::FailStep(Step step, int errorCode)
{
    switch (step) {
    case Step::CreateTemporary:
        createTemporaryError.store(errorCode);
        break;
    case Step::Rename:
        renameError.store(errorCode);
        break;
    case Step::WriteInPlace:
        writeInPlaceError.store(errorCode);
        break;
    }
}

void SafeFileWriter::Fail(int errorCode)
{
    Fail(std::string(std::strerror(errorCode)));
}

void SafeFileWriter::Fail(const std::string& why)
{
    if (!failed) {
        failed = true;
        reason = why;
    }
    Discard();
}

void SafeFileWriter::Discard()
{
    // The caller's box comes after the failure, and the program may end while it is open: no
    // half-written temporary file may outlive the failure itself.
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (inPlaceFile >= 0) {
        ::close(inPlaceFile);
        inPlaceFile = -1;
    }
    std::string().swap(held);
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

bool SafeFileWriter::Open()
{
    // Every way out below but the last is a failure to open the target for writing.
    openFailed = true;
    if (!FollowLinks(target, destination)) {
        Fail(errno);
        return false;
    }
    struct stat old
    {
    };
    const bool replacing = ::stat(destination.c_str(), &old) == 0;
    if (replacing && ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                      ::faccessat(AT_FDCWD, destination.c_str(), W_OK, AT_EACCESS) != 0)) {
        Fail(EACCES);
        return false;
    }
    const int fd = CreateTemporary(replacing ? &old : nullptr);
    if (fd < 0) {
        // The user may write this file but not replace it: in a folder closed to them, or where
        // the system would not let them give a new file the old one's owner and group.
        if (replacing && S_ISREG(old.st_mode) && LacksPermission(errno))
            return OpenInPlace();
        Fail(errno);
        return false;
    }
    return WriteThrough(fd);
}

bool SafeFileWriter::WriteThrough(int fd)
{
    file = ::fdopen(fd, "wb");
    if (!file) {
        Fail(errno);
        ::close(fd);
        return false;
    }
    openFailed = false;
    return true;
}

int SafeFileWriter::CreateTemporary(const struct stat* old)
{
    auto slash = destination.find_last_of('/');
    std::string base = slash == std::string::npos ? destination : destination.substr(slash + 1);
    std::string pattern = DirectoryOf(destination) + "/." + base + ".XXXXXX";
    const int fd = Injected(createTemporaryError) ? -1 : ::mkstemp(pattern.data());
    if (fd < 0)
        return -1;
    temporary = pattern;
    if (!old) {
        // mkstemp makes the file private; a new document gets the usual permissions.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return fd;
    }
    // The file that takes the old one's place is the old owner's, as the old one was. The owner
    // goes first: changing it clears the set-user-ID and set-group-ID bits the mode brings back.
    struct stat made
    {
    };
    const bool kept = ::fstat(fd, &made) == 0 &&
                      ((made.st_uid == old->st_uid && made.st_gid == old->st_gid) ||
                       ::fchown(fd, old->st_uid, old->st_gid) == 0) &&
                      ::fchmod(fd, old->st_mode & 07777) == 0;
    if (kept)
        return fd;
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    temporary.clear();
    errno = error;
    return -1;
}

bool SafeFileWriter::OpenInPlace()
{
    // Nothing reaches the file before Commit. Where the file system cannot reserve space itself,
    // the C library reserves it block by block and reads each block first to keep its bytes, so
    // the file is opened for reading too where the user may read it.
    int fd = ::open(destination.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = ::open(destination.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
        return false;
    }
    inPlaceFile = fd;
    openFailed = false;
    return true;
}

bool SafeFileWriter::Write(const void* bytes, size_t count)
{
    if (failed)
        return false;
    if (inPlaceFile >= 0) {
        try {
            held.append(static_cast<const char*>(bytes), count);
        } catch (const std::exception&) {
            Fail(ENOMEM);
            return false;
        }
        return true;
    }
    if (!file)
        return false;
    int64_t allowed = bytesBeforeFailure.load();
    if (allowed >= 0) {
        if (static_cast<int64_t>(count) > allowed) {
            std::fwrite(bytes, 1, static_cast<size_t>(allowed), file);
            bytesBeforeFailure.store(0);
            Fail(ENOSPC);
            return false;
        }
        bytesBeforeFailure.store(allowed - static_cast<int64_t>(count));
    }
    if (std::fwrite(bytes, 1, count, file) != count) {
        Fail(errno ? errno : EIO);
        return false;
    }
    return true;
}

bool SafeFileWriter::ReserveInPlace()
{
    struct stat old
    {
    };
    if (::fstat(inPlaceFile, &old) != 0) {
        Fail(errno);
        return false;
    }
    const off_t size = static_cast<off_t>(held.size());
    // Only what the file grows by takes new room on the device.
    int error = HookHolds(size > old.st_size ? size - old.st_size : 0) ? 0 : ENOSPC;
    if (error == 0 && size > 0) {
        do
            error = ::posix_fallocate(inPlaceFile, 0, size);
        while (error == EINTR);
    }
    if (error == 0)
        return true;
    // A file system that found part of the room may have lengthened the file by it.
    struct stat now
    {
    };
    if (::fstat(inPlaceFile, &now) == 0 && now.st_size != old.st_size)
        static_cast<void>(::ftruncate(inPlaceFile, old.st_size));
    Fail(error);
    return false;
}

bool SafeFileWriter::CommitInPlace()
{
    if (!ReserveInPlace())
        return false;
    for (size_t done = 0; done < held.size();) {
        const ssize_t wrote = Injected(writeInPlaceError)
                                  ? -1
                                  : ::pwrite(inPlaceFile, held.data() + done, held.size() - done,
                                             static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            Fail(wrote < 0 ? errno : EIO);
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    if (::ftruncate(inPlaceFile, static_cast<off_t>(held.size())) != 0 ||
        (::fsync(inPlaceFile) != 0 && errno != EINVAL && errno != EROFS) ||
        ::close(std::exchange(inPlaceFile, -1)) != 0) {
        Fail(errno);
        return false;
    }
    std::string().swap(held);
    committed = true;
    return true;
}

bool SafeFileWriter::Commit()
{
    if (inPlaceFile >= 0)
        return CommitInPlace();
    // After a failure the file is closed already.
    if (!file) {
        Fail("the file was not opened");
        return false;
    }
    if (std::fflush(file) != 0) {
        Fail(errno);
        return false;
    }
    if (::fsync(::fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
        Fail(errno);
        return false;
    }
    if (std::fclose(std::exchange(file, nullptr)) != 0) {
        Fail(errno);
        return false;
    }
    if (Injected(renameError) || std::rename(temporary.c_str(), destination.c_str()) != 0) {
        // A rename the system refuses means the target could not be opened for writing after
        // all (a folder that protects its entries, for one); anything else is a write failure.
        openFailed = LacksPermission(errno);
        Fail(errno);
        return false;
    }
    committed = true;
    return true;
}

bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& reason)
{
    SafeFileWriter writer(path);
    if (!writer.Open() || !writer.Write(bytes) || !writer.Commit()) {
        reason = writer.Reason();
        return false;
    }
    return true;
}

void GiveOwnerOf(const std::string& model, const std::string& made)
{
    struct stat owner
    {
    };
    if (::stat(model.c_str(), &owner) != 0)
        return;
    // Held open from the check to the change: the name may be pointed elsewhere in between.
    const int fd = ::open(made.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info
    {
    };
    const bool savers = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() &&
                        (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && info.st_nlink == 1));
    if (savers && (info.st_uid != owner.st_uid || info.st_gid != owner.st_gid)) {
        // Root may give both; a user may give only a group of their own. Where neither is
        // allowed, made stays as it was made: the save itself has succeeded.
        const bool given =
            ::fchownat(fd, "", owner.st_uid, owner.st_gid, AT_EMPTY_PATH) == 0 ||
            ::fchownat(fd, "", static_cast<uid_t>(-1), owner.st_gid, AT_EMPTY_PATH) == 0;
        static_cast<void>(given);
    }
    ::close(fd);
}

NewFiles::NewFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        struct stat info
        {
        };
        if (::lstat(path.c_str(), &info) != 0)
            absent.push_back(path);
    }
}

void NewFiles::GiveOwnerOf(const std::string& model) const
{
    for (const std::string& path : absent)
        kelvorn::GiveOwnerOf(model, path);
}

} // namespace kelvorn
