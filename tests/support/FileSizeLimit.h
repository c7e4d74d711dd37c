#pragma once

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace korvane {

// While it lives, no file this process writes can grow beyond a few bytes: a write that fails
// half-way whoever runs the test, root included. Windows has no such limit for one process: there
// it changes nothing, and the cases that need it are in the Windows exclusion list
// (tests/CMakeLists.txt).
class FileSizeLimit
{
public:
#ifndef _WIN32
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limit{bytes, m_previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int);
#else
    explicit FileSizeLimit(unsigned long long) {}
#endif
};

} // namespace korvane
