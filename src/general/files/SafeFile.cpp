#include "general/files/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvorn {

namespace {
std::atomic<int64_t> bytesBeforeFailure{-1};

std::string DirectoryOf(const std::string& path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}
} // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target(std::move(targetPath)) {}

SafeFileWriter::~SafeFileWriter()
{
    if (file)
        std::fclose(file);
    if (!committed && !temporary.empty())
        ::unlink(temporary.c_str());
}

void SafeFileWriter::FailAfterBytes(int64_t bytes)
{
    bytesBeforeFailure.store(bytes < 0 ? -1 : bytes);
}

void SafeFileWriter::Fail(const std::string& why)
{
    if (!failed) {
        failed = true;
        reason = why;
    }
}

bool SafeFileWriter::Open()
{
    std::string name = target;
    auto slash = name.find_last_of('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    std::string pattern = DirectoryOf(target) + "/." + base + ".XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        Fail(std::strerror(errno));
        return false;
    }
    temporary = pattern;
    // mkstemp makes the file private; a saved document gets the usual permissions, or the
    // permissions of the file it replaces.
    struct stat old
    {
    };
    mode_t mode;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    file = ::fdopen(fd, "wb");
    if (!file) {
        Fail(std::strerror(errno));
        ::close(fd);
        return false;
    }
    return true;
}

bool SafeFileWriter::Write(const void* bytes, size_t count)
{
    if (failed || !file)
        return false;
    int64_t allowed = bytesBeforeFailure.load();
    if (allowed >= 0) {
        if (static_cast<int64_t>(count) > allowed) {
            std::fwrite(bytes, 1, static_cast<size_t>(allowed), file);
            bytesBeforeFailure.store(0);
            Fail(std::strerror(ENOSPC));
            return false;
        }
        bytesBeforeFailure.store(allowed - static_cast<int64_t>(count));
    }
    if (std::fwrite(bytes, 1, count, file) != count) {
        Fail(std::strerror(errno ? errno : EIO));
        return false;
    }
    return true;
}

bool SafeFileWriter::Commit()
{
    if (!file) {
        Fail("the file was not opened");
        return false;
    }
    bool ok = !failed;
    if (ok && std::fflush(file) != 0) {
        Fail(std::strerror(errno));
        ok = false;
    }
    if (ok && ::fsync(::fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
        Fail(std::strerror(errno));
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        Fail(std::strerror(errno));
        ok = false;
    }
    file = nullptr;
    if (!ok)
        return false;
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        Fail(std::strerror(errno));
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

} // namespace kelvorn
