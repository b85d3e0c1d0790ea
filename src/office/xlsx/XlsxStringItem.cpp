#include "office/xlsx/XlsxStringItem.h"

#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/XlsxXml.h"

namespace varnel::office {

namespace {

void writeText(pugi::xml_node parent, const std::string& prefix, const QString& text)
{
    pugi::xml_node t = parent.append_child((prefix + "t").c_str());
    t.append_attribute("xml:space") = "preserve";
    t.text().set(XlsxStringItem::encode(text).c_str());
}

} // namespace

XlsxStringItem::XlsxStringItem(pugi::xml_node item)
{
    for (pugi::xml_node child : item.children()) {
        if (XlsxXml::is(child, "t")) {
            m_runs.push_back({child, decode(child.text().get()), false});
        } else if (XlsxXml::is(child, "r")) {
            m_rich = true;
            m_runs.push_back({child, decode(XlsxXml::child(child, "t").text().get()), false});
        } else if (XlsxXml::is(child, "phoneticPr")) {
            m_phonetic = child;
        }
    }
    for (const Run& run : m_runs)
        m_text += run.text;
}

XlsxStringItem XlsxStringItem::plain(const QString& text)
{
    XlsxStringItem item;
    item.m_runs.push_back({{}, text, true});
    item.m_text = text;
    return item;
}

void XlsxStringItem::replace(const QList<ExcelMatch>& matches, const QString& replacement)
{
    if (m_runs.empty())
        m_runs.push_back({{}, QString(), true});
    // From the last match to the first, so that the positions of the earlier ones stay valid.
    for (auto m = matches.crbegin(); m != matches.crend(); ++m) {
        qsizetype runStart = 0;
        size_t first = 0;
        // The run of the first replaced character.
        while (first + 1 < m_runs.size() && runStart + m_runs[first].text.size() <= m->start) {
            runStart += m_runs[first].text.size();
            ++first;
        }
        qsizetype offset = m->start - runStart;
        qsizetype remaining = m->length;
        for (size_t r = first; r < m_runs.size() && remaining > 0; ++r) {
            Run& run = m_runs[r];
            const qsizetype from = r == first ? offset : 0;
            const qsizetype take = std::min(remaining, run.text.size() - from);
            if (take > 0) {
                run.text.remove(from, take);
                run.edited = true;
                remaining -= take;
            }
        }
        m_runs[first].text.insert(offset, replacement);
        m_runs[first].edited = true;
    }
    // Runs left empty go, as in Excel; one run always stays.
    std::erase_if(m_runs, [](const Run& run) { return run.text.isEmpty(); });
    if (m_runs.empty())
        m_runs.push_back({{}, QString(), true});
    m_text.clear();
    for (const Run& run : m_runs)
        m_text += run.text;
}

void XlsxStringItem::write(pugi::xml_node target, const std::string& prefix) const
{
    // A rich item whose runs have all become one plain run is still written as a run, keeping its format.
    for (const Run& run : m_runs) {
        if (!run.edited && run.source) {
            target.append_copy(run.source);
            continue;
        }
        if (!m_rich || !run.source) {
            if (m_rich) {
                writeText(target.append_child((prefix + "r").c_str()), prefix, run.text);
            } else {
                writeText(target, prefix, run.text);
            }
            continue;
        }
        pugi::xml_node r = target.append_child((prefix + "r").c_str());
        if (const pugi::xml_node properties = XlsxXml::child(run.source, "rPr"))
            r.append_copy(properties);
        writeText(r, prefix, run.text);
    }
    if (m_phonetic)
        target.append_copy(m_phonetic);
}

QString XlsxStringItem::decode(const char* text)
{
    return ExcelXString::decode(QString::fromUtf8(text));
}

std::string XlsxStringItem::encode(const QString& text)
{
    return ExcelXString::encode(text).toStdString();
}

} // namespace varnel::office
