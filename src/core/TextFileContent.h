#pragma once
// A text file taken apart for editing and put together again, in the encoding the detector found. The
// text engine and the width converter share it, so both write a file exactly the same way.

#include "core/TextEncoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace varnel {

// A text file taken apart: the text, and what surrounds it in the file and must come back unchanged.
struct TextFile {
    TextEncoding encoding = TextEncoding::None;
    QByteArrayView body;  // the bytes the text was decoded from
    QByteArrayView tail;  // the odd last byte of a UTF-16 file, which holds no whole code unit
    QString text;
    std::optional<bool> roundTrips; // whether encoding text gives body again; worked out when needed
};

// Decodes the file's bytes (Ansi as GB18030, UTF-8 without its mark, UTF-16LE without its mark). The
// views of the result point into bytes, which must outlive it. None and Utf16Be give no text.
TextFile decodeTextFile(TextEncoding encoding, QByteArrayView bytes);
// The bytes of a file holding text in the file's encoding: UTF-8 with the mark EF BB BF, UTF-16LE with
// FF FE (and the odd last byte kept), Ansi as GB18030 without a mark.
QByteArray encodeTextFile(const TextFile& file, const QString& text);
// Empty when writing the unchanged text back would give the original bytes, else why not. Decoding
// replaces bytes that are invalid in the encoding, so a file holding any would be damaged outside the
// edited text.
QString lossyReadDescription(const TextFile& file);

} // namespace varnel
