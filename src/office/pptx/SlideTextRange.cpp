#include "office/pptx/SlideTextRange.h"

#include "core/TextCompare.h"
#include "office/docx/WordText.h"
#include "office/pptx/DrawingNames.h"

#include <algorithm>
#include <string>

namespace varnel::office {

using drawing::childNamed;
using drawing::isNamed;
using drawing::prefixOf;

namespace {

constexpr char16_t kParagraphEnd = u'\r';
constexpr char16_t kLineBreak = 0x000B;

void setText(pugi::xml_node t, const QString& text)
{
    t.text().set(text.toUtf8().constData());
}

// A replacement as it reads in the range once inserted: "\r\n" and "\n" end a paragraph as "\r" does.
QString normalised(const QString& replacement)
{
    if (!replacement.contains(u'\n'))
        return replacement;
    QString result = replacement;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    result.replace(u'\n', kParagraphEnd);
    return result;
}

// A field cut by an edit is no longer what its type generates: its text stays, as a plain run.
void makeRun(pugi::xml_node field)
{
    if (!isNamed(field, "fld"))
        return;
    field.set_name((prefixOf(field) + "r").c_str());
    while (field.first_attribute())
        field.remove_attribute(field.first_attribute());
    if (pugi::xml_node properties = childNamed(field, "pPr"))
        field.remove_child(properties);
}

} // namespace

SlideTextRange::SlideTextRange(pugi::xml_node txBody)
    : m_body(txBody)
{
}

const QString& SlideTextRange::text() const
{
    read();
    return m_text;
}

void SlideTextRange::read() const
{
    if (m_read)
        return;
    m_text.clear();
    m_segments.clear();
    const auto add = [this](Segment::Kind kind, pugi::xml_node node, const QString& text) {
        m_segments.push_back({kind, node, m_text.size(), text.size()});
        m_text += text;
    };
    pugi::xml_node previous;
    for (pugi::xml_node paragraph : m_body.children()) {
        if (!isNamed(paragraph, "p"))
            continue;
        if (previous)
            add(Segment::ParagraphEnd, previous, QString(kParagraphEnd));
        for (pugi::xml_node item : paragraph.children()) {
            if (isNamed(item, "r") || isNamed(item, "fld")) {
                const pugi::xml_node t = childNamed(item, "t");
                const QString text = QString::fromUtf8(t.text().get());
                if (!text.isEmpty())
                    add(Segment::Text, t, text);
            } else if (isNamed(item, "br")) {
                add(Segment::Break, item, QString(kLineBreak));
            }
        }
        previous = paragraph;
    }
    m_read = true;
}

size_t SlideTextRange::segmentAt(qsizetype position) const
{
    const auto after = std::upper_bound(m_segments.cbegin(), m_segments.cend(), position,
                                        [](qsizetype p, const Segment& segment) { return p < segment.start; });
    return size_t(after - m_segments.cbegin()) - 1;
}

std::optional<TextSpan> SlideTextRange::find(const QString& find, qsizetype after, const SlideFindOptions& options) const
{
    const QString& haystack = text();
    const CompareMode mode = options.matchCase ? CompareMode::Binary : CompareMode::Text;
    for (qsizetype from = std::max<qsizetype>(after, 0);;) {
        const qsizetype at = findText(haystack, find, from, mode);
        if (at < 0)
            return std::nullopt;
        if (!options.wholeWords
            || (wordtext::isWordBoundary(haystack, at) && wordtext::isWordBoundary(haystack, at + find.size())))
            return TextSpan{at, find.size()};
        from = at + 1;
    }
}

std::optional<TextSpan> SlideTextRange::replace(const QString& find, const QString& replacement, qsizetype after,
                                                const SlideFindOptions& options)
{
    const std::optional<TextSpan> found = this->find(find, after, options);
    if (!found)
        return std::nullopt;
    const QString inserted = normalised(replacement);
    const size_t firstIndex = segmentAt(found->start);
    const Segment first = m_segments[firstIndex];
    const qsizetype offset = found->start - first.start;
    const bool plain = !inserted.contains(kParagraphEnd) && !inserted.contains(kLineBreak);

    if (first.kind == Segment::Text && plain && isNamed(first.node.parent(), "r")) {
        // The usual case: the replacement goes into the run of the first character found.
        QString runText = m_text.mid(first.start, first.length);
        const qsizetype inRun = std::min(found->length, first.length - offset);
        runText.replace(offset, inRun, inserted);
        if (runText.isEmpty())
            first.node.parent().parent().remove_child(first.node.parent());
        else
            setText(first.node, runText);
        if (inRun == found->length && !runText.isEmpty())
            replacedInSegment(firstIndex, *found, inserted);
        else
            m_read = false;
        if (inRun < found->length)
            remove(found->start + inserted.size(), found->start + inserted.size() + found->length - inRun);
    } else {
        const pugi::xml_node format = formatOf(first);
        if (!inserted.isEmpty())
            insert(pointBefore(first, offset), inserted, format);
        m_read = false;
        remove(found->start + inserted.size(), found->start + inserted.size() + found->length);
    }
    return TextSpan{found->start, inserted.size()};
}

void SlideTextRange::replacedInSegment(size_t index, const TextSpan& span, const QString& inserted)
{
    m_text.replace(span.start, span.length, inserted);
    const qsizetype delta = inserted.size() - span.length;
    m_segments[index].length += delta;
    for (size_t i = index + 1; i < m_segments.size(); ++i)
        m_segments[i].start += delta;
}

pugi::xml_node SlideTextRange::formatOf(const Segment& segment) const
{
    switch (segment.kind) {
    case Segment::Text: return childNamed(segment.node.parent(), "rPr");
    case Segment::Break: return childNamed(segment.node, "rPr");
    case Segment::ParagraphEnd: return childNamed(segment.node, "endParaRPr");
    }
    return {};
}

SlideTextRange::Point SlideTextRange::pointBefore(const Segment& segment, qsizetype offset)
{
    switch (segment.kind) {
    case Segment::Break: return {segment.node.parent(), segment.node};
    case Segment::ParagraphEnd: return {segment.node, {}};
    case Segment::Text: break;
    }
    const pugi::xml_node container = segment.node.parent();
    pugi::xml_node paragraph = container.parent();
    if (offset == 0)
        return {paragraph, container};
    // Inside a run: it is cut in two, and the new content goes between the halves.
    makeRun(container);
    const pugi::xml_node second = paragraph.insert_copy_after(container, container);
    const QString text = m_text.mid(segment.start, segment.length);
    setText(childNamed(container, "t"), text.left(offset));
    setText(childNamed(second, "t"), text.mid(offset));
    return {paragraph, second};
}

void SlideTextRange::insert(Point point, const QString& replacement, pugi::xml_node format)
{
    const std::string prefix = prefixOf(point.paragraph);
    const auto element = [&](const char* localName) {
        const std::string name = prefix + localName;
        if (point.before)
            return point.paragraph.insert_child_before(name.c_str(), point.before);
        if (const pugi::xml_node end = childNamed(point.paragraph, "endParaRPr"))
            return point.paragraph.insert_child_before(name.c_str(), end);
        return point.paragraph.append_child(name.c_str());
    };
    const auto formatted = [&](pugi::xml_node node) {
        if (format)
            node.append_copy(format).set_name((prefix + "rPr").c_str());
        return node;
    };
    QString pending;
    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        setText(formatted(element("r")).append_child((prefix + "t").c_str()), pending);
        pending.clear();
    };
    for (const QChar c : replacement) {
        if (c == kLineBreak) {
            flush();
            formatted(element("br"));
        } else if (c == kParagraphEnd) {
            flush();
            // What follows the point moves to a new paragraph with the same paragraph properties.
            pugi::xml_node next = m_body.insert_child_after(point.paragraph.name(), point.paragraph);
            if (const pugi::xml_node properties = childNamed(point.paragraph, "pPr"))
                next.append_copy(properties);
            pugi::xml_node moving = point.before ? point.before : childNamed(point.paragraph, "endParaRPr");
            const pugi::xml_node firstMoved = moving;
            while (moving) {
                const pugi::xml_node following = moving.next_sibling();
                next.append_move(moving);
                moving = following;
            }
            point = {next, isNamed(firstMoved, "endParaRPr") ? pugi::xml_node() : firstMoved};
        } else {
            pending += c;
        }
    }
    flush();
}

void SlideTextRange::remove(qsizetype start, qsizetype end)
{
    read();
    for (size_t i = m_segments.size(); i-- > 0;) {
        const Segment& segment = m_segments[i];
        const qsizetype segmentEnd = segment.start + segment.length;
        if (segmentEnd <= start || segment.start >= end)
            continue;
        switch (segment.kind) {
        case Segment::Text: {
            QString text = m_text.mid(segment.start, segment.length);
            const qsizetype from = std::max(start, segment.start) - segment.start;
            text.remove(from, std::min(end, segmentEnd) - segment.start - from);
            const pugi::xml_node container = segment.node.parent();
            if (text.isEmpty())
                container.parent().remove_child(container);
            else
                setText(segment.node, text);
            break;
        }
        case Segment::Break: segment.node.parent().remove_child(segment.node); break;
        case Segment::ParagraphEnd: joinWithNext(segment.node); break;
        }
    }
    m_read = false;
}

void SlideTextRange::joinWithNext(pugi::xml_node paragraph)
{
    pugi::xml_node next = paragraph.next_sibling();
    while (next && !isNamed(next, "p"))
        next = next.next_sibling();
    if (!next)
        return;
    // The joined paragraph keeps its own properties and ends as the second one did.
    if (const pugi::xml_node end = childNamed(paragraph, "endParaRPr"))
        paragraph.remove_child(end);
    for (pugi::xml_node child = next.first_child(); child;) {
        const pugi::xml_node following = child.next_sibling();
        if (!isNamed(child, "pPr"))
            paragraph.append_move(child);
        child = following;
    }
    m_body.remove_child(next);
}

} // namespace varnel::office
