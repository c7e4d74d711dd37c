#include "core/platform/FailureList.h"

namespace korvane {

void FailureList::Add(const korvane::Status& status)
{
    if (status)
        return;
    if (m_count < kShown)
        m_reasons += (m_count == 0 ? "" : "; ") + status.reason();
    ++m_count;
}

korvane::Status FailureList::ToStatus() const
{
    if (m_count == 0)
        return korvane::Status::Success();
    if (m_count <= kShown)
        return korvane::Status::Failure(m_reasons);
    return korvane::Status::Failure(m_reasons + "; and " + std::to_string(m_count - kShown) +
                                    " more");
}

} // namespace korvane
