#include "office/xlsx/XlsxSheetCells.h"

#include "office/xlsx/CellReference.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/FormulaOffset.h"
#include "office/xlsx/SpreadsheetXml.h"
#include "office/xlsx/XlsxXml.h"

#include <cstring>

namespace varnel::office {

namespace {

bool attributeIs(pugi::xml_node node, const char* name, const char* value)
{
    return std::strcmp(node.attribute(name).value(), value) == 0;
}

void removeChildren(pugi::xml_node cell, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        while (pugi::xml_node child = XlsxXml::child(cell, name))
            cell.remove_child(child);
    }
}

// A new child of the cell, before its extension list if it has one.
pugi::xml_node addChild(pugi::xml_node cell, const char* name)
{
    const std::string full = XlsxXml::prefixOf(cell) + name;
    if (pugi::xml_node ext = XlsxXml::child(cell, "extLst"))
        return cell.insert_child_before(full.c_str(), ext);
    return cell.append_child(full.c_str());
}

void setText(pugi::xml_node element, const QString& text)
{
    element.text().set(text.toUtf8().constData());
}

// Formula text is stored with the _xHHHH_ escapes of cell strings.
QString formulaText(pugi::xml_node f)
{
    return ExcelXString::decode(QString::fromUtf8(f.text().get()));
}

void setFormulaText(pugi::xml_node f, const QString& text)
{
    setText(f, ExcelXString::encode(text));
}

// The cell's reference (its r attribute), read without making a QString of every cell's: a valid one is
// ASCII and a dozen characters at most (only leading zeros make it longer).
CellReference referenceOf(const char* r)
{
    constexpr qsizetype kShort = 16;
    char16_t units[kShort];
    qsizetype length = 0;
    for (; length < kShort && r[length]; ++length)
        units[length] = static_cast<unsigned char>(r[length]) < 0x80 ? char16_t(r[length]) : u'\uFFFD';
    if (length == kShort)
        return CellReference::parse(QString::fromUtf8(r));
    return CellReference::parse(QStringView(units, length));
}

} // namespace

XlsxSheetCells::XlsxSheetCells(pugi::xml_node worksheet, XlsxSharedStrings& strings, XlsxStyles& styles)
    : m_strings(strings)
    , m_styles(styles)
{
    collect(worksheet);
}

bool XlsxSheetCells::refusedByProtection(const Cell& cell)
{
    if (!m_protected || !m_styles.locked(cell.node.attribute("s").as_int()))
        return false;
    ++m_locked;
    return true;
}

void XlsxSheetCells::collect(pugi::xml_node worksheet)
{
    m_protected = SpreadsheetXml::flag(XlsxXml::child(worksheet, "sheetProtection"), "sheet");
    int row = 0;
    for (pugi::xml_node rowNode : XlsxXml::children(XlsxXml::child(worksheet, "sheetData"), "row")) {
        row = rowNode.attribute("r") ? rowNode.attribute("r").as_int() : row + 1;
        int column = 0;
        for (pugi::xml_node c = rowNode.first_child(); c; c = c.next_sibling()) {
            if (!XlsxXml::is(c, "c"))
                continue;
            Cell cell;
            cell.node = c;
            const CellReference reference = referenceOf(c.attribute("r").value());
            column = reference.isValid() ? reference.column : column + 1;
            cell.row = reference.isValid() ? reference.row : row;
            cell.column = column;
            // The formula and the value, found in one walk over the cell's children.
            pugi::xml_node f;
            pugi::xml_node v;
            for (pugi::xml_node child = c.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element)
                    continue;
                const char* local = XlsxXml::localName(child);
                if (!f && std::strcmp(local, "f") == 0)
                    f = child;
                else if (!v && std::strcmp(local, "v") == 0)
                    v = child;
            }
            const char* type = c.attribute("t").value();
            if (f) {
                if (attributeIs(f, "t", "dataTable"))
                    continue;
                cell.kind = Kind::Formula;
                if (attributeIs(f, "t", "shared") && f.attribute("si")) {
                    cell.shared = f.attribute("si").as_int();
                    SharedFormula& group = m_sharedFormulas[cell.shared];
                    if (f.attribute("ref")) {
                        group.row = cell.row;
                        group.column = cell.column;
                        group.text = formulaText(f);
                    }
                    group.cells.push_back(m_cells.size());
                }
            } else if (!std::strcmp(type, "s")) {
                cell.kind = Kind::SharedString;
                cell.item = v.text().as_llong(-1);
                if (!m_strings.item(cell.item))
                    continue;
            } else if (!std::strcmp(type, "inlineStr")) {
                cell.kind = Kind::Inline;
            } else if (!std::strcmp(type, "b")) {
                cell.kind = Kind::Boolean;
            } else if ((!*type || !std::strcmp(type, "n")) && v) {
                cell.kind = Kind::Number;
            } else {
                continue; // errors, ISO dates, strings without a formula, empty cells
            }
            m_cells.push_back(cell);
        }
    }
}

QString XlsxSheetCells::textOf(Cell& cell)
{
    switch (cell.kind) {
    case Kind::SharedString: return m_strings.item(cell.item)->text();
    case Kind::Inline: return XlsxStringItem(XlsxXml::child(cell.node, "is")).text();
    default: break;
    }
    if (cell.known)
        return cell.text;
    if (cell.kind == Kind::Formula) {
        const auto group = m_sharedFormulas.constFind(cell.shared);
        if (cell.shared >= 0 && group != m_sharedFormulas.constEnd())
            cell.text = u'=' + FormulaOffset::shift(group->text, cell.row - group->row, cell.column - group->column);
        else
            cell.text = u'=' + formulaText(XlsxXml::child(cell.node, "f"));
    } else {
        const pugi::xml_node v = XlsxXml::child(cell.node, "v");
        if (cell.kind == Kind::Boolean)
            cell.text = v.text().as_int() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        else
            cell.text = m_styles.format(cell.node.attribute("s").as_int()).formulaBarText(v.text().as_double());
    }
    cell.known = true;
    return cell.text;
}

QString XlsxSheetCells::textAt(const QString& reference)
{
    const CellReference wanted = CellReference::parse(reference);
    if (!wanted.isValid())
        return {};
    for (Cell& cell : m_cells) {
        if (cell.row == wanted.row && cell.column == wanted.column)
            return textOf(cell);
    }
    return {};
}

void XlsxSheetCells::dropCachedValues()
{
    for (Cell& cell : m_cells) {
        if (cell.kind != Kind::Formula || !XlsxXml::child(cell.node, "v"))
            continue;
        removeChildren(cell.node, {"v"});
        cell.node.remove_attribute("t");
    }
}

bool XlsxSheetCells::find(const ExcelMatcher& matcher)
{
    for (Cell& cell : m_cells) {
        if (matcher.matches(textOf(cell)))
            return true;
    }
    return false;
}

void XlsxSheetCells::unshare(int shared)
{
    const auto group = m_sharedFormulas.find(shared);
    if (group == m_sharedFormulas.end())
        return;
    for (size_t index : group->cells) {
        Cell& cell = m_cells[index];
        const QString text = textOf(cell);
        pugi::xml_node f = XlsxXml::child(cell.node, "f");
        f.remove_attribute("t");
        f.remove_attribute("ref");
        f.remove_attribute("si");
        setFormulaText(f, text.mid(1));
        cell.shared = -1;
    }
    m_sharedFormulas.erase(group);
}

void XlsxSheetCells::write(Cell& cell, const ExcelCellEntry& entry, const XlsxStringItem& item, qsizetype sharedIndex)
{
    if (cell.shared >= 0)
        unshare(cell.shared);
    pugi::xml_node c = cell.node;
    pugi::xml_node f = XlsxXml::child(c, "f");
    if (cell.kind == Kind::SharedString)
        m_strings.countReference(-1);
    // A formula that stays one keeps its element (an array formula its range): only its text changes.
    if (entry.kind == ExcelCellEntry::Kind::Formula && f) {
        removeChildren(c, {"v", "is"});
    } else {
        removeChildren(c, {"f", "v", "is"});
        if (f && entry.kind != ExcelCellEntry::Kind::Formula)
            m_formulasRemoved.append(QString::fromUtf8(c.attribute("r").value()));
        f = {};
    }
    c.remove_attribute("t");
    cell.known = false;
    switch (entry.kind) {
    case ExcelCellEntry::Kind::Formula:
        if (!f)
            f = addChild(c, "f");
        setFormulaText(f, entry.text);
        m_formulasChanged = true;
        cell.kind = Kind::Formula;
        break;
    case ExcelCellEntry::Kind::Number:
        setText(addChild(c, "v"), ExcelCellEntry::numberText(entry.number));
        cell.kind = Kind::Number;
        // A General cell takes the format of what was typed (a date, a percentage, a currency).
        if (const int style = c.attribute("s").as_int(), typed = m_styles.withNumberFormat(style, entry.numberFormat);
            typed != style)
            (c.attribute("s") ? c.attribute("s") : c.append_attribute("s")) = typed;
        break;
    case ExcelCellEntry::Kind::Boolean:
        c.append_attribute("t") = "b";
        setText(addChild(c, "v"), entry.number != 0 ? QStringLiteral("1") : QStringLiteral("0"));
        cell.kind = Kind::Boolean;
        break;
    case ExcelCellEntry::Kind::Text:
        if (sharedIndex >= 0) {
            c.append_attribute("t") = "s";
            setText(addChild(c, "v"), QString::number(sharedIndex));
            m_strings.countReference(1);
            cell.kind = Kind::SharedString;
            cell.item = sharedIndex;
        } else {
            c.append_attribute("t") = "inlineStr";
            item.write(addChild(c, "is"), XlsxXml::prefixOf(c));
            cell.kind = Kind::Inline;
        }
        break;
    }
}

bool XlsxSheetCells::replaceCell(Cell& cell, const ExcelMatcher& matcher, const QString& replacement,
                                 Outcomes& outcomes)
{
    auto keepsText = [&] { return m_styles.keepsText(cell.node.attribute("s").as_int()); };
    if (cell.kind == Kind::SharedString) {
        // Items added during this replacement have no slot: a cell is visited once per replacement.
        const bool slot = size_t(cell.item) < outcomes.unmatched.size();
        if (slot && outcomes.unmatched[size_t(cell.item)])
            return false;
        auto outcome = outcomes.matched.find(cell.item);
        if (outcome == outcomes.matched.end()) {
            const XlsxStringItem* old = m_strings.item(cell.item);
            // Most items lack some character of the search text, which their signature tells at once.
            const bool couldMatch = matcher.couldMatchSignature(m_strings.signature(cell.item, matcher.matchCase()));
            const QList<ExcelMatch> matches = couldMatch ? matcher.matchesIn(old->text()) : QList<ExcelMatch>();
            if (matches.isEmpty()) {
                if (slot)
                    outcomes.unmatched[size_t(cell.item)] = 1;
                return false;
            }
            Outcome result;
            result.item = *old;
            result.item.replace(matches, replacement);
            result.replaced = result.item.text() != old->text() || result.item.rich() != old->rich();
            if (result.item.text().size() > kMaxCellLength) {
                result.replaced = false;
                ++m_tooLong;
            }
            outcome = outcomes.matched.insert(cell.item, result);
        }
        if (!outcome->replaced || refusedByProtection(cell))
            return false;
        const bool asText = keepsText();
        std::optional<ExcelCellEntry>& entry = outcome->entries[asText ? 1 : 0];
        if (!entry)
            entry = ExcelCellEntry::enter(outcome->item.text(), asText, m_styles.date1904());
        if (entry->kind == ExcelCellEntry::Kind::Text && outcome->index < 0)
            outcome->index = m_strings.add(outcome->item);
        write(cell, *entry, outcome->item, outcome->index);
        return true;
    }

    const QString text = textOf(cell);
    const QList<ExcelMatch> matches = matcher.matchesIn(text);
    if (matches.isEmpty())
        return false;
    XlsxStringItem item = cell.kind == Kind::Inline ? XlsxStringItem(XlsxXml::child(cell.node, "is"))
                                                    : XlsxStringItem::plain(text);
    item.replace(matches, replacement);
    if (item.text() == text)
        return false;
    if (item.text().size() > kMaxCellLength) {
        ++m_tooLong;
        return false;
    }
    if (refusedByProtection(cell))
        return false;
    const ExcelCellEntry entry = ExcelCellEntry::enter(item.text(), keepsText(), m_styles.date1904());
    qsizetype index = -1;
    // An inline string stays inline; other cells that become text join the shared strings.
    if (entry.kind == ExcelCellEntry::Kind::Text && cell.kind != Kind::Inline && m_strings.available())
        index = m_strings.add(item);
    write(cell, entry, item, index);
    return true;
}

int XlsxSheetCells::replace(const ExcelMatcher& matcher, const QString& replacement, const std::optional<Area>& area)
{
    Outcomes outcomes;
    outcomes.unmatched.resize(size_t(m_strings.size()));
    // The formula-bar text of a number (General, a percentage, a date or a time) is made of these alone.
    const bool numbers = matcher.couldMatchWithin(u"0123456789.-+E/: %");
    int changed = 0;
    for (Cell& cell : m_cells) {
        if (cell.kind == Kind::Number && !numbers)
            continue;
        if (area && !area->contains(cell.row, cell.column))
            continue;
        if (replaceCell(cell, matcher, replacement, outcomes))
            ++changed;
    }
    return changed;
}

} // namespace varnel::office
