#include "core/ReplaceOptions.h"
#include "core/SettingsStore.h"

#include <QHash>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;

namespace {

// A settings store in memory that remembers the order of writes.
class MemoryStore : public SettingsStore
{
public:
    QString read(const QString& section, const QString& key, const QString& defaultValue) const override
    {
        return values.value(section + u'/' + key, defaultValue);
    }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        values.insert(section + u'/' + key, value);
        writes.append(section + u'/' + key);
    }
    QHash<QString, QString> values;
    QStringList writes;
};

struct InterlockFixture {
    ReplaceOptions options;
    QStringList notices;
    OptionInterlock interlock{options, [this](const QString&, const QString& text) { notices.append(text); }};
};

// Settings restored from a store holding the given values.
struct RestoreFixture : InterlockFixture {
    explicit RestoreFixture(const QHash<QString, QString>& values, const QString& defaultLog = {})
    {
        store.values = values;
        restoreSettings(store, interlock, settings, defaultLog);
    }
    MemoryStore store;
    MainSettings settings;
};

} // namespace

TEST(ReplaceOptions, FirstStartValuesAndTestsMatchTheOptionTable)
{
    const ReplaceOptions options;
    EXPECT_EQ(options.value(Option::MatchCase), 2);
    EXPECT_EQ(options.value(Option::XlsSheetName), 2);
    EXPECT_EQ(options.value(Option::Notepage), 2);
    EXPECT_EQ(options.value(Option::WordTextBox), 1);
    EXPECT_EQ(options.value(Option::HeaderFooter), 1);
    int clear = 0;
    for (const OptionSpec& spec : optionTable())
        clear += options.value(spec.option) == 0 ? 1 : 0;
    EXPECT_EQ(clear, 10);
    // The grey first-start boxes all act as on.
    EXPECT_TRUE(options.isOn(Option::MatchCase));
    EXPECT_TRUE(options.isOn(Option::XlsSheetName));
    EXPECT_TRUE(options.isOn(Option::Notepage));
}

TEST(ReplaceOptions, GreyValueCountsAsOnOnlyForNonzeroOptions)
{
    ReplaceOptions options;
    for (Option o : {Option::XlsWildcard, Option::XlsPageHeader, Option::XlsSheetName, Option::Notepage,
                     Option::MatchCase}) {
        options.setValue(o, 2);
        EXPECT_TRUE(options.isOn(o)) << optionSpec(o).control;
    }
    for (Option o : {Option::WholeWord, Option::TxtWholeWord, Option::Name, Option::LongFirst, Option::WholeCell,
                     Option::MatchWildcards, Option::HyperLink, Option::PPTWholeWord, Option::WordTextBox,
                     Option::HeaderFooter}) {
        options.setValue(o, 2);
        EXPECT_FALSE(options.isOn(o)) << optionSpec(o).control;
        options.setValue(o, 1);
        EXPECT_TRUE(options.isOn(o)) << optionSpec(o).control;
    }
}

TEST(OptionInterlock, UntickingMatchCaseUnticksWordWildcards)
{
    InterlockFixture f;
    f.options.setValue(Option::MatchWildcards, 1);
    f.options.setValue(Option::MatchCase, 1);
    f.interlock.assign(Option::MatchCase, 0);
    EXPECT_EQ(f.options.value(Option::MatchWildcards), 0);
    EXPECT_TRUE(f.notices.isEmpty());
}

TEST(OptionInterlock, TickingWildcardsShowsTheNoticeOnceAndTicksMatchCase)
{
    InterlockFixture f;
    f.options.setValue(Option::MatchCase, 0);
    f.interlock.assign(Option::MatchWildcards, 1);
    ASSERT_EQ(f.notices.size(), 1);
    EXPECT_EQ(f.notices[0], OptionInterlock::wildcardNoticeText());
    EXPECT_TRUE(f.notices[0].contains(QStringLiteral("\r\n如果您不清楚什么是通配符")));
    EXPECT_EQ(f.options.value(Option::MatchCase), 1);
    EXPECT_EQ(f.options.value(Option::MatchWildcards), 1);
}

TEST(OptionInterlock, GreyMatchCaseIsLeftAloneByWildcards)
{
    InterlockFixture f; // MatchCase starts at 2
    f.interlock.assign(Option::MatchWildcards, 1);
    EXPECT_EQ(f.options.value(Option::MatchCase), 2);
    EXPECT_EQ(f.notices.size(), 1);
}

TEST(Settings, EmptyStoreRestoresFirstStartValues)
{
    const RestoreFixture f({}, QStringLiteral("/home/u/Desktop/Varnel.log"));
    EXPECT_EQ(f.options, ReplaceOptions());
    EXPECT_EQ(f.settings.logPath, QStringLiteral("/home/u/Desktop/Varnel.log"));
    EXPECT_FALSE(f.settings.excelDictionary);
    EXPECT_TRUE(f.settings.addDir.isEmpty());
    EXPECT_FALSE(f.interlock.restoring());
}

TEST(Settings, RestoringWildcardsWithoutMatchCaseTicksMatchCaseSilently)
{
    RestoreFixture f({{"Option/MatchCase", "0"}, {"Option/ChkMatchWildcards", "1"}});
    EXPECT_TRUE(f.notices.isEmpty());
    EXPECT_EQ(f.options.value(Option::MatchWildcards), 1);
    EXPECT_EQ(f.options.value(Option::MatchCase), 1);
    saveSettings(f.store, f.options, f.settings);
    EXPECT_EQ(f.store.values.value("Option/MatchCase"), "1");
}

TEST(Settings, ValuesThatAreNotBoxValuesFallBackToFirstStart)
{
    const RestoreFixture f({{"Option/MatchCase", "abc"}, {"Option/ChkWordTextBox", "7"}, {"Option/ChkName", " 1 "},
                            {"Option/XlsSheetName", "0"}, {"Page/PageIndex", "x"}});
    EXPECT_EQ(f.options.value(Option::MatchCase), 2);
    EXPECT_EQ(f.options.value(Option::WordTextBox), 1);
    EXPECT_EQ(f.options.value(Option::Name), 1);
    EXPECT_EQ(f.options.value(Option::XlsSheetName), 0);
    EXPECT_FALSE(f.settings.excelDictionary);
}

TEST(Settings, PageIndexSelectsTheWorkbookOnlyForTwo)
{
    for (const auto& [stored, expected] : {std::pair{"2", true}, {"1", false}, {"0", false}, {"3", false}})
        EXPECT_EQ(RestoreFixture({{"Page/PageIndex", stored}}).settings.excelDictionary, expected) << stored;
}

TEST(Settings, SaveWritesInTheStoredOrderAndRoundTripsThroughQSettings)
{
    QTemporaryDir dir;
    ReplaceOptions options;
    options.setValue(Option::LongFirst, 1);
    options.setValue(Option::MatchCase, 0);
    MainSettings settings{"/a/", "/b/", "/c", ".txt", "/d/log.txt", true};

    MemoryStore order;
    saveSettings(order, options, settings);
    ASSERT_EQ(order.writes.size(), 21);
    EXPECT_EQ(order.writes.first(), "Option/ChkHeaderFooter");
    EXPECT_EQ(order.writes[1], "Option/MatchCase");
    EXPECT_EQ(order.writes[14], "Option/ChkLongFirst");
    EXPECT_EQ(order.writes[19], "Page/PageIndex");
    EXPECT_EQ(order.writes.last(), "Option/txtLog");

    {
        QtSettingsStore store(dir.filePath("varnel.ini"));
        saveSettings(store, options, settings);
        store.sync();
    }
    QtSettingsStore store(dir.filePath("varnel.ini"));
    ReplaceOptions restored;
    OptionInterlock interlock(restored);
    MainSettings back;
    restoreSettings(store, interlock, back, {});
    EXPECT_EQ(restored, options);
    EXPECT_EQ(back.addFilePath, "/a/");
    EXPECT_EQ(back.dicFilePath, "/b/");
    EXPECT_EQ(back.addDir, "/c");
    EXPECT_EQ(back.addExt, ".txt");
    EXPECT_EQ(back.logPath, "/d/log.txt");
    EXPECT_TRUE(back.excelDictionary);
}
