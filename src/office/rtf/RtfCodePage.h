#pragma once
// The code pages an RTF document's \'hh bytes are written in: which bytes start a double-byte character,
// how the bytes of one character decode, and how a character encodes for the fallback of an inserted \uN.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

namespace varnel {

class RtfCodePage
{
public:
    // Windows code page used for symbol fonts (\fcharset2): byte b reads as U+F000 + b.
    static constexpr int Symbol = 42;

    // The code page of a font's \fcharsetN, or 0 when the charset names none (ANSI, default, unknown):
    // such text is in the document's code page.
    static int fromCharset(int charset);
    // The code page of a number, cached for the thread; an unknown number reads as windows-1252.
    static const RtfCodePage& get(int number);

    int number() const { return m_number; }
    bool isDoubleByte() const { return m_doubleByte; }
    // How many bytes the character starting with these bytes has (1, 2 or 4), once enough of them are
    // known to tell; 0 when another byte is needed to decide.
    int sequenceLength(QByteArrayView start) const;
    // The text of one whole character's bytes (U+FFFD for an invalid sequence).
    QString decode(QByteArrayView bytes) const;
    // The same for the usual case of a character of one or two bytes that reads as one code unit:
    // true and *unit set; false when decode() must be asked.
    bool decodeUnit(QByteArrayView bytes, char16_t* unit) const;
    // The bytes of a character (one code point, possibly a surrogate pair), or empty when the code page
    // cannot hold it.
    QByteArray encode(QStringView character) const;

    explicit RtfCodePage(int number);

private:
    bool isLeadByte(unsigned char byte) const;

    int m_number = 1252;
    bool m_doubleByte = false;
    bool m_gb18030 = false;
    QByteArray m_codecName;             // ICU name; empty for the symbol page and GB18030
    std::vector<char16_t> m_singleBytes; // decoded bytes 0..255 of a single-byte page
    mutable std::vector<char16_t> m_pairs; // decoded double-byte pairs, 0 = not yet decoded
};

} // namespace varnel
