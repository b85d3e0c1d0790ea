#pragma once
// The ten definitions every benchmark replaces, and the filler words the Word and PowerPoint corpora are
// written with, so that their figures compare.

#include <QStringList>

namespace varnel::bench {

using namespace Qt::Literals::StringLiterals;

inline const QStringList kFinds = {u"alpha"_s, u"value"_s, u"Delta"_s, u"hello"_s, u"world"_s,
                                   u"北京"_s,  u"数据"_s,  u"替换"_s,  u"文件"_s,  u"测试"_s};
inline const QStringList kReplaces = {u"omega"_s, u"amount"_s, u"Sigma"_s, u"goodbye"_s, u"earth"_s,
                                      u"上海"_s,  u"信息"_s,   u"更换"_s,  u"文档"_s,    u"试验"_s};
// Filler words of the documents; a corpus draws a find text instead of one of them now and then.
inline const QStringList kFillerWords = {
    u"the"_s,  u"quick"_s, u"brown"_s, u"fox"_s,  u"jumps"_s, u"over"_s, u"lazy"_s, u"dog"_s,  u"2024"_s,
    u"report"_s, u"system"_s, u"program"_s, u"data"_s, u"file"_s, u"we"_s, u"today"_s, u"is"_s, u"fine"_s,
    u"我们"_s, u"今天"_s, u"天气"_s, u"很好"_s, u"报告"_s, u"系统"_s, u"程序"_s, u"发展"_s, u"中国"_s,
    u"公司"_s, u"项目"_s, u"时间"_s, u"会议"_s, u"，"_s, u"。"_s,
};

} // namespace varnel::bench
