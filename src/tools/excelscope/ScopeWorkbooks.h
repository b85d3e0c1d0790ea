#pragma once
// Where a scoped run opens its workbooks: the targets and the dictionary alike go through
// openScopeWorkbook, the one place that gives every workbook the run's fixed opening password, "5831".
// A workbook without an opening password opens as usual; one encrypted with another password is refused
// with its reason and left as it was.

#include "definitions/DictionaryWorkbook.h"

#include <QString>

#include <memory>
#include <optional>

namespace varnel::excelscope {

// The package of a workbook (an office::XlsxWorkbook to edit, an office::Workbook to read) opened by
// Book::open; nullptr with *error when it cannot be.
inline const QString kScopeOpenPassword = QStringLiteral("5831");

template<typename Book>
std::unique_ptr<Book> openScopeWorkbook(const QString& path, QString* error)
{
    return Book::open(path, error, kScopeOpenPassword);
}

// The definitions of the dictionary workbook at path, read as DictionaryWorkbook reads them, a package
// opened through openScopeWorkbook (an Office 97-2003 file goes to LibreOffice as DictionaryWorkbook
// converts it); nullopt with *error when it cannot be read.
std::optional<DictionaryContent> readScopeDictionary(const QString& path, QString* error);

} // namespace varnel::excelscope
