#include "definitions/DictionaryLoader.h"

#include "definitions/DictionaryWorkbook.h"

namespace varnel {

QString dictionaryCountText(int count)
{
    return QStringLiteral("替换定义：%1 条").arg(count);
}

std::optional<ReplacePairs> LoadDictionaryWorkbook(const QString& path, UserInterface& ui,
                                                   const std::function<void(int count)>& showCount,
                                                   const QString& password)
{
    QString error;
    const std::optional<DictionaryContent> content = DictionaryWorkbook::read(path, &error, password);
    if (!content) {
        ui.notice(QStringLiteral("无法读取替换定义Excel工作簿：“%1”\r\n%2").arg(path, error),
                  UserInterface::Icon::Error);
        return std::nullopt;
    }
    for (const int row : content->longRows) {
        ui.skippableNotice(QStringLiteral("文件“%1”第 %2 行替换定义超过255字长，替换Word、Excel或Powerpoint文件时将被忽略。")
                               .arg(path)
                               .arg(row));
    }
    if (showCount)
        showCount(int(content->pairs.size()));
    if (content->pairs.isEmpty())
        ui.notice(QStringLiteral("替换定义Excel工作簿：“%1”内容为空，请检查替换定义工作簿！").arg(path));
    return content->pairs;
}

} // namespace varnel
