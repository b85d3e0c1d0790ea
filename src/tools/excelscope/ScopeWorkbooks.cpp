#include "tools/excelscope/ScopeWorkbooks.h"

#include "office/DocumentContent.h"
#include "office/xlsx/Workbook.h"

#include <QFileInfo>

namespace varnel::excelscope {

std::optional<DictionaryContent> readScopeDictionary(const QString& path, QString* error)
{
    const DocumentContent content = documentContentOf(path);
    // Missing files, Office 97-2003 workbooks and encrypted packages: DictionaryWorkbook says why or converts.
    if (!QFileInfo::exists(path) || content == DocumentContent::ExcelBinary || content == DocumentContent::CompoundFile)
        return DictionaryWorkbook::read(path, error);
    const auto book = openScopeWorkbook<office::Workbook>(path, error);
    return book ? DictionaryWorkbook::read(*book, error) : std::nullopt;
}

} // namespace varnel::excelscope
