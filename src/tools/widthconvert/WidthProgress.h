#pragma once
// The percentage a Word document's punctuation conversion shows while it walks the main text character
// by character: "正在处理第 3 个文件，进度 42%", shown each time the whole percentage changes, so a
// document of four characters shows 25%, 50%, 75% and 100%, and a long one each percentage once.

#include "core/DocumentEngine.h"

namespace varnel::widthconvert {

class WidthProgress
{
public:
    // total: the characters to walk; the status goes to request.ui (nothing shown without one).
    WidthProgress(const EngineRequest& request, qsizetype total);

    // count more characters were visited.
    void advance(qsizetype count = 1);

private:
    const EngineRequest& m_request;
    qsizetype m_total;
    qsizetype m_visited = 0;
    qsizetype m_shown = 0;
};

} // namespace varnel::widthconvert
