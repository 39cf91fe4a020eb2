#include "editor/editor_state.h"
#include "picture/picture.h"

#include <gtest/gtest.h>

using namespace pf;

namespace {

// A 1x1 picture whose red channel carries a change number.
QImage Numbered(int n)
{
    QImage p = NewPicture(1, 1);
    SetPixel(p, 0, 0, RGBColor(n & 0xFF, n >> 8, 0));
    return p;
}
int NumberOf(const QImage& p)
{
    TColor c = GetPixel(p, 0, 0);
    return GetRValue(c) | (GetGValue(c) << 8);
}

class History : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.historyRing.create();
        picture = Numbered(0);
        s.historyIndex = 1;
        s.historyRing.store(1, picture);
    }
    void Change(int n)
    {
        picture = Numbered(n);
        Backup(s, picture, picture.rect());
    }
    EditorState s;
    QImage picture;
};

}  // namespace

TEST_F(History, UndoRedoOneStep)
{
    Change(1);
    EXPECT_EQ(s.undoDepth, 1);
    ASSERT_TRUE(Undo(s, picture, QRect()));
    EXPECT_EQ(NumberOf(picture), 0);
    EXPECT_EQ(s.undoDepth, 0);
    EXPECT_EQ(s.redoDepth, 1);
    EXPECT_FALSE(Undo(s, picture, QRect()));
    ASSERT_TRUE(Redo(s, picture, QRect()));
    EXPECT_EQ(NumberOf(picture), 1);
    EXPECT_EQ(s.redoDepth, 0);
    EXPECT_FALSE(Redo(s, picture, QRect()));
}

TEST_F(History, After150ChangesExactly99UndosReachThe51st)
{
    for (int n = 1; n <= 150; ++n)
        Change(n);
    EXPECT_EQ(s.undoDepth, 99);
    for (int i = 1; i <= 99; ++i)
        ASSERT_TRUE(Undo(s, picture, QRect())) << i;
    EXPECT_EQ(NumberOf(picture), 51);
    EXPECT_FALSE(Undo(s, picture, QRect()));
    EXPECT_EQ(NumberOf(picture), 51);
    EXPECT_EQ(s.redoDepth, 99);
    for (int i = 1; i <= 99; ++i)
        ASSERT_TRUE(Redo(s, picture, QRect()));
    EXPECT_EQ(NumberOf(picture), 150);
}

TEST_F(History, IndexWrapsBothWays)
{
    for (int n = 1; n <= 99; ++n)
        Change(n);
    EXPECT_EQ(s.historyIndex, 100);
    Change(100);
    EXPECT_EQ(s.historyIndex, 1);            // backup passes 100 -> 1
    ASSERT_TRUE(Undo(s, picture, QRect()));
    EXPECT_EQ(s.historyIndex, 100);          // undo passes 1 -> 100
    EXPECT_EQ(NumberOf(picture), 99);
    ASSERT_TRUE(Redo(s, picture, QRect()));
    EXPECT_EQ(s.historyIndex, 1);            // redo passes 100 -> 1
    EXPECT_EQ(NumberOf(picture), 100);
}

TEST_F(History, ChangeAfterUndosDropsRedo)
{
    Change(1);
    Change(2);
    Change(3);
    Undo(s, picture, QRect());
    Undo(s, picture, QRect());
    EXPECT_EQ(s.redoDepth, 2);
    Change(4);
    EXPECT_EQ(s.redoDepth, 0);
    EXPECT_EQ(s.undoDepth, 2);
    EXPECT_FALSE(Redo(s, picture, QRect()));
    Undo(s, picture, QRect());
    EXPECT_EQ(NumberOf(picture), 1);
}

TEST_F(History, ResetKeepsOnlyThePicture)
{
    Change(1);
    Change(2);
    Undo(s, picture, QRect());
    ResetHistory(s, picture);
    EXPECT_EQ(s.historyIndex, 1);
    EXPECT_EQ(s.undoDepth, 0);
    EXPECT_EQ(s.redoDepth, 0);
    EXPECT_EQ(NumberOf(s.historyRing.load(1)), 1);
}

TEST_F(History, SlotIsACopyNotTheLivePicture)
{
    Change(7);
    SetPixel(picture, 0, 0, clWhite);   // writing the picture must not reach the slot
    Undo(s, picture, QRect());
    Redo(s, picture, QRect());
    EXPECT_EQ(NumberOf(picture), 7);
}

TEST(Round, HalvesToEvenAndDivideFirst)
{
    struct Case { double v; int want; };
    for (Case c : {Case{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {-3.5, -4}})
        EXPECT_EQ(Round(c.v), c.want) << c.v;
    // Divide first, then scale: 3 / 80 * 100 = 3.75 -> 4; 10 / 125 * 100 = 8.000000000000002 -> 8.
    EXPECT_EQ(ToPicture(3, 80), 4);
    EXPECT_EQ(ToPicture(10, 125), 8);
    EXPECT_EQ(ToPicture(5, 200), 2);   // 2.5 -> 2
    EXPECT_EQ(ToPicture(7, 200), 4);   // 3.5 -> 4
    EXPECT_EQ(DisplaySize(QSize(605, 469), 80), QSize(484, 375));
    EXPECT_EQ(DisplaySize(QSize(605, 469), 125), QSize(756, 586));
}
