#pragma once
// Splits RTF bytes into tokens without losing any: every token carries the byte range it came from, so
// an edit can replace exactly the bytes of some characters and copy everything else as it was.

#include <QByteArrayView>
#include <QString>

namespace varnel {

enum class RtfTokenType {
    GroupOpen,     // {
    GroupClose,    // }
    ControlWord,   // \word, \wordN, \word-N (a space delimiter belongs to the token); \binN includes its data
    ControlSymbol, // \ followed by one character that is not a letter (\~ \- \_ \* \{ \\ ...), except \'
    HexByte,       // \'hh
    Text,          // a run of text bytes (no \ { } CR LF)
    LineEnd,       // CR or LF bytes, which RTF ignores
    End,           // the end of the data
    Error,         // malformed data; see RtfTokenizer::error()
};

struct RtfToken {
    RtfTokenType type = RtfTokenType::End;
    qsizetype begin = 0; // first byte of the token
    qsizetype end = 0;   // one past its last byte
    QByteArrayView word; // ControlWord: the letters
    int param = 0;       // ControlWord: the numeric parameter (clamped to int), 0 when absent
    bool hasParam = false;
    bool delimited = false; // ControlWord: a space delimiter ended it (part of the token)
    char symbol = 0;        // ControlSymbol: the character after the backslash
    unsigned char byte = 0; // HexByte: its value
    QByteArrayView text;    // Text: the bytes; ControlWord \bin: the binary data

    bool isWord(const char* name) const { return type == RtfTokenType::ControlWord && word == QByteArrayView(name); }
};

class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView data);

    // The next token; End at the end, Error (and no more tokens) on malformed data.
    RtfToken next();

    // Why the data is malformed, and where (byte offset), once next() returned Error.
    const QString& error() const { return m_error; }
    qsizetype errorOffset() const { return m_errorOffset; }

private:
    RtfToken fail(qsizetype offset, const QString& message);
    RtfToken controlWord(qsizetype start);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QString m_error;
    qsizetype m_errorOffset = -1;
};

} // namespace varnel
