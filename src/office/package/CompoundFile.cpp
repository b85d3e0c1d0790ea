#include "office/package/CompoundFile.h"

#include "office/package/CompoundFileTree.h"

namespace varnel::office {

bool hasCompoundFileSignature(QByteArrayView head)
{
    return head.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

QStringList compoundFileEntryNames(const QString& path)
{
    return CompoundFileTree::entryNames(path);
}

} // namespace varnel::office
