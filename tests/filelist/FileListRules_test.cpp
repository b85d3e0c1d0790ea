#include "filelist/FileListRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace varnel;

namespace {

OfficeCapabilities wordOnly(bool newFormats)
{
    OfficeCapabilities caps;
    caps.hasWord = true;
    caps.wordNewFormats = newFormats;
    return caps;
}

OfficeCapabilities everything()
{
    return {true, true, true, true, true, true};
}

} // namespace

TEST(FileListRules, AddFilesFilterOffersOnlyTextTypesWithoutOfficeEngines)
{
    EXPECT_EQ(addFilesFilter({}), QStringLiteral("文本文件(*.txt)|*.txt|HTML文件(*.htm;*.html)|*.htm;*.html|"
                                                 "XML文件(*.xml)|*.xml|所有文件(*.*)|*.*"));
}

TEST(FileListRules, AddFilesFilterPutsOfficeTypesFirstWithTheirNewFormats)
{
    EXPECT_TRUE(addFilesFilter(wordOnly(false)).startsWith(QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf|文本文件")));
    EXPECT_TRUE(addFilesFilter(wordOnly(true))
                    .startsWith(QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf|文本文件")));
    EXPECT_TRUE(addFilesFilter(everything())
                    .startsWith(QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf|"
                                               "Excel文件(*.xls;*.xlsx;*.xlsm)|*.xls;*.xlsx;*.xlsm|"
                                               "PowerPoint文件(*.ppt;*.pptx)|*.ppt;*.pptx|文本文件(*.txt)")));
    OfficeCapabilities oldExcel;
    oldExcel.hasExcel = true;
    EXPECT_TRUE(addFilesFilter(oldExcel).startsWith(QStringLiteral("Excel文件(*.xls)|*.xls|文本文件")));
}

TEST(FileListRules, DropAdmitsTextTypesAlwaysAndOfficeTypesByCapabilityButNeverXlsm)
{
    const OfficeCapabilities none;
    const struct {
        const char* path;
        OfficeCapabilities caps;
        bool admitted;
    } cases[] = {
        {"/a/b.txt", none, true},           {"/a/b.HTM", none, true},           {"/a/b.html", none, true},
        {"/a/b.doc", none, false},          {"/a/b.xml", none, false},          {"/a/b.Doc", wordOnly(false), true},
        {"/a/b.rtf", wordOnly(false), true}, {"/a/b.docx", wordOnly(false), false}, {"/a/b.docx", wordOnly(true), true},
        {"/a/b.xlsx", everything(), true},  {"/a/b.pptx", everything(), true},  {"/a/b.xlsm", everything(), false},
        {"/a/b.cpp", everything(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dropAdmits(QString::fromUtf8(c.path), c.caps), c.admitted) << c.path;
}
