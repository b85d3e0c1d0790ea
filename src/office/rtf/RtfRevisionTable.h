#pragma once
// The revision table of an RTF document (\*\revtbl): the authors tracked changes name by their index
// (\revauthN, \revauthdelN), and where an author not in it yet is written.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace varnel {

class RtfRevisionTable
{
public:
    // Reads the authors from the table group's content (the bytes between \revtbl and the group's closing
    // brace, which is at closeBrace).
    void read(QByteArrayView content, qsizetype closeBrace);
    // Where a table goes in a document that has none.
    void setPlace(qsizetype offset) { m_place = offset; }

    const QStringList& authors() const { return m_authors; }
    // The index of an author in the table; -1 when the table has none of that name.
    int indexOf(const QString& author) const { return static_cast<int>(m_authors.indexOf(author)); }

    // The bytes that add an author (an entry before the table's closing brace, or a whole table with the
    // customary first entry "Unknown" where the table goes) and the offset they are inserted at.
    // *index receives the author's index once they are in.
    QByteArray addition(const QString& author, qsizetype* offset, int* index) const;

private:
    QStringList m_authors;
    qsizetype m_closeBrace = -1;
    qsizetype m_place = -1;
};

} // namespace varnel
