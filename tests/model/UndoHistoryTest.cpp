#include "UndoHistory.h"
#include "AppContext.h"
#include "TestElements.h"

#include <gtest/gtest.h>

namespace {

// Drives the history the way the canvas does and describes the sign as a
// string: each element's name and left edge, in paint order.
class UndoTest : public ::testing::Test
{
protected:
    CAppContext context;
    CElementList& list = TheElementList();
    CUndoHistory& history = TheUndoHistory();

    CTestRect* Add(const QString& name, int left)
    {
        auto* e = new CTestRect;
        e->m_name = name;
        e->m_rect = CRect(left, 0, left + 10, 10);
        list.AddTail(e);
        history.Record(UNDO_ADDED, e);
        return e;
    }
    void Move(const QString& name, int left)
    {
        auto* e = static_cast<CTestRect*>(list.FindByName(name));
        ASSERT_NE(e, nullptr) << name.toStdString();
        history.Record(UNDO_CHANGED, e);
        e->m_rect = CRect(left, 0, left + 10, 10);
        e->UpdateRects(nullptr);
    }
    void Delete(const QString& name)
    {
        CElement* e = list.FindByName(name);
        ASSERT_NE(e, nullptr) << name.toStdString();
        history.Record(UNDO_DELETED, e);
        list.RemoveAndDelete(e);
    }
    QString Sign() const
    {
        QStringList parts;
        for (const CElement* e : list)
            parts << e->m_name + QString::number(static_cast<const CTestRect*>(e)->m_rect.left);
        return parts.join(' ');
    }
};

} // namespace

TEST_F(UndoTest, SingleStepsUndoAndRedo)
{
    Add("A", 0);
    Move("A", 5);
    Add("B", 1);
    EXPECT_EQ(Sign(), "A5 B1");

    // each entry: the command, then the sign afterwards
    const std::vector<std::pair<char, QString>> steps = {
        {'u', "A5"}, {'u', "A0"}, {'r', "A5"}, {'u', "A0"},
        {'u', ""},   {'r', "A0"}, {'r', "A5"}, {'r', "A5 B1"},
    };
    for (const auto& [command, sign] : steps) {
        EXPECT_TRUE(command == 'u' ? history.Undo(nullptr) : history.Redo(nullptr));
        EXPECT_EQ(Sign(), sign) << command;
    }
    EXPECT_FALSE(history.Redo(nullptr));
}

TEST_F(UndoTest, UndoEmptyAndPastTheStartIsRefused)
{
    EXPECT_FALSE(history.Undo(nullptr));
    EXPECT_FALSE(history.Redo(nullptr));
    Add("A", 0);
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_FALSE(history.Undo(nullptr));
}

TEST_F(UndoTest, ANewStepDropsTheRedoBranch)
{
    Add("A", 0);
    Move("A", 1);
    Move("A", 2);
    history.Undo(nullptr);
    history.Undo(nullptr);
    EXPECT_EQ(Sign(), "A0");
    Move("A", 7);
    EXPECT_FALSE(history.Redo(nullptr));
    EXPECT_EQ(history.GetCount(), 2);
    history.Undo(nullptr);
    EXPECT_EQ(Sign(), "A0");
}

TEST_F(UndoTest, DepthLimitKeepsTheNewestSteps)
{
    App().general.undoLevels = 3;
    Add("A", 0);
    Move("A", 1);
    Move("A", 2);
    Move("A", 3);
    EXPECT_EQ(history.GetCount(), 3);
    int undone = 0;
    while (history.Undo(nullptr))
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(Sign(), "A0"); // the addition fell off the history
}

TEST_F(UndoTest, GroupsAreOneStep)
{
    Add("A", 0);
    Add("B", 0);
    history.Record(UNDO_GROUP_BEGIN, nullptr);
    Move("A", 10);
    Move("B", 20);
    Delete("A");
    history.Record(UNDO_GROUP_END, nullptr);
    EXPECT_EQ(Sign(), "B20");

    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "B0 A0"); // A comes back on top
    EXPECT_TRUE(history.Redo(nullptr));
    EXPECT_EQ(Sign(), "B20");
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "A0");
}

TEST_F(UndoTest, DepthLimitNeverSplitsAGroup)
{
    App().general.undoLevels = 2;
    Add("A", 0);
    Add("B", 0);
    history.Record(UNDO_GROUP_BEGIN, nullptr);
    Move("A", 10);
    Move("B", 20);
    history.Record(UNDO_GROUP_END, nullptr);
    Move("A", 11);
    EXPECT_EQ(history.GetRecord(0).kind, UNDO_GROUP_BEGIN);
    Move("A", 12); // the whole group falls off, not just its beginning
    EXPECT_EQ(history.GetCount(), 2);
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_FALSE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "A10 B20");
}

TEST_F(UndoTest, AGroupLongerThanTheDepthStaysWhole)
{
    App().general.undoLevels = 2;
    Add("A", 0);
    Add("B", 0);
    history.Record(UNDO_GROUP_BEGIN, nullptr);
    for (int i = 1; i <= 5; ++i) {
        Move("A", i);
        Move("B", 10 * i);
    }
    history.Record(UNDO_GROUP_END, nullptr);
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "A0 B0");
    EXPECT_TRUE(history.Redo(nullptr));
    EXPECT_EQ(Sign(), "A5 B50");
}

TEST_F(UndoTest, DeletionSequencesKeepEveryRecordOnItsElement)
{
    Add("A", 0);
    Add("B", 1);
    Move("A", 5);
    Delete("A");
    Delete("B");
    EXPECT_EQ(Sign(), "");

    const std::vector<std::pair<char, QString>> steps = {
        {'u', "B1"},                    // B back
        {'u', "B1 A5"},                 // A back, as it was when deleted
        {'r', "B1"},                    // A deleted again
        {'r', ""},                      // B deleted again
        {'u', "B1"},                    // B back: the records of A must not turn into B's
        {'u', "B1 A5"}, {'u', "B1 A0"}, // A's move undone on the restored A, in its place
        {'r', "B1 A5"}, {'u', "B1 A0"}, {'u', "A0"}, {'u', ""}, {'r', "A0"},
        {'r', "A0 B1"}, {'r', "A5 B1"}, {'r', "B1"}, {'r', ""},
    };
    for (const auto& [command, sign] : steps) {
        EXPECT_TRUE(command == 'u' ? history.Undo(nullptr) : history.Redo(nullptr));
        EXPECT_EQ(Sign(), sign) << "after " << command;
    }
}

TEST_F(UndoTest, ChangeUndoneInPlaceOfThePaintOrder)
{
    Add("A", 0);
    Add("B", 1);
    Add("C", 2);
    Move("B", 9);
    EXPECT_EQ(Sign(), "A0 B9 C2");
    history.Undo(nullptr);
    EXPECT_EQ(Sign(), "A0 B1 C2");
}

TEST_F(UndoTest, PaperRotationIsOneStep)
{
    Add("A", 0);
    Add("B", 100);
    list.RotateAllForOrientation(nullptr, false, 1000, 2000);
    const QString turned = Sign();
    EXPECT_NE(turned, "A0 B100");
    EXPECT_TRUE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "A0 B100");
    EXPECT_TRUE(history.Redo(nullptr));
    EXPECT_EQ(Sign(), turned);
}

TEST_F(UndoTest, ElementsWithoutACopyAreNotRecorded)
{
    class CUncopied : public CElement
    {
    public:
        int GetTypeCode() const override { return TYPE_OLE; }
    } e;
    EXPECT_EQ(CloneElement(&e), nullptr);
    history.Record(UNDO_CHANGED, &e);
    EXPECT_EQ(history.GetCount(), 0);
}

TEST_F(UndoTest, ADuplicateIsANewElement)
{
    CTestRect* a = Add("A", 3);
    CElement* copy = CloneElement(a);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<CTestRect*>(copy)->m_rect, a->m_rect);
    EXPECT_NE(copy->m_undoIdentity, a->m_undoIdentity);
    copy->m_name = "A2";
    list.AddTail(copy);
    history.Record(UNDO_ADDED, copy);
    history.Undo(nullptr); // takes away the duplicate, not the original
    EXPECT_EQ(Sign(), "A3");
}

TEST_F(UndoTest, ClearEmptiesTheHistory)
{
    Add("A", 0);
    Move("A", 1);
    history.Clear();
    EXPECT_EQ(history.GetCount(), 0);
    EXPECT_FALSE(history.Undo(nullptr));
    EXPECT_EQ(Sign(), "A1");
}
