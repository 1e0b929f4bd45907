#include "service/privileges.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fk::tftp {

void DropPrivilegesAfterBind() {
    if (getuid() == 0 || geteuid() == 0) return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    (void)syscall(SYS_capset, &header, none);
    (void)prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    (void)prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
}

}  // namespace fk::tftp
