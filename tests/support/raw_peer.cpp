#include "tests/support/raw_peer.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "net/duel_frame.hpp"

namespace tw::test {

RawPeer::~RawPeer() { close(); }

void RawPeer::connect(int port, int receive_buffer) {
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error("no socket");
    if (receive_buffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A listening socket takes the connection in the kernel; the program's accept comes later.
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("no connect");
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

void RawPeer::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            reactor_.pump(5);
            continue;
        }
        throw std::runtime_error("the program closed the connection");
    }
}

std::string RawPeer::read() {
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return out;
    }
}

void RawPeer::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string WireFrame(std::string_view body, char tag) {
    std::string f(kFrameStart);
    f += tag;
    f += body;
    f += kFrameEnd;
    return f;
}

std::vector<std::string> CommandsIn(std::string_view stream) {
    DuelFrameReader reader;
    reader.append(stream);
    std::vector<std::string> out;
    while (auto piece = reader.next()) {
        if (piece->kind != DuelFrameReader::Piece::Frame) continue;
        if (auto frame = OpenFrame(piece->text, false)) out.push_back(frame->text);
    }
    return out;
}

std::string WithoutCount(const std::string& command) {
    const std::size_t at = command.rfind("|$|");
    return at == std::string::npos ? command : command.substr(0, at);
}

}  // namespace tw::test
