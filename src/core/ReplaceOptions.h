#pragma once
// The fifteen options of a run. A box holds 0 (clear), 1 (ticked) or 2 (ticked and grey, only from
// first-start defaults or a stored "2"). Each option is tested either as *nonzero* (2 counts as on) or
// as *exactly 1* (2 counts as off); the table in ReplaceOptions.cpp fixes which, so consumers only ever
// ask isOn() and can never test an option the wrong way.

#include <QString>

#include <array>
#include <functional>
#include <span>

namespace varnel {

enum class Option {
    LongFirst,      // ChkLongFirst: order definitions longest first
    XlsPageHeader,  // ChkXlsPageHeader: Excel headers and footers
    TxtWholeWord,   // ChkTxtWholeWord: whole-word rule of the text engine
    Name,           // ChkName: replace in file names
    XlsSheetName,   // ChkXlsSheetName: Excel worksheet names
    Notepage,       // ChkNotepage: PowerPoint notes pages
    WholeCell,      // ChkWholeCell: Excel whole-cell match
    XlsWildcard,    // ChkXlsWildcard: Excel wildcards
    MatchWildcards, // ChkMatchWildcards: Word wildcards
    HyperLink,      // ChkHyperLink: Word hyperlink addresses
    PPTWholeWord,   // ChkPPTWholeWord: PowerPoint whole word
    WordTextBox,    // ChkWordTextBox: Word text boxes
    WholeWord,      // ChkWholeWord: Word whole word
    HeaderFooter,   // ChkHeaderFooter: Word headers and footers
    MatchCase,      // ChkMatchCase: case (and width) sensitive comparison
};

inline constexpr int OptionCount = 15;

enum class OptionTest { Nonzero, ExactlyOne };

struct OptionSpec {
    Option option;
    const char* control;    // objectName of the check box
    const char* settingsKey; // key in section "Option"
    const char* caption;    // UTF-8 caption of the check box
    int firstStart;         // value when the store has none
    OptionTest test;
};

// All options, in the order the options panel defines them.
std::span<const OptionSpec, OptionCount> optionTable();
const OptionSpec& optionSpec(Option option);
// Order in which the options are restored at start-up and saved at shutdown.
std::span<const Option, OptionCount> optionRestoreOrder();

class ReplaceOptions
{
public:
    // Every option at its first-start value.
    ReplaceOptions();

    int value(Option option) const { return m_values[index(option)]; }
    void setValue(Option option, int value) { m_values[index(option)] = value; }
    // The option's own test applied to its value.
    bool isOn(Option option) const;

    bool operator==(const ReplaceOptions&) const = default;

private:
    static std::size_t index(Option option) { return static_cast<std::size_t>(option); }
    std::array<int, OptionCount> m_values{};
};

// The interlock of match case and Word wildcards (Word's wildcard search is case-sensitive by nature),
// as the window binds it: click handlers mutate the options and may ask for the wildcard notice.
class OptionInterlock
{
public:
    using NoticeFn = std::function<void(const QString& title, const QString& text)>;

    explicit OptionInterlock(ReplaceOptions& options, NoticeFn notice = {});

    // Set while stored settings are applied; suppresses the wildcard notice.
    void setRestoring(bool restoring) { m_restoring = restoring; }
    bool restoring() const { return m_restoring; }

    // Assigns a value the way a check box does: a value that differs from the current one runs the
    // box's click handler. Returns true when the value changed.
    bool assign(Option option, int value);
    // The click handler of a box, run after its value changed.
    void clicked(Option option);

    static QString wildcardNoticeTitle();
    static QString wildcardNoticeText();

private:
    ReplaceOptions& m_options;
    NoticeFn m_notice;
    bool m_restoring = false;
};

} // namespace varnel
