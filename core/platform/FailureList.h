#pragma once

#include "core/platform/Status.h"

#include <string>

namespace korvane {

// Collects what went wrong over many files into one reason: the first few files with their
// causes and how many more there were.
class FailureList
{
public:
    void Add(const korvane::Status& status);
    bool empty() const { return m_count == 0; }
    korvane::Status ToStatus() const;

private:
    static constexpr int kShown = 5;
    std::string m_reasons;
    int m_count = 0;
};

} // namespace korvane
