#include "tools/excelscope/ScopeWorkbooks.h"

#include "office/DocumentContent.h"
#include "office/xlsx/Workbook.h"

#include <QFileInfo>

namespace varnel::excelscope {

std::optional<DictionaryContent> readScopeDictionary(const QString& path, QString* error)
{
    // A missing file and an Office 97-2003 workbook: DictionaryWorkbook says why, or converts it. An
    // encrypted package is a package to open with the run's password.
    if (!QFileInfo::exists(path) || documentContentOf(path) == DocumentContent::ExcelBinary)
        return DictionaryWorkbook::read(path, error, kScopeOpenPassword);
    const auto book = openScopeWorkbook<office::Workbook>(path, error);
    return book ? DictionaryWorkbook::read(*book, error) : std::nullopt;
}

} // namespace varnel::excelscope
