#include "filelist/ConverterListRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace varnel;

TEST(ConverterListRules, OffersWordAndTextOnly)
{
    OfficeCapabilities caps;
    caps.hasWord = true;
    EXPECT_EQ(converterAddFilesFilter(caps), QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf|文本文件(*.txt)|*.txt"));
    caps.wordNewFormats = true;
    caps.hasExcel = true;
    EXPECT_EQ(converterAddFilesFilter(caps),
              QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf|文本文件(*.txt)|*.txt"));
}

TEST(ConverterListRules, DropTakesDocTxtAndDocxWithTheNewFormats)
{
    OfficeCapabilities caps;
    caps.hasWord = true;
    caps.hasExcel = true;
    const struct {
        const char* path;
        bool withoutNewFormats;
        bool withNewFormats;
    } cases[] = {
        {"/d/a.doc", true, true},    {"/d/A.DOC", true, true},   {"/d/notes.TXT", true, true},
        {"/d/a.docx", false, true},  {"/d/a.rtf", false, false}, {"/d/a.htm", false, false},
        {"/d/a.xls", false, false},  {"/d/doc", false, false},
    };
    for (const auto& c : cases) {
        caps.wordNewFormats = false;
        EXPECT_EQ(converterDropAdmits(QString::fromUtf8(c.path), caps), c.withoutNewFormats) << c.path;
        caps.wordNewFormats = true;
        EXPECT_EQ(converterDropAdmits(QString::fromUtf8(c.path), caps), c.withNewFormats) << c.path;
    }
}
