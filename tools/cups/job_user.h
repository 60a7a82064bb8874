#pragma once
// The user who printed the job. CUPS runs the backend as root; everything
// of that user's is touched only after the process has become that user.

#include "platform/result.h"

#include <string>
#include <sys/types.h>

namespace korva::cups {

struct JobUser {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home;
};

// The user's passwd entry; fails for a user the system does not know.
[[nodiscard]] Result<JobUser> findJobUser(const std::string& name);

// Becomes the user for good: the user's groups, group and user id, with no
// way back to root. A process that is not root can only carry on as itself.
[[nodiscard]] Result<void> becomeJobUser(const JobUser& user);

// HOME, USER and LOGNAME from the passwd entry; the XDG base folders and
// TMPDIR that the scheduler's environment may carry are dropped, so every
// folder follows from the user's home.
void setJobUserEnvironment(const JobUser& user);

// The user's spool folder, created 0700 when missing. Fails when it is not
// a real folder of the user's own that only the user can write to.
[[nodiscard]] Result<std::string> prepareSpoolFolder(const JobUser& user);

}  // namespace korva::cups
