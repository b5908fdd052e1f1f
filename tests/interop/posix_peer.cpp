// An independent peer of the stream transfer, written for Linux from the
// wire format alone: "%.4d" name length, the name, "%10d" content size, the
// content; the receiver answers "OK" and 14 spaces.
//   posix_peer send PORT NAME FILE      sends FILE as NAME to 127.0.0.1:PORT
//   posix_peer receive PORT OUTFILE     takes one transfer, prints its name
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string ack = "OK              ";

bool SendAll(int s, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(s, bytes.data() + sent, bytes.size() - sent, 0);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReceiveExactly(int s, std::string& into, std::size_t count)
{
    into.clear();
    char buffer[65536];
    while (into.size() < count) {
        const ssize_t n = ::recv(s, buffer, std::min(sizeof buffer, count - into.size()), 0);
        if (n <= 0)
            return false;
        into.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int Send(int port, const std::string& name, const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = Loopback(port);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        std::perror("connect");
        return 1;
    }
    char length[8], size[16];
    std::snprintf(length, sizeof length, "%.4d", static_cast<int>(name.size()));
    std::snprintf(size, sizeof size, "%10d", static_cast<int>(content.size()));
    std::string reply;
    const bool ok = SendAll(s, length + name + size + content) && ReceiveExactly(s, reply, 16) && reply == ack;
    ::close(s);
    return ok ? 0 : 2;
}

int Receive(int port, const std::string& file)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const sockaddr_in a = Loopback(port);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || ::listen(listener, 1) != 0) {
        std::perror("listen");
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    const int s = ::accept(listener, nullptr, nullptr);
    std::string field, name, content;
    if (!ReceiveExactly(s, field, 4))
        return 2;
    const std::size_t nameLength = std::strtoul(field.c_str(), nullptr, 10);
    if (!ReceiveExactly(s, name, nameLength) || !ReceiveExactly(s, field, 10))
        return 2;
    const std::size_t size = std::strtoul(field.c_str(), nullptr, 10);
    if (!ReceiveExactly(s, content, size) || !SendAll(s, ack))
        return 2;
    char rest;
    while (::recv(s, &rest, 1, 0) > 0) {
    }
    ::close(s);
    ::close(listener);
    std::ofstream(file, std::ios::binary) << content;
    std::printf("%s\n", name.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "send" && argc == 5)
        return Send(std::atoi(argv[2]), argv[3], argv[4]);
    if (mode == "receive" && argc == 4)
        return Receive(std::atoi(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: posix_peer send PORT NAME FILE | receive PORT OUTFILE\n");
    return 64;
}
