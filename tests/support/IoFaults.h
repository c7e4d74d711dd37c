#pragma once

#include <cerrno>
#include <string>

// The controls of IoFaultShim.c, for a test program linked with it.
extern "C" {
void korvane_io_fault_watch(const char* root);
void korvane_io_fault_arm(const char* kind, const char* part, int error, int skip);
int korvane_io_fault_pending(void);
void korvane_io_fault_disarm(void);
void korvane_io_fault_count(const char* kind, const char* part);
long korvane_io_fault_counted(void);
}

namespace korvane {

// While it lives, the next file-system call of a kind (see IoFaultShim.c: "readdir", "sync",
// "open", "read"...; "open" also stands for "open+w") on a file below root whose path holds part
// (or ends with it, when part ends with '$') fails with error, as a failing disk's would, once
// skip such calls have passed. Once only: the calls after it succeed.
class IoFault
{
public:
    IoFault(const std::string& root, const char* kind, const std::string& part, int error = EIO,
            int skip = 0)
    {
        korvane_io_fault_watch(root.c_str());
        korvane_io_fault_arm(kind, part.c_str(), error, skip);
    }
    ~IoFault()
    {
        korvane_io_fault_disarm();
        korvane_io_fault_watch("");
    }
    IoFault(const IoFault&) = delete;
    IoFault& operator=(const IoFault&) = delete;

    // True once the call has failed: a test whose fault never happened tests nothing.
    bool Happened() const { return !korvane_io_fault_pending(); }
};

// While it lives, counts the file-system calls of a kind (as IoFault takes it) on files below root
// whose path holds part (or ends with it, when part ends with '$'): for a test of how often a
// command lists a folder, which no clock measures steadily.
class IoCallCount
{
public:
    IoCallCount(const std::string& root, const char* kind, const std::string& part)
    {
        korvane_io_fault_watch(root.c_str());
        korvane_io_fault_count(kind, part.c_str());
    }
    ~IoCallCount()
    {
        korvane_io_fault_count("", "");
        korvane_io_fault_watch("");
    }
    IoCallCount(const IoCallCount&) = delete;
    IoCallCount& operator=(const IoCallCount&) = delete;

    // The calls so far; -1 where calls cannot be counted.
    long Calls() const { return korvane_io_fault_counted(); }
};

} // namespace korvane
