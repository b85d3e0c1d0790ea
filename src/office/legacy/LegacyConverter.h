#pragma once
// Converting documents with LibreOffice in headless mode, the bridge that lets the OOXML engines handle the
// Office 97-2003 binary formats (.doc .xls .ppt).
//
// Every conversion runs soffice with a private user profile (so it never hands the work to a LibreOffice
// the user has open, and never touches the user's settings), in its own process group (so a timeout kills
// soffice.bin too, not only the launcher). soffice's exit status says little (it is 0 for many failures),
// so success is judged by the output alone: it exists, is not empty and opens as the format it claims.

#include <QString>

#include <memory>

class QTemporaryDir;

namespace varnel::office {

class LegacyConverter
{
public:
    static constexpr int kDefaultTimeoutMs = 120 * 1000;

    LegacyConverter();
    ~LegacyConverter();
    LegacyConverter(const LegacyConverter&) = delete;
    LegacyConverter& operator=(const LegacyConverter&) = delete;

    // soffice (or libreoffice) found on PATH; empty when LibreOffice is not installed.
    static QString sofficePath();

    // How long one conversion may take before soffice is killed; 120 s by default.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }

    // Converts input into outDir with a --convert-to filter such as "docx:MS Word 2007 XML" (the part before
    // the colon is the output's extension). True with *outputPath set to the new file; false with a Chinese
    // *error. The input is only read.
    bool convert(const QString& input, const QString& outDir, const QString& targetFilter, QString* outputPath,
                 QString* error);

private:
    QString profileUrl();

    std::unique_ptr<QTemporaryDir> m_profile; // created with the first conversion, reused by the next ones
    int m_timeoutMs = kDefaultTimeoutMs;
};

} // namespace varnel::office
