#include "office/xlsx/ExcelCell.h"

#include <cstring>

namespace varnel::office {

namespace {

struct TypeName {
    ExcelCell::Type type;
    const char* code;
};

constexpr TypeName kTypes[] = {
    {ExcelCell::Type::Number, "n"},       {ExcelCell::Type::SharedString, "s"},
    {ExcelCell::Type::FormulaString, "str"}, {ExcelCell::Type::InlineString, "inlineStr"},
    {ExcelCell::Type::Boolean, "b"},      {ExcelCell::Type::Error, "e"},
    {ExcelCell::Type::Date, "d"},
};

} // namespace

const char* ExcelCell::typeCode(Type type)
{
    for (const TypeName& t : kTypes) {
        if (t.type == type)
            return t.code;
    }
    return "n";
}

ExcelCell::Type ExcelCell::typeOf(const char* code)
{
    for (const TypeName& t : kTypes) {
        if (std::strcmp(t.code, code) == 0)
            return t.type;
    }
    return Type::Number;
}

} // namespace varnel::office
