#pragma once

#include <linux/capability.h>

// Tests run as root, and root reads and writes whatever the file modes say. While an object of
// this class lives, the calling thread gives up the two capabilities that override the modes
// (it keeps them in reserve and takes them back at the end), so a file or folder made
// unreadable or read-only by its mode really is so for the code under test.
class WithoutRootOverride {
public:
    WithoutRootOverride();
    ~WithoutRootOverride();
    WithoutRootOverride(const WithoutRootOverride &) = delete;
    WithoutRootOverride &operator=(const WithoutRootOverride &) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[_LINUX_CAPABILITY_U32S_3]{};
    bool m_changed = false;
};
