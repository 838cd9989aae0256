#pragma once

#include <QtGlobal>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A loopback port whose listener never completes another connection: its
// accept queue (listen(fd, 0)) is already taken, so a new attempt waits as
// one to an address that does not answer.
struct SilentPort
{
    int listener = ::socket(AF_INET, SOCK_STREAM, 0), filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    quint16 port = 0;
    SilentPort()
    {
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t n = sizeof a;
        auto *any = reinterpret_cast<sockaddr *>(&a);
        if (::bind(listener, any, n) == 0 && ::listen(listener, 0) == 0 && ::getsockname(listener, any, &n) == 0 &&
            (::connect(filler, any, n) == 0 || errno == EINPROGRESS)) // takes the only place in the queue
            port = ntohs(a.sin_port);
    }
    ~SilentPort() { ::close(filler), ::close(listener); }
    SilentPort(const SilentPort &) = delete;
    SilentPort &operator=(const SilentPort &) = delete;
};
