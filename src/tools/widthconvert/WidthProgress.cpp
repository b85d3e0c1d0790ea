#include "tools/widthconvert/WidthProgress.h"

namespace varnel::widthconvert {

WidthProgress::WidthProgress(const EngineRequest& request, qsizetype total)
    : m_request(request)
    , m_total(total)
{
}

void WidthProgress::advance(qsizetype count)
{
    if (m_request.ui == nullptr || m_total <= 0)
        return;
    for (qsizetype i = 0; i < count; ++i) {
        ++m_visited;
        const qsizetype percent = m_visited * 100 / m_total;
        if (percent == m_shown)
            continue;
        m_shown = percent;
        m_request.ui->progress(QStringLiteral("%1，进度 %2%").arg(m_request.progressCaption).arg(percent));
    }
}

} // namespace varnel::widthconvert
