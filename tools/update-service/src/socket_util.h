// Small helpers on connected sockets, shared by the plain and TLS connections.
#pragma once

#include <string>

namespace update_service {

// Waits until the socket is ready for events (POLLIN, POLLOUT); false on a time-out or error.
bool WaitForSocket(int sock, short events, int timeout_ms);

// Numeric address and port of the peer (peer true) or of our own end.
bool SocketAddress(int sock, bool peer, std::string& ip, int& port);

// "IP:PORT" of the peer, for messages.
std::string PeerText(int sock);

}  // namespace update_service
