#pragma once

#include "core/platform/Status.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

// The system calls the file classes of this folder share. Not for use outside it.
namespace korvane::kfs::detail {

// Makes a new name inside folder last through a power cut (POSIX keeps names in the folder's own
// data; Windows writes them through). The system's error when it could not.
std::error_code SyncFolder(const std::filesystem::path& folder);

// A failure naming the file, with the cause in words or as the system's error.
korvane::Status Failure(const std::filesystem::path& file, std::string_view cause);
korvane::Status Failure(const std::filesystem::path& file, const std::error_code& error);

// Why a file cannot be read: the system's reason when it refuses to open the file (on Windows,
// another program that holds it open), else an input/output error.
std::error_code WhyUnreadable(const std::filesystem::path& file);

// Waits until what was written to out is on the disk.
bool SyncToDisk(std::FILE* out);

// The error errno holds, or an input/output error when it holds none.
std::error_code LastError();

#ifdef _WIN32
std::error_code LastWindowsError();
#endif

// Removes a file of this program's own making, also one that took a read-only attribute from its
// source (Windows deletes no read-only file).
void RemoveOwnFile(const std::filesystem::path& file);

} // namespace korvane::kfs::detail
