// The picture history: a ring of 100 slots (numbered 1 to 100) holding the picture after
// each completed change. The ring itself only stores and hands back pictures; which slot is
// current and how far one can step is kept in EditorState (historyIndex, undoDepth, redoDepth).
#pragma once

#include <QImage>
#include <array>

namespace pf {

struct EditorState;

class PictureHistory {
public:
    static constexpr int Slots = 100;

    void create();                              // 100 empty slots
    void release();                             // frees every slot
    bool created() const { return created_; }
    void store(int slot, const QImage& picture);
    QImage load(int slot) const;

private:
    std::array<QImage, Slots + 1> slots_{};     // index 0 unused
    bool created_ = false;
};

// The history's steps on the editor state. They touch only the state and the picture
// handed in; the windows switch the undo and redo controls from the depths afterwards.
void Backup(EditorState& s, const QImage& picture);
// Undo/Redo: when there is a step, puts its picture into `picture` and returns true.
bool Undo(EditorState& s, QImage& picture);
bool Redo(EditorState& s, QImage& picture);
void ResetHistory(EditorState& s, const QImage& picture);

}  // namespace pf
