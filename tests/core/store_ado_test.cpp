#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "scratch_dir.h"
#include "store/ado_database.h"

namespace fk {
namespace {

class AdoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.Dir() + "t.db";
        ASSERT_TRUE(CADODatabase::CreateDatabase(path));
        ASSERT_TRUE(db.Open(path));
        ASSERT_TRUE(
            db.Execute("CREATE TABLE t(ID INTEGER PRIMARY KEY, n INTEGER, s TEXT, r REAL) STRICT"));
    }
    int Count(const std::string& where = "") {
        CADORecordset rs(db);
        EXPECT_TRUE(rs.Open("select ID from t" + where));
        return rs.GetRecordCount();
    }

    testing::ScratchDir dir;
    std::string path;
    CADODatabase db;
};

struct ReadCase {
    const char* name;
    const char* values;  // SQL row values for (n, s, r)
    const char* column;
    bool ok;
    int as_int;
    short as_short;
    const char* as_text;
};

class AdoReadTest : public AdoTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(AdoReadTest, ConvertsColumnValues) {
    const ReadCase& c = GetParam();
    ASSERT_TRUE(db.Execute(std::string("insert into t(n,s,r) values") + c.values));
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    int i = -99;
    short h = -99;
    std::string text = "unchanged";
    EXPECT_EQ(rs.GetFieldValue(c.column, i), c.ok);
    EXPECT_EQ(rs.GetFieldValue(c.column, h), c.ok);
    ASSERT_TRUE(rs.GetFieldValue(c.column, text));
    EXPECT_EQ(text, c.as_text);
    if (c.ok) {
        EXPECT_EQ(i, c.as_int);
        EXPECT_EQ(h, c.as_short);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, AdoReadTest,
    ::testing::Values(ReadCase{"null_int", "(NULL,NULL,NULL)", "n", true, 0, 0, ""},
                      ReadCase{"null_text", "(NULL,NULL,NULL)", "s", true, 0, 0, ""},
                      ReadCase{"empty_text", "(1,'',0)", "s", true, 0, 0, ""},
                      ReadCase{"padded_number", "(1,' 42 ',0)", "s", true, 42, 42, " 42 "},
                      ReadCase{"word", "(1,'abc',0)", "s", false, 0, 0, "abc"},
                      ReadCase{"negative", "(-1,'x',0)", "n", true, -1, -1, "-1"},
                      ReadCase{"low_16_bits", "(70000,'x',0)", "n", true, 70000, 4464, "70000"},
                      ReadCase{"low_32_bits", "(4294967301,'x',0)", "n", true, 5, 5, "4294967301"},
                      ReadCase{"real", "(1,'x',3.75)", "r", true, 3, 3, "3.75"},
                      ReadCase{"name_case", "(7,'x',0)", "N", true, 7, 7, "7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdoTest, MissingColumnTextReadFails) {
    ASSERT_TRUE(db.Execute("insert into t(n) values(1)"));
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    std::string text;
    EXPECT_FALSE(rs.GetFieldValue("nope", text));
}

TEST_F(AdoTest, CountIsKnownBeforeReadingAndCursorWalksRowsInOrder) {
    for (int n : {10, 20, 30}) {
        ASSERT_TRUE(db.Execute("insert into t(n) values(?)", {SqlValue{std::int64_t{n}}}));
    }
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select n from t order by n"));
    ASSERT_EQ(rs.GetRecordCount(), 3);
    std::vector<int> seen;
    for (int i = 0; i < rs.GetRecordCount(); ++i, rs.MoveNext()) {
        int n = 0;
        ASSERT_TRUE(rs.GetFieldValue("n", n));
        seen.push_back(n);
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30}));
    EXPECT_TRUE(rs.IsEOF());
    int n = 0;
    EXPECT_FALSE(rs.GetFieldValue("n", n));
    rs.MoveFirst();
    ASSERT_TRUE(rs.GetFieldValue("n", n));
    EXPECT_EQ(n, 10);
}

TEST_F(AdoTest, EmptyResultHasNoRowsAndCannotBeEdited) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    EXPECT_EQ(rs.GetRecordCount(), 0);
    EXPECT_FALSE(rs.Edit());
}

TEST_F(AdoTest, FieldsCanBeSetOnlyWhileAddingOrEditing) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    EXPECT_FALSE(rs.SetFieldValue("n", 5));
    EXPECT_FALSE(rs.SetFieldValue("s", "x"));
    EXPECT_TRUE(rs.Update());  // nothing pending
    EXPECT_EQ(Count(), 0);
}

TEST_F(AdoTest, EmptyTextIsWrittenAsNull) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("s", ""));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(Count(" where s is null"), 1);
}

TEST_F(AdoTest, AddedAndEditedRowsAreWrittenAndVisibleThroughTheCursor) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t where s=?", {SqlValue{std::string("k")}}));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditMode::Adding);
    ASSERT_TRUE(rs.SetFieldValue("s", "k"));
    ASSERT_TRUE(rs.SetFieldValue("n", 4000000000UL));  // unsigned 32-bit stays positive
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditMode::None);
    rs.Close();

    ASSERT_TRUE(rs.Open("select * from t where s=?", {SqlValue{std::string("k")}}));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue("n", -7L));
    ASSERT_TRUE(rs.Update());
    int n = 0;
    ASSERT_TRUE(rs.GetFieldValue("n", n));
    EXPECT_EQ(n, -7);
    EXPECT_EQ(Count(" where n=-7"), 1);
    EXPECT_EQ(Count(), 1);
}

TEST_F(AdoTest, RefusedInsertIsCancelledAndLeavesNoRow) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("s", "kept?"));
    ASSERT_TRUE(rs.SetFieldValue("n", "not a number"));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditMode::None);
    EXPECT_EQ(Count(), 0);
    // The cursor is usable again: a sound row goes in.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("n", 1));
    EXPECT_TRUE(rs.Update());
    EXPECT_EQ(Count(), 1);
}

TEST_F(AdoTest, RefusedEditKeepsTheOldValues) {
    ASSERT_TRUE(db.Execute("insert into t(n,s) values(1,'old')"));
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue("s", "new"));
    ASSERT_TRUE(rs.SetFieldValue("n", "x"));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(Count(" where s='old' and n=1"), 1);
}

TEST_F(AdoTest, CloseCancelsAPendingChange) {
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select * from t"));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("n", 9));
    rs.Close();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditMode::None);
    EXPECT_EQ(Count(), 0);
}

TEST_F(AdoTest, ResultWithoutTheRowKeyCannotBeEdited) {
    ASSERT_TRUE(db.Execute("insert into t(n) values(1)"));
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select n from t"));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_FALSE(rs.Edit());
}

TEST_F(AdoTest, BoundTextIsNeverReadAsSql) {
    const std::string hostile = "x'); drop table t; --";
    ASSERT_TRUE(db.Execute("insert into t(s) values(?)", {SqlValue{hostile}}));
    CADORecordset rs(db);
    ASSERT_TRUE(rs.Open("select s from t where s=?", {SqlValue{hostile}}));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    std::string s;
    ASSERT_TRUE(rs.GetFieldValue("s", s));
    EXPECT_EQ(s, hostile);
}

TEST_F(AdoTest, RefusesBadStatementsWithoutTouchingTheDatabase) {
    ASSERT_TRUE(db.Execute("insert into t(n) values(1)"));
    CADORecordset rs(db);
    EXPECT_FALSE(rs.Open("select * from t; delete from t"));
    EXPECT_FALSE(db.Execute("delete from t; delete from t"));
    EXPECT_FALSE(rs.Open("select * from nowhere"));
    EXPECT_FALSE(rs.Open("select * from t where n=?", {}));  // parameter left unbound
    EXPECT_EQ(Count(), 1);
    db.Close();
    EXPECT_FALSE(db.Execute("delete from t"));
    EXPECT_FALSE(rs.Open("select * from t"));
}

TEST_F(AdoTest, ExecuteCountsAffectedRows) {
    ASSERT_TRUE(db.Execute("insert into t(n) values(1),(1),(2)"));
    ASSERT_TRUE(db.Execute("delete from t where n=?", {SqlValue{std::int64_t{1}}}));
    EXPECT_EQ(db.GetRecordsAffected(), 2);
}

TEST_F(AdoTest, CreateDatabaseMakesAnOwnerOnlyFileAndNeverReusesOne) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(CADODatabase::CreateDatabase(path));
    EXPECT_FALSE(CADODatabase::CreateDatabase(dir.Dir() + "no/such/dir/x.db"));
    CADODatabase other;
    EXPECT_FALSE(other.Open(dir.Dir() + "absent.db"));  // opening never creates
}

}  // namespace
}  // namespace fk
