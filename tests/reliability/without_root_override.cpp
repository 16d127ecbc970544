#include "without_root_override.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

WithoutRootOverride::WithoutRootOverride()
{
    m_header.version = _LINUX_CAPABILITY_VERSION_3;
    m_header.pid = 0; // this thread
    if (syscall(SYS_capget, &m_header, m_saved) != 0)
        return; // not root, or no capabilities to give up: the modes already hold
    __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
    std::memcpy(lowered, m_saved, sizeof lowered);
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    m_changed = syscall(SYS_capset, &m_header, lowered) == 0;
}

WithoutRootOverride::~WithoutRootOverride()
{
    if (m_changed)
        syscall(SYS_capset, &m_header, m_saved);
}
