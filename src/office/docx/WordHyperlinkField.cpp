#include "office/docx/WordHyperlinkField.h"

#include "core/TextReplace.h"
#include "office/docx/WordEditor.h"

#include <cstring>

namespace varnel::office {

namespace {

bool isHyperlink(const QString& instruction)
{
    const QString trimmed = instruction.trimmed();
    return trimmed.startsWith(u"HYPERLINK", Qt::CaseInsensitive)
        && (trimmed.size() == 9 || trimmed.at(9).isSpace());
}

struct OpenField {
    std::vector<pugi::xml_node> instrTexts;
    bool inCode = true;
};

} // namespace

std::vector<WordHyperlinkField> WordHyperlinkField::collect(const WordNames& names, pugi::xml_node root)
{
    std::vector<WordHyperlinkField> fields;
    std::vector<OpenField> open;
    auto visit = [&](auto&& self, pugi::xml_node node) -> void {
        for (const pugi::xml_node child : node.children()) {
            const char* name = names.local(child);
            if (!name) {
                if (child.type() == pugi::node_element)
                    self(self, child);
                continue;
            }
            if (!std::strcmp(name, "del") || !std::strcmp(name, "moveFrom"))
                continue;
            if (!std::strcmp(name, "fldSimple")) {
                WordHyperlinkField field;
                field.m_instr = child.attribute(names.qualified("instr").c_str());
                if (field.m_instr && isHyperlink(field.instruction()))
                    fields.push_back(field);
            } else if (!std::strcmp(name, "fldChar")) {
                const char* type = names.attribute(child, "fldCharType");
                if (!std::strcmp(type, "begin")) {
                    open.push_back({});
                } else if (!std::strcmp(type, "separate") && !open.empty()) {
                    open.back().inCode = false;
                } else if (!std::strcmp(type, "end") && !open.empty()) {
                    WordHyperlinkField field;
                    field.m_instrTexts = std::move(open.back().instrTexts);
                    open.pop_back();
                    if (!field.m_instrTexts.empty() && isHyperlink(field.instruction()))
                        fields.push_back(std::move(field));
                }
            } else if (!std::strcmp(name, "instrText")) {
                if (!open.empty() && open.back().inCode)
                    open.back().instrTexts.push_back(child);
            }
            self(self, child);
        }
    };
    visit(visit, root);
    return fields;
}

QString WordHyperlinkField::instruction() const
{
    if (m_instr)
        return QString::fromUtf8(m_instr.value());
    QString text;
    for (const pugi::xml_node& t : m_instrTexts)
        text += QString::fromUtf8(t.text().get());
    return text;
}

void WordHyperlinkField::setInstruction(const QString& instruction)
{
    if (m_instr) {
        m_instr.set_value(instruction.toUtf8().constData());
        return;
    }
    // The whole instruction goes into the first w:instrText; the others are emptied.
    WordEditor::setText(m_instrTexts.front(), instruction);
    for (size_t i = 1; i < m_instrTexts.size(); ++i)
        m_instrTexts[i].text().set("");
}

std::pair<qsizetype, qsizetype> WordHyperlinkField::addressSpan(const QString& instruction)
{
    qsizetype pos = instruction.indexOf(QStringLiteral("HYPERLINK"), 0, Qt::CaseInsensitive) + 9;
    bool skipArgument = false;
    while (pos < instruction.size()) {
        while (pos < instruction.size() && instruction.at(pos).isSpace())
            ++pos;
        if (pos >= instruction.size())
            break;
        qsizetype start = pos;
        qsizetype end = pos;
        const bool quoted = instruction.at(pos) == u'"';
        if (quoted) {
            start = pos + 1;
            end = instruction.indexOf(u'"', start);
            if (end < 0)
                end = instruction.size();
            pos = end + 1;
        } else {
            while (end < instruction.size() && !instruction.at(end).isSpace())
                ++end;
            pos = end;
        }
        const QStringView token = QStringView(instruction).mid(start, end - start);
        if (!quoted && token.startsWith(u'\\')) {
            // \l, \o and \t take an argument; \m and \n do not.
            const QChar option = token.size() > 1 ? token.at(1).toLower() : QChar();
            skipArgument = option == u'l' || option == u'o' || option == u't';
            continue;
        }
        if (skipArgument) {
            skipArgument = false;
            continue;
        }
        return {start, end - start};
    }
    return {0, 0};
}

int WordHyperlinkField::replaceInAddress(const QString& find, const QString& replace)
{
    const QString before = instruction();
    const auto [start, length] = addressSpan(before);
    if (length == 0)
        return 0;
    int count = 0;
    const QString address =
        plainReplace(before.mid(start, length), find, replace, CompareMode::Text, &count);
    const QString after = before.left(start) + address + before.mid(start + length);
    if (after == before)
        return 0;
    setInstruction(after);
    return count;
}

} // namespace varnel::office
