#include "core/ReplaceOptions.h"

namespace varnel {

namespace {

using enum OptionTest;

constexpr std::array<OptionSpec, OptionCount> kOptions{{
    {Option::LongFirst, "ChkLongFirst", "ChkLongFirst", "优先替换长的替换项目", 0, ExactlyOne},
    {Option::XlsPageHeader, "ChkXlsPageHeader", "ChkXlsPageHeader", "替换Excel文档页眉页脚", 0, Nonzero},
    {Option::TxtWholeWord, "ChkTxtWholeWord", "ChkTxtWholeWord", "替换文本文件时全字匹配（英文和数字）", 0,
     ExactlyOne},
    {Option::Name, "ChkName", "ChkName", "替换文档文件名", 0, ExactlyOne},
    {Option::XlsSheetName, "ChkXlsSheetName", "XlsSheetName", "替换Excel文档中工作表名称", 2, Nonzero},
    {Option::Notepage, "ChkNotepage", "ChkNotepage", "替换PPT幻灯片备注页", 2, Nonzero},
    {Option::WholeCell, "ChkWholeCell", "ChkWholeCell", "替换Excel文档时单元格匹配", 0, ExactlyOne},
    {Option::XlsWildcard, "ChkXlsWildcard", "ChkXlsWildcard", "使用通配符替换Excel文档", 0, Nonzero},
    {Option::MatchWildcards, "ChkMatchWildcards", "ChkMatchWildcards", "使用通配符替换Word文档", 0, ExactlyOne},
    {Option::HyperLink, "ChkHyperLink", "ChkHyperLink", "替换Word文档中的超链接地址", 0, ExactlyOne},
    {Option::PPTWholeWord, "ChkPPTWholeWord", "ChkPPTWholeWord", "替换PowerPoint幻灯片文档时全字匹配", 0,
     ExactlyOne},
    {Option::WordTextBox, "ChkWordTextBox", "ChkWordTextBox", "处理Word文档时替换文本框中的内容", 1, ExactlyOne},
    {Option::WholeWord, "ChkWholeWord", "ChkWholeWord", "替换Word文档时全字匹配（英文和数字）", 0, ExactlyOne},
    {Option::HeaderFooter, "ChkHeaderFooter", "ChkHeaderFooter", "替换Word文档的页眉页脚", 1, ExactlyOne},
    {Option::MatchCase, "ChkMatchCase", "MatchCase", "区分大小写（全角半角）", 2, Nonzero},
}};

constexpr std::array<Option, OptionCount> kRestoreOrder{
    Option::HeaderFooter, Option::MatchCase,   Option::XlsSheetName, Option::XlsWildcard,
    Option::WholeCell,    Option::WholeWord,   Option::HyperLink,    Option::MatchWildcards,
    Option::PPTWholeWord, Option::Notepage,    Option::WordTextBox,  Option::Name,
    Option::TxtWholeWord, Option::XlsPageHeader, Option::LongFirst,
};

constexpr bool tableIsIndexedByOption()
{
    for (std::size_t i = 0; i < kOptions.size(); ++i)
        if (static_cast<std::size_t>(kOptions[i].option) != i)
            return false;
    return true;
}
static_assert(tableIsIndexedByOption(), "the option table must follow the order of enum Option");

} // namespace

std::span<const OptionSpec, OptionCount> optionTable()
{
    return kOptions;
}

const OptionSpec& optionSpec(Option option)
{
    return kOptions[static_cast<std::size_t>(option)];
}

std::span<const Option, OptionCount> optionRestoreOrder()
{
    return kRestoreOrder;
}

ReplaceOptions::ReplaceOptions()
{
    for (const OptionSpec& spec : kOptions)
        m_values[index(spec.option)] = spec.firstStart;
}

bool ReplaceOptions::isOn(Option option) const
{
    const int v = value(option);
    return optionSpec(option).test == Nonzero ? v != 0 : v == 1;
}

OptionInterlock::OptionInterlock(ReplaceOptions& options, NoticeFn notice)
    : m_options(options)
    , m_notice(std::move(notice))
{
}

bool OptionInterlock::assign(Option option, int value)
{
    if (m_options.value(option) == value)
        return false;
    m_options.setValue(option, value);
    clicked(option);
    return true;
}

void OptionInterlock::clicked(Option option)
{
    if (option == Option::MatchCase) {
        if (m_options.value(Option::MatchWildcards) == 1 && m_options.value(Option::MatchCase) == 0)
            assign(Option::MatchWildcards, 0);
    } else if (option == Option::MatchWildcards) {
        if (m_options.value(Option::MatchWildcards) == 1 && !m_restoring && m_notice)
            m_notice(wildcardNoticeTitle(), wildcardNoticeText());
        if (m_options.value(Option::MatchWildcards) == 1 && m_options.value(Option::MatchCase) == 0)
            assign(Option::MatchCase, 1);
    }
}

QString OptionInterlock::wildcardNoticeTitle()
{
    return QStringLiteral("提示");
}

QString OptionInterlock::wildcardNoticeText()
{
    return QStringLiteral("使用通配符将使包括：括号()[]{}、问号？等多个符号发生转义。\r\n"
                          "如果您不清楚什么是通配符，建议您不要勾选。");
}

} // namespace varnel
