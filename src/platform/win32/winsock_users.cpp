#include "platform/win32/winsock_users.h"

#include <winsock2.h>

#include "platform/socket.h"

namespace platform {

namespace {
int winsockUsers = 0;
}  // namespace

void acquireWinsock() {
    if (winsockUsers++ > 0) return;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        winsockUsers = 0;
        throw SocketError("WSAStartup failed");
    }
}

void releaseWinsock() {
    if (--winsockUsers == 0) WSACleanup();
}

}  // namespace platform
