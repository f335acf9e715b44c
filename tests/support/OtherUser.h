#pragma once
// A piece of a test done as another user: a forked child takes the user's and groups' ids and
// hands back what it saw through a pipe, so the system's own permission checks answer. Only
// root can become another user.

#include <functional>
#include <grp.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kelvorn::test {

/// Who a child acts as: user, primary group and the further groups it belongs to.
struct Identity
{
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups;
};

/// "nobody" and "nogroup": a user and a group no test file belongs to unless a test gives it.
inline constexpr uid_t nobodyUser = 65534;
inline constexpr gid_t nobodyGroup = 65534;

/// Whether this process may act as another user.
inline bool CanActAsOtherUsers()
{
    return ::geteuid() == 0;
}

/// Runs act in a child process as who and returns the text act returned. The child never returns
/// into the test: no fixture of the parent is torn down twice. A child that could not become who,
/// or that died, gives a text that says so, which no test expects.
inline std::string RunAs(const Identity& who, const std::function<std::string()>& act)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe to a child";
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return "no child process";
    }
    if (child == 0) {
        ::close(channel[0]);
        std::string said;
        if (::setgroups(who.groups.size(), who.groups.data()) != 0 ||
            ::setresgid(who.gid, who.gid, who.gid) != 0 ||
            ::setresuid(who.uid, who.uid, who.uid) != 0)
            said = "the child could not become user " + std::to_string(who.uid);
        else
            said = act();
        for (size_t done = 0; done < said.size();) {
            const ssize_t n = ::write(channel[1], said.data() + done, said.size() - done);
            if (n <= 0)
                ::_exit(2);
            done += size_t(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string heard;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        heard.append(buffer, size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        heard += " (the child ended with status " + std::to_string(status) + ")";
    return heard;
}

} // namespace kelvorn::test
