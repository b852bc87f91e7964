// The shared-memory segment's life: created here, shared with the server,
// and marked for removal once both sides hold it.
#include "platform/x11/handles.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include "platform/x11/error_display.h"

namespace nimbrel::x11 {

SharedSegment::SharedSegment(Display* display, std::size_t bytes) : display_(display)
{
    info_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (info_.shmid < 0) return;
    void* address = shmat(info_.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(info_.shmid, IPC_RMID, nullptr);
        info_.shmid = -1;
        return;
    }
    info_.shmaddr = static_cast<char*>(address);
    info_.readOnly = True;
}

SharedSegment::~SharedSegment()
{
    if (!info_.shmaddr) return;
    if (attached_) XShmDetach(display_, &info_);
    shmdt(info_.shmaddr);
    // Already marked when the server attached; marking again is harmless.
    shmctl(info_.shmid, IPC_RMID, nullptr);
}

bool SharedSegment::AttachToServer()
{
    if (!info_.shmaddr) return false;
    XErrorTrap trap(display_);
    XShmAttach(display_, &info_);
    if (trap.Caught()) return false;
    attached_ = true;
    // The server holds it now: the system frees it when both have detached.
    shmctl(info_.shmid, IPC_RMID, nullptr);
    return true;
}

} // namespace nimbrel::x11
