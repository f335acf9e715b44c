#pragma once
// Safe saving: a file is written to a temporary file in the target's directory, every write and
// the close are checked, and only then is it renamed over the target. A save that fails at any
// point removes the temporary file at once, before its caller can show a box about it, and leaves
// the old target exactly as it was. The file that replaces the old one gets the old one's owner,
// group and mode: a save keeps a file its owner's, whoever saves it. Files a save makes new beside
// a document are given the document's owner and group through GiveOwnerOf.
//
// Renaming would get past what opening the target for writing checks, so the writer checks it
// itself: a target the user may not write, or one without any write bit (which would stop even
// a user who may write everything), is refused before anything is written. A symbolic link is
// followed to the file it names, which is replaced; the link stays as it is.
//
// A file the user may write but not replace (the folder is closed to them, or the system does
// not let them give a new file the old one's owner and group) is written in place instead. Its new
// content is held in memory until Commit, which first has the file system reserve the content's
// size in the file: where the space cannot be had (a full disk), the save fails and the file keeps
// every byte and its length. Only then is it overwritten from its start and cut to the new length,
// every write, the cut, the sync and the close checked. Such a save is not atomic: if the program
// or the machine stops while it writes, or the device fails once the space is held, the file is
// left part new.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct stat;

namespace kelvorn {

class SafeFileWriter
{
public:
    explicit SafeFileWriter(std::string targetPath);
    /// Removes the temporary file unless Commit succeeded.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Creates the temporary file, or opens the target itself where it cannot be replaced;
    /// false when the target may not be written or neither can be done.
    bool Open();
    /// Appends bytes (held in memory for a file written in place); a failure is remembered and
    /// makes Commit fail.
    bool Write(const void* bytes, size_t count);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    /// Flushes, closes and renames over the target, or writes the target in place; false on any
    /// failure, with the target untouched unless the device failed while it was written in place.
    bool Commit();

    bool Failed() const { return failed; }
    /// True when the target could not be opened for writing: Open failed, or the system refused
    /// the rename for lack of permission. False for a failure while writing (a full device).
    bool OpenFailed() const { return openFailed; }
    /// The system's reason for the first failure, for the caller to put behind its own words.
    const std::string& Reason() const { return reason; }
    const std::string& TargetPath() const { return target; }

    /// Test hook: a device that holds only this many more bytes, shared by every writer; a negative
    /// value switches it off. A temporary file fails once that many bytes have been written to it;
    /// a file written in place refuses the reservation when it grows by more than that.
    static void FailAfterBytes(int64_t bytes);

    enum class Step { CreateTemporary, Rename, WriteInPlace };
    /// Test hook: every later step of this kind fails with the system error code, as it would in
    /// a folder or on a file the user may not write, or (WriteInPlace) on a device that fails once
    /// the room is reserved; 0 switches it off.
    static void FailStep(Step step, int errorCode);

private:
    /// The temporary file beside the destination, owned and permitted as old is (the usual
    /// permissions without it); -1 with errno set, and nothing left, when either fails.
    int CreateTemporary(const struct stat* old);
    bool OpenInPlace();
    /// The writes go to fd from now on; false (fd closed) when it cannot take them.
    bool WriteThrough(int fd);
    /// Reserves the held content's size in the file written in place; false, with the file as it
    /// was, when the file system cannot hold it.
    bool ReserveInPlace();
    bool CommitInPlace();
    /// Remembers the first failure and discards the file at once (Discard).
    void Fail(int errorCode);
    void Fail(const std::string& why);
    /// Closes the file and removes the temporary file; a file written in place keeps what it
    /// got, which is all it had unless its writing had begun.
    void Discard();

    std::string target;
    /// The file that is replaced: the target, or the file its chain of links names.
    std::string destination;
    std::string temporary;
    std::FILE* file = nullptr;
    /// The target opened for writing in place, and the content it is to get.
    int inPlaceFile = -1;
    std::string held;
    bool failed = false;
    bool committed = false;
    bool openFailed = false;
    std::string reason;
};

/// Writes bytes to path safely; on failure returns false with the system's reason in reason.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& reason);

/// Gives made, a file or folder that a save has just created for the document model, model's
/// owner and group as far as the system allows: both for root, the group alone for a user who
/// belongs to it, else nothing (made stays as it was made). Nothing happens either when model
/// does not exist, or when made is no longer the plain file or folder the saver made (a link, a
/// file with a second name, someone else's), so that a name changed meanwhile hands no other
/// file away.
void GiveOwnerOf(const std::string& model, const std::string& made);

/// The files a save may make: taken before the save, it notes which do not exist yet, so that
/// only those get the document's owner and group after it; files that existed keep their own.
class NewFiles
{
public:
    explicit NewFiles(const std::vector<std::string>& paths);
    /// GiveOwnerOf(model, path) for every path that did not exist before the save.
    void GiveOwnerOf(const std::string& model) const;

private:
    std::vector<std::string> absent;
};

} // namespace kelvorn
