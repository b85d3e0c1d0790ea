#pragma once
// The input filter of the scope boxes: row numbers take the digits 0 to 9 only, column boxes the letters
// A to Z, lower case turned into capitals. Whatever else is typed or pasted is dropped character by
// character, so pasting "c-e" into a column box gives "CE" rather than refusing the whole paste.

#include <QValidator>

namespace varnel::ui {

class ScopeTextValidator : public QValidator
{
    Q_OBJECT
public:
    enum class Kind { RowNumber, ColumnLetters };

    ScopeTextValidator(Kind kind, QObject* parent);

    // Drops what the kind does not take (moving the cursor back over what was dropped before it);
    // what is left is always acceptable.
    State validate(QString& input, int& pos) const override;

private:
    Kind m_kind;
};

} // namespace varnel::ui
