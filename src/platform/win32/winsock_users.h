// Winsock is started while any socket object exists and cleaned up with the last one, so the
// host process's own use of Winsock is never disturbed (one thread: no locking).
#pragma once

namespace platform {

// Throws SocketError when Winsock cannot be started.
void acquireWinsock();
void releaseWinsock();

}  // namespace platform
