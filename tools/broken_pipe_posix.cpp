#include <csignal>

#include "tools/broken_pipe.h"

namespace korvane::tools {

void IgnoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace korvane::tools
