#include "office/rtf/RtfControlWords.h"

#include "office/docx/WordText.h"

#include <QHash>

#include <utility>

namespace varnel {

namespace {

const QHash<QByteArray, RtfDestination>& destinations()
{
    static const QHash<QByteArray, RtfDestination> table = [] {
        QHash<QByteArray, RtfDestination> t;
        for (const char* name :
             {"header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf"})
            t.insert(name, RtfDestination::HeaderFooter);
        t.insert("footnote", RtfDestination::Note);
        t.insert("shptxt", RtfDestination::TextBox);
        t.insert("dptxbxtext", RtfDestination::TextBox);
        for (const char* name : {"shp", "shpgrp", "shpinst", "do", "pgdsc"})
            t.insert(name, RtfDestination::Container);
        t.insert("shprslt", RtfDestination::MirrorContainer);
        t.insert("pgdsctbl", RtfDestination::MirrorContainer);
        t.insert("field", RtfDestination::Field);
        t.insert("fldinst", RtfDestination::FieldInstruction);
        t.insert("fldrslt", RtfDestination::Transparent);
        t.insert("ud", RtfDestination::Transparent);
        t.insert("upr", RtfDestination::UnicodePair);
        t.insert("sp", RtfDestination::ShapeProperty);
        t.insert("sn", RtfDestination::PropertyName);
        t.insert("sv", RtfDestination::PropertyValue);
        t.insert("fonttbl", RtfDestination::FontTable);
        t.insert("revtbl", RtfDestination::RevisionTable);
        for (const char* name : {"pict", "shppict", "nonshppict", "object"})
            t.insert(name, RtfDestination::SkipBarrier);
        // Destinations that may appear without \* and hold no document text.
        for (const char* name :
             {"aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atndate", "atnicn", "atnid",
              "atnparent", "atnref", "atntime", "atrfend", "atrfstart", "author", "background", "bkmkend",
              "bkmkstart", "blipuid", "buptim", "category", "colorschememapping", "colortbl", "comment",
              "company", "creatim", "datafield", "datastore", "defchp", "defpap", "docvar", "doccomm",
              "falt", "ffdeftext", "ffentrymcr", "ffexitmcr", "ffformat", "ffhelptext", "ffl", "ffname",
              "ffstattext", "fldtype", "fname", "fontemb", "fontfile", "formfield", "ftncn",
              "ftnsep", "ftnsepc", "generator", "gridtbl", "hlfr", "hlinkbase", "hlloc", "hlsrc", "htmltag",
              "info", "keywords", "latentstyles", "listoverridetable", "listpicture", "listtable", "listtext",
              "lsdlockedexcept", "manager", "mhtmltag", "mmathPr", "nesttableprops", "nextfile", "nonesttables",
              "objalias", "objclass", "objdata", "objname", "objsect", "objtime", "oldcprops", "oldpprops",
              "oldsprops", "oldtprops", "operator", "panose", "pgptbl", "picprop", "pn", "pnseclvl", "pntext",
              "pntxta", "pntxtb", "printim", "private", "propname", "protusertbl", "result",
              "revtim", "rsidtbl", "rxe", "staticval", "stylesheet", "subject", "tc",
              "template", "themedata", "title", "txe", "userprops", "wgrffmtfilter", "xe", "xmlattrname",
              "xmlattrvalue", "xmlclose", "xmlname", "xmlnstbl", "xmlopen"})
            t.insert(name, RtfDestination::Skip);
        return t;
    }();
    return table;
}

} // namespace

RtfDestination rtfDestination(QByteArrayView word)
{
    // A key that borrows the token's bytes: no allocation per control word.
    const auto it = destinations().constFind(QByteArray::fromRawData(word.data(), word.size()));
    return it == destinations().cend() ? RtfDestination::None : *it;
}

const RtfWordAction* rtfWordAction(QByteArrayView word)
{
    static const QHash<QByteArray, RtfWordAction> table = [] {
        using namespace office::wordtext;
        QHash<QByteArray, RtfWordAction> t;
        const std::pair<const char*, char16_t> characters[] = {
            {"par", ParagraphMark}, {"tab", Tab},           {"line", LineBreak},   {"page", PageBreak},
            {"column", ColumnBreak}, {"emdash", 0x2014},    {"endash", 0x2013},    {"emspace", 0x2003},
            {"enspace", 0x2002},   {"qmspace", 0x2005},   {"bullet", 0x2022},    {"lquote", 0x2018},
            {"rquote", 0x2019},    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},
            {"zwnj", 0x200C},      {"zwbo", 0x200B},      {"ltrmark", 0x200E},   {"rtlmark", 0x200F},
        };
        for (const auto& [name, unit] : characters)
            t.insert(name, {RtfWordAction::Character, unit});
        for (const char* name : {"sect", "cell", "row", "nestcell", "nestrow", "chftn", "chatn", "chpgn", "chdate",
                                 "chtime", "chdpl", "chdpa", "chftnsep", "chftnsepc", "sectnum", "objattph", "bin"})
            t.insert(name, {RtfWordAction::Barrier, 0});
        const std::pair<const char*, RtfWordAction::Kind> others[] = {
            {"u", RtfWordAction::Unicode},           {"uc", RtfWordAction::UnicodeSkip},
            {"f", RtfWordAction::Font},              {"af", RtfWordAction::AssocFont},
            {"plain", RtfWordAction::Plain},         {"dbch", RtfWordAction::DoubleByteRun},
            {"loch", RtfWordAction::SingleByteRun},  {"hich", RtfWordAction::SingleByteRun},
            {"deff", RtfWordAction::DefaultFont},    {"ansicpg", RtfWordAction::AnsiCodePage},
            {"ansi", RtfWordAction::Ansi},           {"mac", RtfWordAction::Mac},
            {"pc", RtfWordAction::Pc},               {"pca", RtfWordAction::Pca},
            {"fcharset", RtfWordAction::Charset},    {"cpg", RtfWordAction::FontCodePage},
            {"protlevel", RtfWordAction::ProtectionLevel}, {"enforceprot", RtfWordAction::EnforceProtection},
            {"readprot", RtfWordAction::ReadProtection}, {"deleted", RtfWordAction::Deleted},
            {"pard", RtfWordAction::ParagraphReset}, {"intbl", RtfWordAction::InTable},
            {"itap", RtfWordAction::TableLevel},     {"revisions", RtfWordAction::TrackChanges},
            {"revprot", RtfWordAction::TrackChanges},
        };
        for (const auto& [name, kind] : others)
            t.insert(name, {kind, 0});
        return t;
    }();
    // A key that borrows the token's bytes: no allocation per control word.
    const auto it = table.constFind(QByteArray::fromRawData(word.data(), word.size()));
    return it == table.cend() ? nullptr : &*it;
}

} // namespace varnel
