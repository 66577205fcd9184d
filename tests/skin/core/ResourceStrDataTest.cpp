// The skin library's string table: its built-in lines and the name lookup.
#include "skin/core/ResourceStrData.h"

#include <gtest/gtest.h>

namespace {

TEST(ResourceStrData, BuiltInLines)
{
    TspResourceStrData table(nullptr);
    EXPECT_EQ(table.ResStrings()->Count(), 131);
    EXPECT_EQ(table.CharSet(), 1);
    EXPECT_EQ((*table.ResStrings())[0], "MI_MINCAPTION=Mi&nimize");
    EXPECT_EQ((*table.ResStrings())[130], "DBNAV_REFRESH=REFRESH");
    const std::pair<const char*, const char*> cases[] = {
        {"MSG_BTN_OK", "OK"},
        {"msg_btn_ok", "OK"},
        {"FLV_LOOKIN", "Look in: "},
        {"MI_ROLLUPCAPTION", "Ro&llUp"},
        {"FIND_REPLACE_All", "Replace All"},
        {"PRNDLG_WARNING", "There are no printers in your system!"},
        {"NO_SUCH_NAME", ""},
        {"", ""},
    };
    for (const auto& [name, text] : cases)
        EXPECT_EQ(table.GetResStr(name), text) << name;
    // Every line is NAME=text with a distinct name.
    for (int i = 0; i < table.ResStrings()->Count(); ++i) {
        const std::string name = table.ResStrings()->Names(i);
        ASSERT_FALSE(name.empty()) << i;
        EXPECT_EQ(table.ResStrings()->IndexOfName(name), i) << name;
    }
}

TEST(ResourceStrData, ReplacedLines)
{
    TspResourceStrData table(nullptr);
    TStringList language;
    language.SetText("MSG_BTN_YES=&Ja\nERROR=\nEQUATION=a=b\nDB_DELETE_QUESTION=first\nDB_DELETE_QUESTION=second\n");
    table.SetResStrings(&language);
    EXPECT_EQ(table.GetResStr("MSG_BTN_YES"), "&Ja");
    EXPECT_EQ(table.GetResStr("ERROR"), "");
    EXPECT_EQ(table.GetResStr("EQUATION"), "a=b");
    EXPECT_EQ(table.GetResStr("DB_DELETE_QUESTION"), "first");
    EXPECT_EQ(table.GetResStr("MSG_BTN_OK"), "");  // the defaults were replaced
    table.ResStrings()->Add("MSG_BTN_OK=Okay");
    EXPECT_EQ(table.GetResStr("msg_btn_ok"), "Okay");
}

}  // namespace
