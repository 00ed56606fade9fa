#pragma once
// The registration folder as a whole class shares it: the user folders R/U held open by their
// descriptors and locked while a copy changes, and the permissions every registered copy takes
// from R rather than from the registering student's umask.
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include "platform/FolderListing.h"

namespace quilvane {

// The permissions registered copies take from R: files readable and folders searchable by R's
// group (and by others where R is), writable by their owner only, and R's set-group-ID bit on
// every folder so that R's group is carried down.
struct ClassModes {
    mode_t folder = 0700;
    mode_t file = 0600;
    mode_t executable = 0700; // for files the student could execute
};

ClassModes ClassModesOf(mode_t registrationFolderMode);

// The login name of `uid` for messages, or its number when it has none.
std::string UserNameOf(uid_t uid);

// Gives the folder open as `fd` (just opened: it is listed from where it stands) and everything
// below it the class's modes. Only the copy being
// made is walked, which nobody else can write into; links are never followed.
void ApplyClassModes(int fd, const ClassModes& modes);

enum class UserFolderState {
    Ready,
    IsLink,     // a symbolic link stands at R/U: never followed
    NotAFolder, // something else stands there, or it cannot be made or opened
    OtherOwner, // R/U belongs to another Unix user
};

// R/U held open and locked for one registration: registrations into one user folder take
// turns, across processes and, where the file system supports locks, across machines. The lock
// is a file in R/U that is removed again when the registration ends.
class UserFolder {
public:
    UserFolder() = default;
    ~UserFolder();
    UserFolder(UserFolder&&) = default;
    UserFolder& operator=(UserFolder&&) = delete;
    UserFolder(const UserFolder&) = delete;
    UserFolder& operator=(const UserFolder&) = delete;

    // Opens (making it when missing) the user folder `diskName` of R, open as `registration`
    // with status `registrationStatus`, and waits for its lock.
    static UserFolder Open(int registration, const struct stat& registrationStatus,
                           const std::string& diskName);

    UserFolderState State() const { return state_; }
    // The owner's user name, when OtherOwner.
    const std::string& OwnerName() const { return ownerName_; }
    int Descriptor() const { return fd_.Get(); }
    // A path that reaches the open folder itself, whatever is put at its name meanwhile.
    std::string Path() const;

private:
    void Lock();

    UserFolderState state_ = UserFolderState::NotAFolder;
    std::string ownerName_;
    UniqueFd fd_;
    UniqueFd lock_;
};

} // namespace quilvane
