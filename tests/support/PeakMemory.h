#pragma once

namespace korvane::testsupport {

// The most memory this process has held at once so far (its peak resident set, on Windows its
// peak working set), in MiB.
long PeakMemoryMegabytes();

} // namespace korvane::testsupport
