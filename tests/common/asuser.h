// SPDX-License-Identifier: MIT
#pragma once

#include <unistd.h>

// While it lives, the process acts as an unprivileged user when it runs as root, so that file
// permissions apply to it as they do to a desktop user (root reads and writes anything).
class UnprivilegedScope {
public:
    UnprivilegedScope()
    {
        if (::geteuid() == 0 && ::setegid(nobody) == 0 && ::seteuid(nobody) == 0)
            m_dropped = true;
    }
    ~UnprivilegedScope()
    {
        if (m_dropped && ::seteuid(0) == 0)
            static_cast<void>(::setegid(0));
    }
    UnprivilegedScope(const UnprivilegedScope &) = delete;
    UnprivilegedScope &operator=(const UnprivilegedScope &) = delete;

private:
    static constexpr uid_t nobody = 65534;
    bool m_dropped = false;
};
