// The picture history: a ring of 100 slots (numbered 1 to 100) holding the picture after
// each completed change. Which slot is current and how far one can step is kept in EditorState
// (historyIndex, undoDepth, redoDepth).
//
// A slot holds its picture as tiles shared with the other slots: a step that changed a small
// part of the picture stores only the tiles of that part, and stepping back or forward copies
// into the picture only the tiles that differ between the two slots. A 24-megapixel photo with
// 99 small warps in its history therefore costs about two copies of the photo, not a hundred.
#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <memory>
#include <vector>

namespace pf {

struct EditorState;

class PictureHistory {
public:
    static constexpr int Slots = 100;
    static constexpr int TileSize = 64;   // pixels a side

    void create();                              // 100 empty slots
    void release();                             // frees every slot
    bool created() const { return created_; }
    // Stores the whole picture in the slot.
    void store(int slot, const QImage& picture);
    // Stores the picture in the slot, given that it equals slot `from` outside `changed`: the
    // slot shares from's tiles and copies only those meeting `changed`.
    void storeChanged(int slot, int from, const QImage& picture, const QRect& changed);
    // The slot's picture, built whole.
    QImage load(int slot) const;
    // Makes `picture` equal to slot `to`, given that it equals slot `from` outside `dirty`:
    // only the tiles that differ between the two slots, or meet `dirty`, are copied. Returns
    // the area written (the whole picture when the sizes differ, which replaces the picture).
    QRect restore(QImage& picture, int from, int to, const QRect& dirty) const;
    // Bytes of pixel memory held by the tiles of every slot, each shared tile counted once.
    qint64 memoryUsed() const;

private:
    // A tile's pixels, rows of 3-byte pixels packed without padding. Tiles are never written
    // after they are made, so slots share them freely; the same pointer means the same pixels.
    using Tile = std::shared_ptr<const unsigned char>;
    struct Slot {
        QSize size;
        std::vector<Tile> tiles;   // row-major
    };
    const Slot& at(int slot) const;
    Slot& at(int slot);
    static int tilesAcross(QSize s) { return (s.width() + TileSize - 1) / TileSize; }
    static int tilesDown(QSize s) { return (s.height() + TileSize - 1) / TileSize; }
    static QRect tileRect(QSize s, int tx, int ty);
    static Tile readTile(const QImage& picture, const QRect& r);
    static void writeTile(QImage& picture, const QRect& r, const Tile& tile);

    std::array<Slot, Slots + 1> slots_{};   // index 0 unused
    bool created_ = false;
};

// The history's steps on the editor state. They touch only the state and the picture handed
// in; the windows switch the undo and redo controls from the depths afterwards.
// `changed`: the part of the picture changed since the last step (or the last reset).
void Backup(EditorState& s, const QImage& picture, const QRect& changed);
// Undo/Redo: when there is a step, makes `picture` the step's picture, puts the area written
// into `written` (when given) and returns true; `dirty` is the part changed since the picture
// last matched the current slot. With no step, returns false and leaves the picture alone.
bool Undo(EditorState& s, QImage& picture, const QRect& dirty, QRect* written = nullptr);
bool Redo(EditorState& s, QImage& picture, const QRect& dirty, QRect* written = nullptr);
void ResetHistory(EditorState& s, const QImage& picture);

}  // namespace pf
