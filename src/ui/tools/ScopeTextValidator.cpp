#include "ui/tools/ScopeTextValidator.h"

namespace varnel::ui {

namespace {

// The character the kind keeps for c, or a null character when c is dropped.
QChar kept(ScopeTextValidator::Kind kind, QChar c)
{
    const char16_t u = c.unicode();
    if (kind == ScopeTextValidator::Kind::RowNumber)
        return u >= u'0' && u <= u'9' ? c : QChar();
    if (u >= u'A' && u <= u'Z')
        return c;
    if (u >= u'a' && u <= u'z')
        return QChar(static_cast<char16_t>(u - 32));
    return QChar();
}

} // namespace

ScopeTextValidator::ScopeTextValidator(Kind kind, QObject* parent)
    : QValidator(parent)
    , m_kind(kind)
{
}

QValidator::State ScopeTextValidator::validate(QString& input, int& pos) const
{
    QString result;
    result.reserve(input.size());
    int newPos = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = kept(m_kind, input.at(i));
        if (!c.isNull())
            result.append(c);
        else if (i < pos)
            --newPos;
    }
    input = result;
    pos = newPos;
    return Acceptable;
}

} // namespace varnel::ui
