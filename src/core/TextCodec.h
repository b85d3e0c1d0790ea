#pragma once
// Byte <-> text conversions. Chinese "Ansi" text is GB18030: byte-identical to GB2312 and GBK for their
// characters, and able to hold every character, so nothing is ever written as "?".

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace varnel {

enum class Charset { Gb18030, Utf8 };

// Decodes bytes (no byte-order mark handling). *roundTrips, when given, is set to whether encoding the
// result again gives exactly the same bytes (false for invalid sequences).
QString decodeText(Charset charset, QByteArrayView bytes, bool* roundTrips = nullptr);
QByteArray encodeText(Charset charset, QStringView text);

// True when the character is encoded in two bytes by the Chinese code page (GBK): every CJK ideograph,
// full-width form and Chinese punctuation mark. Such a character is a word boundary for whole-word rules.
bool isDoubleByteInAnsi(char16_t unit);

// Text of a file the user brings in (definition files): UTF-16 by its byte-order mark, UTF-8 by its mark
// or when the bytes are valid UTF-8, otherwise GB18030.
QString decodeImportedText(QByteArrayView bytes);
// Text of a file the program writes itself (log, TAB definition files): the system locale's encoding.
QByteArray encodeLocalText(QStringView text);

} // namespace varnel
