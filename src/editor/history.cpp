#include "editor/history.h"

#include "editor/editor_state.h"
#include "picture/picture.h"

#include <cstring>
#include <stdexcept>
#include <unordered_set>

namespace pf {

void PictureHistory::create()
{
    for (auto& s : slots_)
        s = Slot{};
    created_ = true;
}

void PictureHistory::release()
{
    for (auto& s : slots_)
        s = Slot{};
    created_ = false;
}

const PictureHistory::Slot& PictureHistory::at(int slot) const
{
    if (slot < 1 || slot > Slots)
        throw std::out_of_range("history slot out of range");
    return slots_[size_t(slot)];
}

PictureHistory::Slot& PictureHistory::at(int slot)
{
    return const_cast<Slot&>(static_cast<const PictureHistory*>(this)->at(slot));
}

QRect PictureHistory::tileRect(QSize s, int tx, int ty)
{
    return QRect(tx * TileSize, ty * TileSize, TileSize, TileSize).intersected(QRect(QPoint(0, 0), s));
}

namespace {

constexpr size_t TileBytes = size_t(PictureHistory::TileSize) * PictureHistory::TileSize * 3;

// Tiles come from large blocks of memory that are kept and reused: fresh memory costs a page
// fault per 4 KB on first touch, which would cost more than copying the tile itself.
class TilePool {
public:
    unsigned char* get()
    {
        if (free_.empty())
            grow();
        unsigned char* p = free_.back();
        free_.pop_back();
        return p;
    }
    void put(unsigned char* p) { free_.push_back(p); }

private:
    void grow()
    {
        // About 8 MB at a time, in huge pages where the system offers them.
        QImage chunk = AllocatePicture(2048, 1366);
        unsigned char* base = chunk.bits();
        const size_t ChunkBytes = size_t(chunk.sizeInBytes());
        chunks_.push_back(std::move(chunk));
        for (size_t off = 0; off + TileBytes <= ChunkBytes; off += TileBytes)
            free_.push_back(base + off);
    }
    std::vector<QImage> chunks_;
    std::vector<unsigned char*> free_;
};

TilePool& Pool()
{
    static TilePool* pool = new TilePool;   // lives as long as the program: tiles may outlive statics
    return *pool;
}

}  // namespace

PictureHistory::Tile PictureHistory::readTile(const QImage& picture, const QRect& r)
{
    const qsizetype rowBytes = qsizetype(r.width()) * 3;
    unsigned char* bytes = Pool().get();
    unsigned char* out = bytes;
    for (int y = r.top(); y <= r.bottom(); ++y, out += rowBytes)
        std::memcpy(out, picture.constScanLine(y) + qsizetype(r.left()) * 3, size_t(rowBytes));
    return Tile(bytes, [](const unsigned char* p) { Pool().put(const_cast<unsigned char*>(p)); });
}

void PictureHistory::writeTile(QImage& picture, const QRect& r, const Tile& tile)
{
    const qsizetype rowBytes = qsizetype(r.width()) * 3;
    const unsigned char* in = tile.get();
    for (int y = r.top(); y <= r.bottom(); ++y, in += rowBytes)
        std::memcpy(picture.scanLine(y) + qsizetype(r.left()) * 3, in, size_t(rowBytes));
}

void PictureHistory::store(int slot, const QImage& picture)
{
    Slot& s = at(slot);
    Slot fresh;
    const QImage p = ToPictureFormat(picture);
    fresh.size = p.size();
    const int across = tilesAcross(fresh.size), down = tilesDown(fresh.size);
    fresh.tiles.reserve(size_t(across) * size_t(down));
    for (int ty = 0; ty < down; ++ty)
        for (int tx = 0; tx < across; ++tx)
            fresh.tiles.push_back(readTile(p, tileRect(fresh.size, tx, ty)));
    s = std::move(fresh);
}

void PictureHistory::storeChanged(int slot, int from, const QImage& picture, const QRect& changed)
{
    const Slot& base = at(from);
    if (base.size != picture.size() || picture.format() != PictureFormat) {
        store(slot, picture);
        return;
    }
    Slot fresh;
    fresh.size = base.size;
    fresh.tiles = base.tiles;   // shares every tile
    const QRect area = changed.intersected(QRect(QPoint(0, 0), fresh.size));
    if (!area.isEmpty()) {
        const int across = tilesAcross(fresh.size);
        for (int ty = area.top() / TileSize; ty <= area.bottom() / TileSize; ++ty)
            for (int tx = area.left() / TileSize; tx <= area.right() / TileSize; ++tx)
                fresh.tiles[size_t(ty) * size_t(across) + size_t(tx)] = readTile(picture, tileRect(fresh.size, tx, ty));
    }
    at(slot) = std::move(fresh);
}

QImage PictureHistory::load(int slot) const
{
    const Slot& s = at(slot);
    if (s.size.isEmpty())
        return QImage();
    QImage p = AllocatePicture(s.size.width(), s.size.height());
    const int across = tilesAcross(s.size), down = tilesDown(s.size);
    for (int ty = 0; ty < down; ++ty)
        for (int tx = 0; tx < across; ++tx)
            writeTile(p, tileRect(s.size, tx, ty), s.tiles[size_t(ty) * size_t(across) + size_t(tx)]);
    return p;
}

QRect PictureHistory::restore(QImage& picture, int from, int to, const QRect& dirty) const
{
    const Slot& a = at(from);
    const Slot& b = at(to);
    if (a.size != b.size || picture.size() != b.size || picture.format() != PictureFormat) {
        picture = load(to);
        return picture.rect();
    }
    QRect written;
    const int across = tilesAcross(b.size), down = tilesDown(b.size);
    for (int ty = 0; ty < down; ++ty)
        for (int tx = 0; tx < across; ++tx) {
            const size_t i = size_t(ty) * size_t(across) + size_t(tx);
            const QRect r = tileRect(b.size, tx, ty);
            // Tiles the two slots share are the same bytes; anything else is copied.
            if (a.tiles[i] == b.tiles[i] && !r.intersects(dirty))
                continue;
            writeTile(picture, r, b.tiles[i]);
            written |= r;
        }
    return written;
}

qint64 PictureHistory::memoryUsed() const
{
    std::unordered_set<const unsigned char*> seen;
    qint64 bytes = 0;
    for (const Slot& s : slots_)
        for (const Tile& t : s.tiles)
            if (seen.insert(t.get()).second)
                bytes += qint64(TileBytes);
    return bytes;
}

void Backup(EditorState& s, const QImage& picture, const QRect& changed)
{
    int next = s.historyIndex + 1;
    if (next == PictureHistory::Slots + 1)
        next = 1;
    s.historyRing.storeChanged(next, s.historyIndex, picture, changed);
    s.historyIndex = next;
    if (s.undoDepth < PictureHistory::Slots - 1)
        ++s.undoDepth;
    s.redoDepth = 0;
}

bool Undo(EditorState& s, QImage& picture, const QRect& dirty, QRect* written)
{
    if (s.undoDepth <= 0)
        return false;
    int prev = s.historyIndex - 1;
    if (prev == 0)
        prev = PictureHistory::Slots;
    const QRect area = s.historyRing.restore(picture, s.historyIndex, prev, dirty);
    if (written)
        *written = area;
    s.historyIndex = prev;
    --s.undoDepth;
    ++s.redoDepth;
    return true;
}

bool Redo(EditorState& s, QImage& picture, const QRect& dirty, QRect* written)
{
    if (s.redoDepth <= 0)
        return false;
    int next = s.historyIndex + 1;
    if (next == PictureHistory::Slots + 1)
        next = 1;
    const QRect area = s.historyRing.restore(picture, s.historyIndex, next, dirty);
    if (written)
        *written = area;
    s.historyIndex = next;
    ++s.undoDepth;
    --s.redoDepth;
    return true;
}

void ResetHistory(EditorState& s, const QImage& picture)
{
    s.historyRing.store(1, picture);
    s.historyIndex = 1;
    s.undoDepth = 0;
    s.redoDepth = 0;
}

}  // namespace pf
