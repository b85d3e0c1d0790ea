#pragma once
// The six page header and footer texts of a worksheet (left, centre and right of the odd-page header and
// footer, as Excel's page setup names them), read from and written to the sheet's headerFooter element.
// Each stored text holds its sections behind the codes &L, &C and &R (text before any of them is the
// centre); every other code (&P, &"Arial,Bold", &&) is part of the text of its section.

#include <pugixml.hpp>

#include <QStringList>

namespace varnel::office {

class XlsxHeaderFooter
{
public:
    enum Text { LeftHeader, CenterHeader, RightHeader, LeftFooter, CenterFooter, RightFooter, Count };

    explicit XlsxHeaderFooter(pugi::xml_node worksheet);

    // The six texts, in the order of Text.
    QStringList texts() const;
    // Changes one text; the stored header or footer it belongs to is written again.
    void setText(int which, const QString& text);

    // Left, centre and right of one stored text, and back.
    static QStringList sections(const QString& stored);
    static QString joined(const QStringList& sections);

private:
    pugi::xml_node element(bool footer, bool create);

    pugi::xml_node m_worksheet;
};

} // namespace varnel::office
