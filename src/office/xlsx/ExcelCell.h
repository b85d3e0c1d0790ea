#pragma once
// One cell of a worksheet as the file stores it.

#include <QString>

#include <pugixml.hpp>

namespace varnel::office {

struct ExcelCell {
    // The cell's t attribute: n (the default), s, str, inlineStr, b, e, d.
    enum class Type { Number, SharedString, FormulaString, InlineString, Boolean, Error, Date };

    QString reference;      // "B3"
    int row = 0;            // 1-based
    int column = 0;         // 1-based
    Type type = Type::Number;
    QString rawValue;       // the <v> text as stored (the shared string's index for s; empty for inlineStr)
    QString text;           // the value as text: the string for s, str and inlineStr, else rawValue
    QString formula;        // the formula without "=", empty when the cell has none (shared formulas resolved)
    bool formulaUnresolved = false; // a shared formula whose master cell was not found: formula is empty
    int styleIndex = 0;     // index into cellXfs (the s attribute)
    pugi::xml_node node;    // the <c> element, valid while the workbook's package is open

    bool hasValue() const { return !text.isEmpty() || !formula.isEmpty() || formulaUnresolved; }
    bool isString() const
    {
        return type == Type::SharedString || type == Type::FormulaString || type == Type::InlineString;
    }
    // The t attribute's value for the type ("n", "s", "str", "inlineStr", "b", "e", "d").
    static const char* typeCode(Type type);
    // The type of a t attribute's value; Number for an unknown or empty one.
    static Type typeOf(const char* code);
};

} // namespace varnel::office
