// zindle-request METHOD URL: sends one content or statistics URL through the tunnelling
// endpoint, the way the program does, and writes the reply text to stdout unchanged (bytes
// in the ANSI code page). Used to diagnose a deployment and by the scripts.
// Exit status: 0 when a reply arrived, or after sending a POST (whose reply is ignored);
// 1 when the result is empty; 2 on a wrong command line.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "net/Request.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zindle-request METHOD URL\n");
        return 2;
    }
    const char* method = argv[1];
    const char* url = argv[2];
    std::string reply = SendRequest(url, method);

    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(reply.data(), 1, reply.size(), stdout);
    std::fflush(stdout);
    if (std::strcmp(method, "POST") == 0) return 0;
    return reply.empty() ? 1 : 0;
}
