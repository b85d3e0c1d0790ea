#include "office/rtf/RtfDocumentSettings.h"

#include "office/rtf/RtfCodePage.h"

namespace varnel {

bool RtfDocumentSettings::apply(RtfWordAction::Kind kind, const RtfToken& token)
{
    switch (kind) {
    case RtfWordAction::DefaultFont: m_defaultFont = token.param; return true;
    case RtfWordAction::AnsiCodePage: m_ansiCodePage = token.param; return true;
    case RtfWordAction::Ansi: m_baseCodePage = 1252; return true;
    case RtfWordAction::Mac: m_baseCodePage = 10000; return true;
    case RtfWordAction::Pc: m_baseCodePage = 437; return true;
    case RtfWordAction::Pca: m_baseCodePage = 850; return true;
    case RtfWordAction::ProtectionLevel: m_protectionLevel = token.param; return true;
    case RtfWordAction::EnforceProtection: m_enforceProtection = token.hasParam ? token.param : 1; return true;
    case RtfWordAction::ReadProtection: m_readProtection = true; return true;
    case RtfWordAction::TrackChanges: m_revisions = true; return true;
    case RtfWordAction::Charset:
    case RtfWordAction::FontCodePage:
        return true; // only meaningful in the font table
    default:
        return false;
    }
}

void RtfDocumentSettings::describeFont(int font, RtfWordAction::Kind kind, int value)
{
    if (kind == RtfWordAction::Charset)
        m_fonts[font].charset = value;
    else if (kind == RtfWordAction::FontCodePage)
        m_fonts[font].codePage = value;
}

int RtfDocumentSettings::fontCodePage(int font) const
{
    const auto it = m_fonts.find(font);
    if (it == m_fonts.end())
        return 0;
    if (it->second.codePage > 0)
        return it->second.codePage;
    return RtfCodePage::fromCharset(it->second.charset);
}

int RtfDocumentSettings::codePage(int font, int assocFont, bool doubleByteRun) const
{
    if (doubleByteRun && assocFont >= 0) {
        const int associated = fontCodePage(assocFont);
        if (associated > 0 && RtfCodePage::get(associated).isDoubleByte())
            return associated;
    }
    const int own = fontCodePage(font >= 0 ? font : m_defaultFont);
    if (own > 0)
        return own;
    return m_ansiCodePage > 0 ? m_ansiCodePage : m_baseCodePage;
}

bool RtfDocumentSettings::editingRestricted() const
{
    return ((m_protectionLevel >= 1 && m_protectionLevel <= 3) || m_readProtection) && m_enforceProtection != 0;
}

bool RtfDocumentSettings::tracksChanges() const
{
    return m_revisions || (m_protectionLevel == 0 && m_enforceProtection != 0);
}

} // namespace varnel
