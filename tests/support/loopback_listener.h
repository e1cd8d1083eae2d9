// A TCP listener on 127.0.0.1 for the scripted servers of the tests.
#pragma once

namespace tarnwick::testing {

struct LoopbackListener {
    int fd = -1;   // -1 when none could be made
    int port = 0;  // the port it listens on
};

// Listens on `port` (0: a free one) with that backlog; a port in use is reused.
LoopbackListener listenOnLoopback(int backlog, int port = 0);

}  // namespace tarnwick::testing
