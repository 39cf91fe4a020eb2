#include "editor/history.h"

#include "editor/editor_state.h"

#include <stdexcept>

namespace pf {

void PictureHistory::create()
{
    for (auto& s : slots_)
        s = QImage();
    created_ = true;
}

void PictureHistory::release()
{
    for (auto& s : slots_)
        s = QImage();
    created_ = false;
}

void PictureHistory::store(int slot, const QImage& picture)
{
    if (slot < 1 || slot > Slots)
        throw std::out_of_range("history slot out of range");
    slots_[size_t(slot)] = picture;   // shares the pixels until either side is written
}

QImage PictureHistory::load(int slot) const
{
    if (slot < 1 || slot > Slots)
        throw std::out_of_range("history slot out of range");
    return slots_[size_t(slot)];
}

void Backup(EditorState& s, const QImage& picture)
{
    int next = s.historyIndex + 1;
    if (next == PictureHistory::Slots + 1)
        next = 1;
    s.historyRing.store(next, picture);
    s.historyIndex = next;
    if (s.undoDepth < PictureHistory::Slots - 1)
        ++s.undoDepth;
    s.redoDepth = 0;
}

bool Undo(EditorState& s, QImage& picture)
{
    if (s.undoDepth <= 0)
        return false;
    int prev = s.historyIndex - 1;
    if (prev == 0)
        prev = PictureHistory::Slots;
    picture = s.historyRing.load(prev);
    s.historyIndex = prev;
    --s.undoDepth;
    ++s.redoDepth;
    return true;
}

bool Redo(EditorState& s, QImage& picture)
{
    if (s.redoDepth <= 0)
        return false;
    int next = s.historyIndex + 1;
    if (next == PictureHistory::Slots + 1)
        next = 1;
    picture = s.historyRing.load(next);
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
