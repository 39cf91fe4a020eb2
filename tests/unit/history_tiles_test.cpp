#include "editor/editor_state.h"
#include "editor/picture_edits.h"
#include "picture/picture.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

using namespace pf;

namespace {

QImage RandomPicture(std::mt19937& rng, int w, int h)
{
    QImage p = NewPicture(w, h);
    for (int y = 0; y < h; ++y) {
        uchar* row = p.scanLine(y);
        for (int x = 0; x < 3 * w; ++x)
            row[x] = uchar(rng());
    }
    return p;
}

// The plain history the tiled one must behave like: a ring of whole copies.
struct PlainHistory {
    std::array<QImage, 101> ring;
    int index = 1, undo = 0, redo = 0;
    void reset(const QImage& p) { ring[1] = p.copy(); index = 1; undo = redo = 0; }
    void backup(const QImage& p)
    {
        index = index == 100 ? 1 : index + 1;
        ring[size_t(index)] = p.copy();
        undo = std::min(undo + 1, 99);
        redo = 0;
    }
    bool stepBack(QImage& p)
    {
        if (undo == 0)
            return false;
        index = index == 1 ? 100 : index - 1;
        p = ring[size_t(index)].copy();
        --undo;
        ++redo;
        return true;
    }
    bool stepForward(QImage& p)
    {
        if (redo == 0)
            return false;
        index = index == 100 ? 1 : index + 1;
        p = ring[size_t(index)].copy();
        ++undo;
        --redo;
        return true;
    }
};

}  // namespace

TEST(TiledHistory, LongRandomSequenceMatchesWholeCopies)
{
    std::mt19937 rng(12345);
    EditorState s;
    s.historyRing.create();
    QImage picture = RandomPicture(rng, 300, 200);
    QImage opened = picture.copy();
    ResetHistory(s, picture);
    PlainHistory plain;
    plain.reset(picture);
    QImage expected = picture.copy();
    QRect dirty;
    WarpProgress none;
    const WarpKind kinds[] = {WarpKind::Sphericalpengzhang, WarpKind::Sphericalshousuo, WarpKind::Sphericalyouxuan,
                              WarpKind::Verticalpengzhang, WarpKind::Horizontalshousuo};
    for (int step = 0; step < 1500; ++step) {
        const int op = int(rng() % 100);
        if (op < 45) {   // a warp somewhere, possibly over an edge, as one action
            const int W = picture.width(), H = picture.height();
            const int X = int(rng() % unsigned(W + 40)) - 20, Y = int(rng() % unsigned(H + 40)) - 20;
            const int r = 5 + int(rng() % 80), d = 1 + int(rng() % unsigned(r));
            const WarpKind k = kinds[rng() % 5];
            dirty |= WarpInPlace(picture, k, X, Y, r, d, none);
            WarpInPlace(expected, k, X, Y, r, d, none);
            if (rng() % 4 == 0) {   // held: the same press warps again before the release
                dirty |= WarpInPlace(picture, k, X, Y, r, d, none);
                WarpInPlace(expected, k, X, Y, r, d, none);
            }
            Backup(s, picture, dirty);
            plain.backup(expected);
            dirty = QRect();
        } else if (op < 52) {   // a change not yet stored (a drag under way), then undo
            const QRect r(int(rng() % 250), int(rng() % 150), 30, 30);
            QImage blot = NewPicture(30, 30);
            blot.fill(Qt::white);
            const QRect inside = r & picture.rect();
            if (inside.isEmpty())
                continue;
            PastePart(picture, blot.copy(0, 0, inside.width(), inside.height()), inside.topLeft());
            dirty |= inside;
            if (plain.undo > 0) {   // Ctrl+Z during the drag: the unstored change goes too
                ASSERT_TRUE(Undo(s, picture, dirty));
                ASSERT_TRUE(plain.stepBack(expected));
            } else {                // nothing to undo: the drag ends and is stored
                Backup(s, picture, dirty);
                expected = picture.copy();
                plain.backup(expected);
            }
            dirty = QRect();
        } else if (op < 72) {
            ASSERT_EQ(Undo(s, picture, dirty), plain.stepBack(expected));
        } else if (op < 90) {
            ASSERT_EQ(Redo(s, picture, dirty), plain.stepForward(expected));
        } else if (op < 95) {   // Restore
            picture = opened.copy();
            expected = opened.copy();
            ResetHistory(s, picture);
            plain.reset(picture);
        } else {   // open another picture, of another size
            picture = RandomPicture(rng, 100 + int(rng() % 300), 80 + int(rng() % 200));
            opened = picture.copy();
            expected = picture.copy();
            ResetHistory(s, picture);
            plain.reset(picture);
        }
        ASSERT_EQ(s.historyIndex, plain.index) << step;
        ASSERT_EQ(s.undoDepth, plain.undo) << step;
        ASSERT_EQ(s.redoDepth, plain.redo) << step;
        ASSERT_EQ(picture.size(), expected.size()) << "step " << step;
        ASSERT_EQ(picture, expected) << "step " << step;
        ASSERT_EQ(s.historyRing.load(s.historyIndex), expected) << "step " << step;
    }
}

TEST(TiledHistory, SmallStepsShareTheRest)
{
    std::mt19937 rng(7);
    EditorState s;
    s.historyRing.create();
    QImage picture = RandomPicture(rng, 1024, 768);
    ResetHistory(s, picture);
    const qint64 whole = s.historyRing.memoryUsed();
    EXPECT_EQ(whole, 1024LL * 768 * 3);
    WarpProgress none;
    for (int i = 0; i < 99; ++i) {
        const QRect changed = WarpInPlace(picture, WarpKind::Sphericalpengzhang, 100 + 8 * i, 300, 20, 7, none);
        Backup(s, picture, changed);
    }
    // 99 small warps: each costs about the tiles of its 41 x 41 square, not a picture.
    EXPECT_LT(s.historyRing.memoryUsed(), whole + 99LL * 4 * 64 * 64 * 3);
}
