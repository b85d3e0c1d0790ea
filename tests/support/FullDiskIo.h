#pragma once
// A FileIo whose every write fails as a full disk does ("磁盘已满"), for tests that check a failed save
// leaves the file as it was. Install it with ScopedFileIo.

#include "core/FileIo.h"

namespace varnel::test {

class FullDiskIo : public FileIo
{
public:
    bool writeAtomically(const QString&, const QByteArray&, QString* error) const override
    {
        *error = QStringLiteral("磁盘已满");
        return false;
    }
};

} // namespace varnel::test
